// Media by bare name (no directory, no extension): meshes, textures and sounds, each loaded on
// its first request and kept for the rest of the run. Callers share what they get and never
// free it; a nullptr answer means the item could not be loaded (and is tried again next time).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gfx/mesh.h"
#include "gfx/texture.h"
#include "sound/sound.h"

// The look-up that models, the GUI drawer and the screens depend on.
class TGenericMediaManager {
public:
  virtual ~TGenericMediaManager() = default;
  virtual TMesh* GetMeshByName(const std::string& Name) = 0;
  virtual TTexture* GetTextureByName(const std::string& Name) = 0;
  virtual TSound* GetSoundByName(const std::string& Name) = 0;
};

// The cache: a look-up answers the item loaded earlier for that name, or asks the loader and
// keeps what it gives. Every kind is matched by the name it was requested under, so a mesh whose
// stored name (TMesh::Nome) differs from its file name is still loaded once. Failed loads are
// not remembered. Owns every item it keeps.
class TCachedMediaManager : public TGenericMediaManager {
public:
  TCachedMediaManager() = default;
  ~TCachedMediaManager() override;
  TCachedMediaManager(const TCachedMediaManager&) = delete;
  TCachedMediaManager& operator=(const TCachedMediaManager&) = delete;

  TMesh* GetMeshByName(const std::string& Name) override;
  TTexture* GetTextureByName(const std::string& Name) override;
  // Exceptions of the sound loader reach the caller.
  TSound* GetSoundByName(const std::string& Name) override;

  // The items loaded so far, in order of loading.
  TMeshList MeshList;
  TSoundList SoundList;
  TTextureList TextureList;

protected:
  // Called on a miss; nullptr when the item cannot be loaded.
  virtual std::unique_ptr<TMesh> LoadMesh(const std::string& Name) = 0;
  virtual std::unique_ptr<TTexture> LoadTexture(const std::string& Name) = 0;
  virtual std::unique_ptr<TSound> LoadSound(const std::string& Name) = 0;

private:
  std::vector<std::unique_ptr<TMesh>> FMeshes;
  std::map<std::string, TMesh*> FMeshByRequest; // the name each mesh was loaded under
  std::vector<std::unique_ptr<TTexture>> FTextures;
  std::vector<std::unique_ptr<TSound>> FSounds;
};

// Loads from files: Directory + Name + ".mesh" (a TGLMesh), ".png" (a TTexture) and ".wav" (a
// TSound). Mesh and texture failures answer nullptr; sound failures throw. Textures and meshes
// need the OpenGL context current when they are created or drawn.
class TFileMediaManager : public TCachedMediaManager {
public:
  // The client reads its media from "media/" under the working directory.
  static constexpr const char* DEFAULT_DIRECTORY = "media/";
  explicit TFileMediaManager(std::string Directory = DEFAULT_DIRECTORY);

  const std::string& Directory() const { return FDirectory; }

protected:
  std::unique_ptr<TMesh> LoadMesh(const std::string& Name) override;
  std::unique_ptr<TTexture> LoadTexture(const std::string& Name) override;
  std::unique_ptr<TSound> LoadSound(const std::string& Name) override;

private:
  std::string FDirectory;
};
