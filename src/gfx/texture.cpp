#include "gfx/texture.h"

#include <GL/gl.h>
#include <SDL.h>
#include <SDL_image.h>
#include <memory>
#include <stdexcept>

namespace {

struct TSurfaceFree {
  void operator()(SDL_Surface* S) const { SDL_FreeSurface(S); }
};
using TSurfacePtr = std::unique_ptr<SDL_Surface, TSurfaceFree>;

// Channel masks that put R, G, B and A in this byte order in memory.
constexpr bool BIG_ENDIAN_HOST = SDL_BYTEORDER == SDL_BIG_ENDIAN;
constexpr Uint32 RMASK32 = BIG_ENDIAN_HOST ? 0xFF000000u : 0x000000FFu;
constexpr Uint32 GMASK32 = BIG_ENDIAN_HOST ? 0x00FF0000u : 0x0000FF00u;
constexpr Uint32 BMASK32 = BIG_ENDIAN_HOST ? 0x0000FF00u : 0x00FF0000u;
constexpr Uint32 AMASK32 = BIG_ENDIAN_HOST ? 0x000000FFu : 0xFF000000u;
constexpr Uint32 RMASK24 = BIG_ENDIAN_HOST ? 0xFF0000u : 0x0000FFu;
constexpr Uint32 GMASK24 = 0x00FF00u;
constexpr Uint32 BMASK24 = BIG_ENDIAN_HOST ? 0x0000FFu : 0xFF0000u;

// True when the surface's memory can go to OpenGL unchanged as GL_RGB or GL_RGBA: bytes in
// R, G, B(, A) order and rows without padding (whose length OpenGL's default 4-byte row
// alignment accepts).
bool UploadableAsIs(const SDL_Surface* S) {
  const SDL_PixelFormat* f = S->format;
  if (f->palette)
    return false;
  const int rowBytes = S->w * f->BytesPerPixel;
  if (S->pitch != rowBytes || rowBytes % 4 != 0)
    return false;
  if (f->BitsPerPixel == 24)
    return f->Rmask == RMASK24 && f->Gmask == GMASK24 && f->Bmask == BMASK24;
  if (f->BitsPerPixel == 32)
    return f->Rmask == RMASK32 && f->Gmask == GMASK32 && f->Bmask == BMASK32 && f->Amask == AMASK32;
  return false;
}

// The pixel value at (X, Y) of a surface of 1 to 4 bytes per pixel.
Uint32 PixelAt(const SDL_Surface* S, int X, int Y) {
  const int bpp = S->format->BytesPerPixel;
  const auto* p = static_cast<const Uint8*>(S->pixels) + Y * S->pitch + X * bpp;
  switch (bpp) {
  case 1:
    return *p;
  case 2:
    return *reinterpret_cast<const Uint16*>(p);
  case 3:
    return BIG_ENDIAN_HOST ? (Uint32(p[0]) << 16) | (Uint32(p[1]) << 8) | p[2]
                           : Uint32(p[0]) | (Uint32(p[1]) << 8) | (Uint32(p[2]) << 16);
  default:
    return *reinterpret_cast<const Uint32*>(p);
  }
}

// Copies any surface into a new tightly packed RGBA surface. Pixels of the colour key keep
// their colour and become transparent; images without alpha are opaque.
TSurfacePtr ConvertToRGBA(SDL_Surface* S) {
  TSurfacePtr out(
      SDL_CreateRGBSurface(SDL_SWSURFACE, S->w, S->h, 32, RMASK32, GMASK32, BMASK32, AMASK32));
  if (!out || S->format->BytesPerPixel < 1 || S->format->BytesPerPixel > 4)
    return nullptr;
  const bool keyed = (S->flags & SDL_SRCCOLORKEY) != 0;
  for (int y = 0; y < S->h; ++y) {
    auto* row = static_cast<Uint8*>(out->pixels) + y * out->pitch;
    for (int x = 0; x < S->w; ++x) {
      const Uint32 pixel = PixelAt(S, x, y);
      Uint8* texel = row + x * 4;
      SDL_GetRGBA(pixel, S->format, &texel[0], &texel[1], &texel[2], &texel[3]);
      if (keyed && pixel == S->format->colorkey)
        texel[3] = SDL_ALPHA_TRANSPARENT;
    }
  }
  return out;
}

} // namespace

bool LoadGLTexture(const std::string& FileName, std::uint32_t& Texture) {
  TSurfacePtr surface(IMG_Load(FileName.c_str()));
  if (!surface)
    throw std::runtime_error("file " + FileName + " not found");
  if (!UploadableAsIs(surface.get())) {
    TSurfacePtr converted = ConvertToRGBA(surface.get());
    if (!converted)
      throw std::runtime_error("file " + FileName + " could not be converted to RGBA");
    surface = std::move(converted);
  }
  GLuint name = 0;
  glGenTextures(1, &name);
  Texture = name;
  glBindTexture(GL_TEXTURE_2D, name);
  const GLenum format = surface->format->BitsPerPixel == 24 ? GL_RGB : GL_RGBA;
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), surface->w, surface->h, 0, format,
               GL_UNSIGNED_BYTE, surface->pixels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  return true;
}

TTexture::~TTexture() {
  if (Texture != 0) {
    GLuint name = Texture;
    glDeleteTextures(1, &name);
  }
}

void TTexture::LoadFrom(const std::string& FileName) {
  std::uint32_t loaded = 0;
  LoadGLTexture(FileName, loaded);
  if (Texture != 0) {
    GLuint old = Texture;
    glDeleteTextures(1, &old);
  }
  Texture = loaded;
}

void TTexture::Bind() const {
  glBindTexture(GL_TEXTURE_2D, Texture);
}

TTexture* TTextureList::GetTextureByName(const std::string& Name) const {
  for (TTexture* texture : FItems)
    if (texture->Name == Name)
      return texture;
  return nullptr;
}
