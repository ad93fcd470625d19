// The three models of the game screen and their meshes: a fir tree, a viking carrying an axe
// and a shield (with idle, walk and attack animations) and a tank (scan and fire); and each of
// them again with fewer facets ("tree_far.model", ...), node for node the same, for drawing many
// small (the battlefield of a match).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gfx/gl_mesh.h"
#include "gfx/model.h"

struct TModelSet {
  std::vector<std::unique_ptr<TGLMesh>> Meshes; // the models' nodes refer to these
  std::vector<std::pair<std::string, std::unique_ptr<TModel>>> Models; // file name, model
};

TModelSet MakeModels();
