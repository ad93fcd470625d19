#include "gfx/media_manager.h"

#include <exception>

#include "gfx/gl_mesh.h"

namespace {

// Takes a freshly loaded item into the manager's keeping and its look-up list.
template <class TItem, class TList>
TItem* Keep(std::vector<std::unique_ptr<TItem>>& Owned, TList& List,
            std::unique_ptr<TItem> Loaded) {
  if (!Loaded)
    return nullptr;
  Owned.push_back(std::move(Loaded));
  List.Add(Owned.back().get());
  return Owned.back().get();
}

} // namespace

// Items are freed in the reverse order of loading.
TCachedMediaManager::~TCachedMediaManager() {
  while (!FSounds.empty())
    FSounds.pop_back();
  while (!FTextures.empty())
    FTextures.pop_back();
  while (!FMeshes.empty())
    FMeshes.pop_back();
}

TMesh* TCachedMediaManager::GetMeshByName(const std::string& Name) {
  if (const auto found = FMeshByRequest.find(Name); found != FMeshByRequest.end())
    return found->second;
  TMesh* loaded = Keep(FMeshes, MeshList, LoadMesh(Name));
  if (loaded)
    FMeshByRequest.emplace(Name, loaded);
  return loaded;
}

TTexture* TCachedMediaManager::GetTextureByName(const std::string& Name) {
  if (TTexture* found = TextureList.GetTextureByName(Name))
    return found;
  return Keep(FTextures, TextureList, LoadTexture(Name));
}

TSound* TCachedMediaManager::GetSoundByName(const std::string& Name) {
  if (TSound* found = SoundList.GetSoundByName(Name))
    return found;
  return Keep(FSounds, SoundList, LoadSound(Name));
}

TFileMediaManager::TFileMediaManager(std::string Directory) : FDirectory(std::move(Directory)) {}

std::unique_ptr<TMesh> TFileMediaManager::LoadMesh(const std::string& Name) {
  auto mesh = std::make_unique<TGLMesh>();
  try {
    mesh->LoadFrom(FDirectory + Name + ".mesh");
  } catch (const std::exception&) {
    return nullptr;
  }
  return mesh;
}

std::unique_ptr<TTexture> TFileMediaManager::LoadTexture(const std::string& Name) {
  auto texture = std::make_unique<TTexture>();
  try {
    texture->LoadFrom(FDirectory + Name + ".png");
  } catch (const std::exception&) {
    return nullptr;
  }
  texture->Name = Name;
  return texture;
}

std::unique_ptr<TSound> TFileMediaManager::LoadSound(const std::string& Name) {
  auto sound = std::make_unique<TSound>(FDirectory + Name + ".wav");
  sound->Name = Name;
  return sound;
}
