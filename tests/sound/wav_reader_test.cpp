// WAV reading: header layouts, chunk walking and refusal of damaged or lying files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "../support/scratch_dir.h"
#include "sound/alut.h"
#include "sound/wav_reader.h"
#include "wav_builder.h"

namespace {

struct TResult {
  bool Ok = false;
  ALenum Format = 0x4242; // a value the reader must leave alone when it knows no format
  std::vector<std::uint8_t> Data;
  std::uint32_t Size = 7777;
  std::uint32_t Freq = 0;
  ALint Loop = 31;
};

TResult Read(const TWavBuilder& W) {
  TResult r;
  std::istringstream in(W.Str());
  r.Ok = LoadWavStream(in, r.Format, r.Data, r.Size, r.Freq, r.Loop);
  return r;
}

TEST(WavReader, SixteenBitStereo) {
  const auto samples = Ramp(40);
  const TResult r = Read(TWavBuilder().Header(2, 16, 22050).Chunk("data", samples).Finish());
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Format, AL_FORMAT_STEREO16);
  EXPECT_EQ(r.Freq, 22050u);
  EXPECT_EQ(r.Size, 40u);
  EXPECT_EQ(r.Data, samples);
  EXPECT_EQ(r.Loop, 31) << "the loop flag is never written";
}

TEST(WavReader, FormatTable) {
  struct TCase {
    std::uint16_t Channels, Bits;
    ALenum Expected;
  };
  const TCase cases[] = {{1, 8, AL_FORMAT_MONO8},
                         {1, 16, AL_FORMAT_MONO16},
                         {2, 8, AL_FORMAT_STEREO8},
                         {2, 16, AL_FORMAT_STEREO16},
                         {1, 24, 0x4242},
                         {3, 16, 0x4242},
                         {0, 8, 0x4242}};
  for (const TCase& c : cases) {
    const TResult r =
        Read(TWavBuilder().Header(c.Channels, c.Bits, 8000).Chunk("data", Ramp(12)).Finish());
    EXPECT_TRUE(r.Ok);
    EXPECT_EQ(r.Format, c.Expected) << c.Channels << " channels, " << c.Bits << " bits";
  }
}

TEST(WavReader, EightBitGetsOneByteMoreSilentAtTheEnd) {
  const TResult r = Read(TWavBuilder().Header(1, 8, 11025).Chunk("data", Ramp(10)).Finish());
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Format, AL_FORMAT_MONO8);
  ASSERT_EQ(r.Size, 11u);
  ASSERT_EQ(r.Data.size(), 11u);
  EXPECT_EQ(r.Data[9], 10);
  EXPECT_EQ(r.Data[10], 0x80) << "the file ends after the data: silence";
}

TEST(WavReader, EightBitExtraByteIsTheNextFileByte) {
  const TResult r = Read(
      TWavBuilder().Header(1, 8, 11025).Chunk("data", Ramp(4)).Chunk("LIST", Ramp(2)).Finish());
  ASSERT_TRUE(r.Ok);
  ASSERT_EQ(r.Size, 5u);
  EXPECT_EQ(r.Data[4], 'L');
}

TEST(WavReader, SkipsChunksBeforeDataByTheirLength) {
  const auto samples = Ramp(8, 100);
  const TResult r = Read(
      TWavBuilder().Header(1, 16, 44100).Chunk("LIST", Ramp(26)).Chunk("data", samples).Finish());
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Data, samples);
}

TEST(WavReader, SkipsThePadByteOfOddChunks) {
  const auto samples = Ramp(6, 50);
  const TResult r = Read(
      TWavBuilder().Header(1, 16, 8000).Chunk("junk", Ramp(3)).Chunk("data", samples).Finish());
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Data, samples);
}

TEST(WavReader, LongFormatChunksAreSkipped) {
  for (std::uint32_t formatSize : {18u, 40u}) {
    const auto samples = Ramp(4, 7);
    const TResult r =
        Read(TWavBuilder().Header(2, 16, 48000, formatSize).Chunk("data", samples).Finish());
    ASSERT_TRUE(r.Ok) << formatSize;
    EXPECT_EQ(r.Data, samples) << formatSize;
    EXPECT_EQ(r.Freq, 48000u);
  }
}

TEST(WavReader, TheLastDataChunkWins) {
  const TResult r = Read(TWavBuilder()
                             .Header(1, 16, 8000)
                             .Chunk("data", Ramp(4, 1))
                             .Chunk("data", Ramp(6, 200))
                             .Finish());
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Data, Ramp(6, 200));
  EXPECT_EQ(r.Size, 6u);
}

TEST(WavReader, ReadsFromTheStreamsCurrentPosition) {
  const auto samples = Ramp(4, 9);
  const std::string image =
      "prefix" + TWavBuilder().Header(1, 16, 8000).Chunk("data", samples).Finish().Str();
  std::istringstream in(image);
  in.seekg(6);
  TResult r;
  ASSERT_TRUE(LoadWavStream(in, r.Format, r.Data, r.Size, r.Freq, r.Loop));
  EXPECT_EQ(r.Data, samples);
}

