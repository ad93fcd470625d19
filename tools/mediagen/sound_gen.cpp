#include "sound_gen.h"

#include <algorithm>
#include <cmath>

#include "image.h"

namespace {

constexpr int RATE = 22050;
constexpr float PI = 3.14159265358979f;

void Put16(std::vector<std::uint8_t>& Out, std::uint16_t V) {
  Out.push_back(static_cast<std::uint8_t>(V & 0xFF));
  Out.push_back(static_cast<std::uint8_t>(V >> 8));
}

void Put32(std::vector<std::uint8_t>& Out, std::uint32_t V) {
  Put16(Out, static_cast<std::uint16_t>(V & 0xFFFF));
  Put16(Out, static_cast<std::uint16_t>(V >> 16));
}

void PutTag(std::vector<std::uint8_t>& Out, const char* Tag) {
  for (int i = 0; i < 4; ++i)
    Out.push_back(static_cast<std::uint8_t>(Tag[i]));
}

} // namespace

std::vector<std::uint8_t> MakeClickWav() {
  // Two decaying resonances (a knock on wood) and a brief burst of noise for the attack.
  const int samples = RATE * 9 / 100;
  std::vector<std::int16_t> pcm(static_cast<std::size_t>(samples));
  TRandom noise(2024);
  for (int i = 0; i < samples; ++i) {
    const float t = static_cast<float>(i) / RATE;
    const float body = 0.6f * std::sin(2 * PI * 1180 * t) * std::exp(-t * 70) +
                       0.35f * std::sin(2 * PI * 2630 * t) * std::exp(-t * 110);
    const float attack = (noise.Unit() * 2 - 1) * 0.5f * std::exp(-t * 600);
    const float fadeIn = std::min(1.0f, static_cast<float>(i) / 12);
    pcm[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(
        std::lround(std::clamp(body + attack, -1.0f, 1.0f) * fadeIn * 26000));
  }
  std::vector<std::uint8_t> out;
  const auto dataBytes = static_cast<std::uint32_t>(pcm.size() * 2);
  PutTag(out, "RIFF");
  Put32(out, 36 + dataBytes);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1); // PCM
  Put16(out, 1); // mono
  Put32(out, RATE);
  Put32(out, RATE * 2);
  Put16(out, 2);
  Put16(out, 16);
  PutTag(out, "data");
  Put32(out, dataBytes);
  for (std::int16_t s : pcm)
    Put16(out, static_cast<std::uint16_t>(s));
  return out;
}
