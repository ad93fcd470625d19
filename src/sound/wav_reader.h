// Reading PCM sample data from RIFF WAV images into memory for an OpenAL buffer.
#pragma once

#include <cstdint>
#include <istream>
#include <vector>

#include "sound/openal.h"

// The 36 bytes at the start of a WAV file: the RIFF header and the first 16 bytes of the
// format chunk, which must come first after "WAVE". Little-endian on disk.
struct TWavHeader {
  char RiffHeader[4] = {};
  std::int32_t FileSize = 0;
  char WaveHeader[4] = {};
  char FormatHeader[4] = {};
  std::int32_t FormatHeaderSize = 0;
  std::uint16_t FormatCode = 0;
  std::uint16_t ChannelNumber = 0;
  std::int32_t SampleRate = 0;
  std::int32_t BytesPerSecond = 0;
  std::uint16_t BytesPerSample = 0;
  std::uint16_t BitsPerSample = 0;
};
inline constexpr std::size_t WAV_HEADER_SIZE = 36;

// Decodes a TWavHeader from WAV_HEADER_SIZE bytes.
TWavHeader DecodeWavHeader(const std::uint8_t* Bytes);

// Reads a WAV image from the stream's current position to its end. Freq and Format come from
// the header (Format only for 8/16-bit mono/stereo; other layouts leave it as passed). Data and
// Size receive the last "data" chunk; 8-bit data gets one byte more than the chunk holds (the
// byte after it, or the silence value 0x80 at the end of the file). Loop is never written.
// False, with Data and Size as passed, for a file that is not a WAV image, is cut short, has a
// chunk reaching past its end, or has no "data" chunk. Nothing is read past the stream's end.
bool LoadWavStream(std::istream& Stream, ALenum& Format, std::vector<std::uint8_t>& Data,
                   std::uint32_t& Size, std::uint32_t& Freq, ALint& Loop);
