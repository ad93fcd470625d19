// A media manager for tests that needs no files and no OpenGL: it "loads" the meshes and
// textures whose names it was told about and counts every load it is asked for.
#pragma once

#include <map>
#include <set>
#include <stdexcept>
#include <string>

#include "gfx/media_manager.h"

class TFakeMesh : public TMesh {
public:
  void Draw() override {}
};

class TFakeMediaManager : public TCachedMediaManager {
public:
  std::set<std::string> Meshes;   // names that load
  std::set<std::string> Textures; // names that load
  // The name stored inside a loaded mesh, when it differs from the requested one.
  std::map<std::string, std::string> StoredMeshName;
  std::map<std::string, int> Loads; // loader calls per "kind:name"

protected:
  std::unique_ptr<TMesh> LoadMesh(const std::string& Name) override {
    ++Loads["mesh:" + Name];
    if (!Meshes.count(Name))
      return nullptr;
    auto mesh = std::make_unique<TFakeMesh>();
    mesh->Nome = StoredMeshName.count(Name) ? StoredMeshName[Name] : Name;
    return mesh;
  }
  std::unique_ptr<TTexture> LoadTexture(const std::string& Name) override {
    ++Loads["texture:" + Name];
    if (!Textures.count(Name))
      return nullptr;
    auto texture = std::make_unique<TTexture>();
    texture->Name = Name;
    return texture;
  }
  std::unique_ptr<TSound> LoadSound(const std::string& Name) override {
    ++Loads["sound:" + Name];
    throw std::runtime_error("no sound " + Name);
  }
};
