// OpenGL 2D textures loaded from image files, and a list that finds them by name.
#pragma once

#include <cstdint>
#include <string>

#include "game/list.h"

// Loads FileName with SDL_image into a new OpenGL texture (linear filtering, no mipmaps) and
// stores its name in Texture. The first image row becomes texture row t = 0. Tightly packed
// 24-bit RGB and 32-bit RGBA images are uploaded as they are (GL_RGB, GL_RGBA); any other
// layout is converted to RGBA first. Throws std::runtime_error("file " + FileName +
// " not found") when the image cannot be loaded. Needs a current OpenGL context.
bool LoadGLTexture(const std::string& FileName, std::uint32_t& Texture);

// One OpenGL texture; deletes it on destruction.
class TTexture {
public:
  TTexture() = default;
  ~TTexture();
  TTexture(const TTexture&) = delete;
  TTexture& operator=(const TTexture&) = delete;

  // Loads the image file into this texture (see LoadGLTexture).
  void LoadFrom(const std::string& FileName);
  // Binds the texture to GL_TEXTURE_2D.
  void Bind() const;

  std::string Name;          // the bare name the media manager knows it by
  std::uint32_t Texture = 0; // OpenGL texture name; 0 while nothing is loaded
};

// An ordered list of textures it does not own.
class TTextureList : public TRefList<TTexture> {
public:
  TTexture* GetTexture(int Index) const { return Get(Index); }
  // The first texture whose Name equals Name exactly; nullptr when none does.
  TTexture* GetTextureByName(const std::string& Name) const;
};
