// Fuzz target: WAV images through the sound layer's reader, from a stream and from memory.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "sound/alut.h"
#include "sound/wav_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ALenum format = 0;
  std::vector<std::uint8_t> samples;
  std::uint32_t length = 0, freq = 0;
  ALint loop = 0;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  if (LoadWavStream(in, format, samples, length, freq, loop) && samples.size() != length)
    __builtin_trap();
  if (samples.size() > size + 1)
    __builtin_trap();
  std::vector<std::uint8_t> again;
  std::uint32_t againLength = 0;
  alutLoadWAVMemory(data, size, format, again, againLength, freq, loop);
  if (again != samples)
    __builtin_trap();
  return 0;
}
