#include "png_writer.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

#include "image.h"

namespace {

struct TFileClose {
  void operator()(std::FILE* F) const { std::fclose(F); }
};

} // namespace

void WritePng(const std::string& FileName, const TImage& Image, int Channels) {
  std::unique_ptr<std::FILE, TFileClose> file(std::fopen(FileName.c_str(), "wb"));
  if (!file)
    throw std::runtime_error("cannot write " + FileName);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, nullptr);
    throw std::runtime_error("cannot start a PNG writer for " + FileName);
  }
  std::vector<std::uint8_t> bytes = Image.ToBytes(Channels);
  std::vector<png_bytep> rows(static_cast<std::size_t>(Image.Height()));
  for (int y = 0; y < Image.Height(); ++y)
    rows[static_cast<std::size_t>(y)] =
        bytes.data() + static_cast<std::size_t>(y) * Image.Width() * Channels;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("error while writing " + FileName);
  }
  png_init_io(png, file.get());
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, static_cast<png_uint_32>(Image.Width()),
               static_cast<png_uint_32>(Image.Height()), 8,
               Channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
}
