// Builds WAV images byte by byte for the sound tests, including damaged ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TWavBuilder {
  std::vector<std::uint8_t> Bytes;

  TWavBuilder& Tag(const char* T) {
    Bytes.insert(Bytes.end(), T, T + 4);
    return *this;
  }
  TWavBuilder& U16(std::uint16_t V) {
    Bytes.push_back(static_cast<std::uint8_t>(V & 0xFF));
    Bytes.push_back(static_cast<std::uint8_t>(V >> 8));
    return *this;
  }
  TWavBuilder& U32(std::uint32_t V) {
    for (int i = 0; i < 4; ++i)
      Bytes.push_back(static_cast<std::uint8_t>((V >> (8 * i)) & 0xFF));
    return *this;
  }
  TWavBuilder& Raw(const std::vector<std::uint8_t>& B) {
    Bytes.insert(Bytes.end(), B.begin(), B.end());
    return *this;
  }
  // "RIFF" size "WAVE" "fmt " with a format chunk of FormatSize bytes (at least 16).
  TWavBuilder& Header(std::uint16_t Channels, std::uint16_t Bits, std::uint32_t Rate,
                      std::uint32_t FormatSize = 16) {
    Tag("RIFF").U32(0).Tag("WAVE").Tag("fmt ").U32(FormatSize);
    const std::uint16_t block = static_cast<std::uint16_t>(Channels * Bits / 8);
    U16(1).U16(Channels).U32(Rate).U32(Rate * block).U16(block).U16(Bits);
    for (std::uint32_t i = 16; i < FormatSize; ++i)
      Bytes.push_back(0xEE);
    return *this;
  }
  // A chunk with its pad byte when the length is odd.
  TWavBuilder& Chunk(const char* Name, const std::vector<std::uint8_t>& Body) {
    Tag(Name).U32(static_cast<std::uint32_t>(Body.size())).Raw(Body);
    if (Body.size() % 2)
      Bytes.push_back(0);
    return *this;
  }
  // Writes the RIFF length field to match the image.
  TWavBuilder& Finish() {
    const auto riff = static_cast<std::uint32_t>(Bytes.size() - 8);
    for (int i = 0; i < 4; ++i)
      Bytes[4 + i] = static_cast<std::uint8_t>((riff >> (8 * i)) & 0xFF);
    return *this;
  }
  std::string Str() const { return std::string(Bytes.begin(), Bytes.end()); }
};

inline std::vector<std::uint8_t> Ramp(std::size_t N, std::uint8_t Start = 1) {
  std::vector<std::uint8_t> v(N);
  for (std::size_t i = 0; i < N; ++i)
    v[i] = static_cast<std::uint8_t>(Start + i);
  return v;
}
