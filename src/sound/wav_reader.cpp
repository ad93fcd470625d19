#include "sound/wav_reader.h"

#include <cstring>

namespace {

constexpr std::uint8_t SILENCE_8BIT = 0x80;
constexpr std::uint32_t CHUNK_HEADER_SIZE = 8;
constexpr std::uint32_t MIN_FORMAT_SIZE = 16;

std::uint16_t ReadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ReadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t ReadI32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(ReadU32(p));
}

bool ReadExactly(std::istream& Stream, void* Buffer, std::uint64_t Count) {
  Stream.read(static_cast<char*>(Buffer), static_cast<std::streamsize>(Count));
  return static_cast<std::uint64_t>(Stream.gcount()) == Count;
}

// A chunk occupies its length plus one pad byte when the length is odd.
std::uint64_t PaddedLength(std::uint32_t Length) {
  return static_cast<std::uint64_t>(Length) + (Length & 1u);
}

ALenum FormatFor(std::uint16_t Channels, std::uint16_t Bits, ALenum Fallback) {
  if (Channels == 1 && Bits == 8)
    return AL_FORMAT_MONO8;
  if (Channels == 1 && Bits == 16)
    return AL_FORMAT_MONO16;
  if (Channels == 2 && Bits == 8)
    return AL_FORMAT_STEREO8;
  if (Channels == 2 && Bits == 16)
    return AL_FORMAT_STEREO16;
  return Fallback;
}

} // namespace

TWavHeader DecodeWavHeader(const std::uint8_t* Bytes) {
  TWavHeader h;
  std::memcpy(h.RiffHeader, Bytes + 0, 4);
  h.FileSize = ReadI32(Bytes + 4);
  std::memcpy(h.WaveHeader, Bytes + 8, 4);
  std::memcpy(h.FormatHeader, Bytes + 12, 4);
  h.FormatHeaderSize = ReadI32(Bytes + 16);
  h.FormatCode = ReadU16(Bytes + 20);
  h.ChannelNumber = ReadU16(Bytes + 22);
  h.SampleRate = ReadI32(Bytes + 24);
  h.BytesPerSecond = ReadI32(Bytes + 28);
  h.BytesPerSample = ReadU16(Bytes + 32);
  h.BitsPerSample = ReadU16(Bytes + 34);
  return h;
}

bool LoadWavStream(std::istream& Stream, ALenum& Format, std::vector<std::uint8_t>& Data,
                   std::uint32_t& Size, std::uint32_t& Freq, ALint& Loop) {
  (void)Loop;
  const std::streamoff start = Stream.tellg();
  Stream.seekg(0, std::ios::end);
  const std::streamoff end = Stream.tellg();
  if (start < 0 || end < start)
    return false;
  Stream.seekg(start);
  const std::uint64_t fileSize = static_cast<std::uint64_t>(end - start);

  std::uint8_t raw[WAV_HEADER_SIZE];
  if (fileSize < WAV_HEADER_SIZE || !ReadExactly(Stream, raw, WAV_HEADER_SIZE))
    return false;
  const TWavHeader header = DecodeWavHeader(raw);
  if (std::memcmp(header.RiffHeader, "RIFF", 4) != 0 ||
      std::memcmp(header.WaveHeader, "WAVE", 4) != 0 ||
      std::memcmp(header.FormatHeader, "fmt ", 4) != 0)
    return false;
  const auto formatSize = static_cast<std::uint32_t>(header.FormatHeaderSize);
  if (formatSize < MIN_FORMAT_SIZE)
    return false;

  Freq = static_cast<std::uint32_t>(header.SampleRate);
  Format = FormatFor(header.ChannelNumber, header.BitsPerSample, Format);
  const bool eightBit = header.BitsPerSample == 8;

  // The format chunk began 20 bytes in; whatever it holds beyond its first 16 bytes is skipped.
  if (20 + static_cast<std::uint64_t>(formatSize) > fileSize)
    return false;
  std::uint64_t pos = 20 + PaddedLength(formatSize);

  bool found = false;
  std::vector<std::uint8_t> samples;
  std::uint32_t sampleSize = 0;
  while (pos < fileSize) {
    std::uint8_t chunk[CHUNK_HEADER_SIZE];
    if (fileSize - pos < CHUNK_HEADER_SIZE)
      return false;
    Stream.seekg(start + static_cast<std::streamoff>(pos));
    if (!ReadExactly(Stream, chunk, CHUNK_HEADER_SIZE))
      return false;
    pos += CHUNK_HEADER_SIZE;
    const std::uint32_t length = ReadU32(chunk + 4);
    if (length > fileSize - pos)
      return false;
    if (std::memcmp(chunk, "data", 4) == 0) {
      const std::uint64_t total = static_cast<std::uint64_t>(length) + (eightBit ? 1 : 0);
      if (total > UINT32_MAX)
        return false;
      samples.assign(static_cast<std::size_t>(total), SILENCE_8BIT);
      if (!ReadExactly(Stream, samples.data(), length))
        return false;
      if (eightBit && pos + length < fileSize)
        samples[length] = static_cast<std::uint8_t>(Stream.get());
      sampleSize = static_cast<std::uint32_t>(total);
      found = true;
    }
    pos += PaddedLength(length);
  }
  if (!found)
    return false;
  Data = std::move(samples);
  Size = sampleSize;
  return true;
}