// Every damaged image answers false and leaves Data and Size as they were passed.
TEST(WavReader, RefusesDamagedFiles) {
  struct TCase {
    const char* What;
    TWavBuilder W;
  };
  const auto good = TWavBuilder().Header(1, 16, 8000).Chunk("data", Ramp(8)).Finish();
  std::vector<TCase> cases;
  cases.push_back({"empty", TWavBuilder()});
  {
    TWavBuilder w = good;
    w.Bytes.resize(30);
    cases.push_back({"header cut short", w});
  }
  {
    TWavBuilder w = good;
    w.Bytes.resize(good.Bytes.size() - 3);
    cases.push_back({"data cut short", w});
  }
  {
    TWavBuilder w = good;
    w.Bytes.resize(40);
    cases.push_back({"chunk header cut short", w});
  }
  cases.push_back(
      {"no data chunk", TWavBuilder().Header(1, 16, 8000).Chunk("LIST", Ramp(4)).Finish()});
  cases.push_back({"header only", TWavBuilder().Header(1, 16, 8000).Finish()});
  cases.push_back({"data length beyond the end",
                   TWavBuilder().Header(1, 16, 8000).Tag("data").U32(1000).Raw(Ramp(8)).Finish()});
  cases.push_back({"huge data length",
                   TWavBuilder().Header(1, 8, 8000).Tag("data").U32(0xFFFFFFFFu).Raw(Ramp(8))});
  cases.push_back(
      {"huge chunk length before data",
       TWavBuilder().Header(1, 16, 8000).Tag("LIST").U32(0xFFFFFFF0u).Chunk("data", Ramp(8))});
  cases.push_back({"format chunk longer than the file", TWavBuilder().Header(1, 16, 8000, 5000)});
  {
    TWavBuilder w = good;
    w.Bytes[16] = 12; // format chunk of 12 bytes: too short for the layout
    cases.push_back({"short format chunk", w});
  }
  {
    TWavBuilder w = good;
    w.Bytes[0] = 'X';
    cases.push_back({"not RIFF", w});
  }
  {
    TWavBuilder w = good;
    w.Bytes[8] = 'X';
    cases.push_back({"not WAVE", w});
  }
  {
    TWavBuilder w = good;
    w.Bytes[12] = 'X';
    cases.push_back({"format chunk not first", w});
  }
  for (const TCase& c : cases) {
    TResult r;
    r.Data = {1, 2, 3};
    r.Size = 3;
    std::istringstream in(c.W.Str());
    EXPECT_FALSE(LoadWavStream(in, r.Format, r.Data, r.Size, r.Freq, r.Loop)) << c.What;
    EXPECT_EQ(r.Data, (std::vector<std::uint8_t>{1, 2, 3})) << c.What;
    EXPECT_EQ(r.Size, 3u) << c.What;
  }
}

TEST(WavReader, MemoryImageUsesItsExplicitLength) {
  const auto samples = Ramp(16);
  const auto w = TWavBuilder().Header(2, 8, 16000).Chunk("data", samples).Finish();
  TResult r;
  ASSERT_TRUE(
      alutLoadWAVMemory(w.Bytes.data(), w.Bytes.size(), r.Format, r.Data, r.Size, r.Freq, r.Loop));
  EXPECT_EQ(r.Format, AL_FORMAT_STEREO8);
  EXPECT_EQ(r.Size, 17u);
  EXPECT_EQ(std::vector<std::uint8_t>(r.Data.begin(), r.Data.begin() + 16), samples);

  TResult cut;
  EXPECT_FALSE(alutLoadWAVMemory(w.Bytes.data(), w.Bytes.size() - 4, cut.Format, cut.Data, cut.Size,
                                 cut.Freq, cut.Loop))
      << "a length shorter than the image cuts the data chunk";
  EXPECT_FALSE(alutLoadWAVMemory(nullptr, 100, cut.Format, cut.Data, cut.Size, cut.Freq, cut.Loop));
}

TEST(WavReader, FileLoadingAndRelease) {
  const TScratchDir dir("wav-reader-test");
  const auto path = dir / "file.wav";
  const auto w = TWavBuilder().Header(1, 16, 22050).Chunk("data", Ramp(20)).Finish();
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(w.Bytes.data()),
              static_cast<std::streamsize>(w.Bytes.size()));
  }
  TResult r;
  ASSERT_TRUE(alutLoadWAVFile(path.string(), r.Format, r.Data, r.Size, r.Freq, r.Loop));
  EXPECT_EQ(r.Format, AL_FORMAT_MONO16);
  EXPECT_EQ(r.Size, 20u);
  alutUnloadWAV(r.Format, r.Data, r.Size, r.Freq);
  EXPECT_TRUE(r.Data.empty());
  EXPECT_EQ(r.Data.capacity(), 0u);
  std::filesystem::remove(path);

  EXPECT_THROW(alutLoadWAVFile(path.string(), r.Format, r.Data, r.Size, r.Freq, r.Loop),
               std::runtime_error);
}

TEST(WavReader, DecodesTheHeaderLittleEndian) {
  const auto w = TWavBuilder().Header(2, 16, 0x00012345u, 18).Finish();
  const TWavHeader h = DecodeWavHeader(w.Bytes.data());
  EXPECT_EQ(std::string(h.RiffHeader, 4), "RIFF");
  EXPECT_EQ(h.FileSize, static_cast<std::int32_t>(w.Bytes.size() - 8));
  EXPECT_EQ(std::string(h.WaveHeader, 4), "WAVE");
  EXPECT_EQ(std::string(h.FormatHeader, 4), "fmt ");
  EXPECT_EQ(h.FormatHeaderSize, 18);
  EXPECT_EQ(h.FormatCode, 1);
  EXPECT_EQ(h.ChannelNumber, 2);
  EXPECT_EQ(h.SampleRate, 0x12345);
  EXPECT_EQ(h.BytesPerSecond, 0x12345 * 4);
  EXPECT_EQ(h.BytesPerSample, 4);
  EXPECT_EQ(h.BitsPerSample, 16);
}

} // namespace
