// Writes small PNG files for the texture tests without a compressor: the image data goes into
// stored (uncompressed) deflate blocks. Colour types: 0 grey, 2 RGB, 3 palette, 6 RGBA.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace png_fixture {

inline std::uint32_t Crc32(const std::uint8_t* Data, std::size_t Size, std::uint32_t Crc = 0) {
  Crc = ~Crc;
  for (std::size_t i = 0; i < Size; ++i) {
    Crc ^= Data[i];
    for (int k = 0; k < 8; ++k)
      Crc = (Crc >> 1) ^ (0xEDB88320u & (0u - (Crc & 1u)));
  }
  return ~Crc;
}

inline void Put32(std::vector<std::uint8_t>& Out, std::uint32_t V) {
  for (int i = 3; i >= 0; --i)
    Out.push_back(static_cast<std::uint8_t>(V >> (8 * i)));
}

inline void Chunk(std::vector<std::uint8_t>& Out, const char* Type,
                  const std::vector<std::uint8_t>& Body) {
  Put32(Out, static_cast<std::uint32_t>(Body.size()));
  std::vector<std::uint8_t> typed(Type, Type + 4);
  typed.insert(typed.end(), Body.begin(), Body.end());
  Out.insert(Out.end(), typed.begin(), typed.end());
  Put32(Out, Crc32(typed.data(), typed.size()));
}

// Pixels: rows top first, Channels bytes per pixel (1 for grey and palette indices).
inline void Write(const std::string& FileName, int Width, int Height, int ColorType,
                  const std::vector<std::uint8_t>& Pixels,
                  const std::vector<std::uint8_t>& Palette = {},
                  const std::vector<std::uint8_t>& Transparency = {}) {
  const int channels = ColorType == 2 ? 3 : ColorType == 6 ? 4 : 1;
  std::vector<std::uint8_t> raw;
  for (int y = 0; y < Height; ++y) {
    raw.push_back(0); // no filter
    const auto row = Pixels.begin() + static_cast<std::ptrdiff_t>(y) * Width * channels;
    raw.insert(raw.end(), row, row + Width * channels);
  }
  std::vector<std::uint8_t> z = {0x78, 0x01};
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  std::size_t pos = 0;
  do {
    const std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
    const bool last = pos + n == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<std::uint8_t>(n & 0xFF));
    z.push_back(static_cast<std::uint8_t>(n >> 8));
    z.push_back(static_cast<std::uint8_t>(~n & 0xFF));
    z.push_back(static_cast<std::uint8_t>((~n >> 8) & 0xFF));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
             raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += n;
  } while (pos < raw.size());
  Put32(z, (b << 16) | a);

  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> ihdr;
  Put32(ihdr, static_cast<std::uint32_t>(Width));
  Put32(ihdr, static_cast<std::uint32_t>(Height));
  ihdr.insert(ihdr.end(), {8, static_cast<std::uint8_t>(ColorType), 0, 0, 0});
  Chunk(out, "IHDR", ihdr);
  if (!Palette.empty())
    Chunk(out, "PLTE", Palette);
  if (!Transparency.empty())
    Chunk(out, "tRNS", Transparency);
  Chunk(out, "IDAT", z);
  Chunk(out, "IEND", {});
  std::ofstream file(FileName, std::ios::binary);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
}

} // namespace png_fixture
