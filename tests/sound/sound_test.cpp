// The sound layer over OpenAL: loading the library, sounds, sources, the sound list, and a
// sound played through OpenAL's file-writing backend.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "../support/scratch_dir.h"
#include "sound/alut.h"
#include "sound/sound.h"
#include "sound/wav_reader.h"
#include "wav_builder.h"

namespace {

namespace fs = std::filesystem;

// A 16-bit mono tone of Samples samples at Rate Hz.
std::vector<std::uint8_t> Tone(int Samples, int Rate) {
  std::vector<std::uint8_t> bytes;
  for (int i = 0; i < Samples; ++i) {
    const auto v = static_cast<std::int16_t>(12000 * std::sin(2 * M_PI * 440.0 * i / Rate));
    bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
  }
  return bytes;
}

// Files go to one scratch folder of this test program's, removed when it exits.
fs::path WriteFile(const std::string& Name, const std::vector<std::uint8_t>& Bytes) {
  static const TScratchDir scratch("sound-test");
  const fs::path path = scratch / Name;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(Bytes.data()),
            static_cast<std::streamsize>(Bytes.size()));
  return path;
}

fs::path ToneFile(const std::string& Name, int Samples = 2205) {
  return WriteFile(
      Name, TWavBuilder().Header(1, 16, 22050).Chunk("data", Tone(Samples, 22050)).Finish().Bytes);
}

// OpenAL with a device and a current context, or a skipped test when the machine has none.
class SoundTest : public testing::Test {
protected:
  void SetUp() override {
    if (!std::getenv("ALSOFT_DRIVERS"))
      setenv("ALSOFT_DRIVERS", "null", 1);
    if (!InitSound())
      GTEST_SKIP() << "no OpenAL library on this machine";
    if (!alutInit(nullptr, nullptr))
      GTEST_SKIP() << "OpenAL opens no device here";
  }
  void TearDown() override {
    alutExit();
    CloseOpenAL();
  }
};

TEST(OpenALLoading, MissingLibraryLeavesEveryEntryPointNull) {
  EXPECT_FALSE(InitOpenAL("libno-such-openal.so.7"));
  EXPECT_FALSE(OpenALLoaded());
  EXPECT_EQ(OpenAL().alGenBuffers, nullptr);
  EXPECT_EQ(OpenAL().alcOpenDevice, nullptr);
  EXPECT_EQ(OpenALResolvedCount(), 0);
  EXPECT_FALSE(InitEAX());
}

TEST(OpenALLoading, WithoutTheLibrarySoundCallsAreHarmless) {
  CloseOpenAL();
  EXPECT_FALSE(alutInit(nullptr, nullptr));
  alutExit();
  SetListenerPosition(TVector{1, 2, 3});
  SetListenerOrientation(TVector{0, 0, -1}, TVector{0, 1, 0});
  const fs::path file = ToneFile("sound_test_nolib.wav");
  try {
    TSound sound(file.string());
    FAIL() << "a sound cannot be made without OpenAL";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("OpenAL is not loaded"), std::string::npos) << e.what();
  }
  fs::remove(file);
}

TEST(OpenALLoading, ResolvesEveryEntryPointByName) {
  if (!InitOpenAL("libopenal.so.1") && !InitOpenAL("libopenal.so.0"))
    GTEST_SKIP() << "no OpenAL library on this machine";
  EXPECT_TRUE(OpenALLoaded());
  EXPECT_GT(OpenALEntryPointCount(), 90);
  EXPECT_EQ(OpenALResolvedCount(), OpenALEntryPointCount());
  for (auto entry : {reinterpret_cast<void*>(OpenAL().alListenerfv),
                     reinterpret_cast<void*>(OpenAL().alSourcePlay),
                     reinterpret_cast<void*>(OpenAL().alcCaptureSamples)})
    EXPECT_NE(entry, nullptr);
  // Loading again replaces the library cleanly.
  EXPECT_TRUE(InitOpenAL("libopenal.so.1") || InitOpenAL("libopenal.so.0"));
  EXPECT_EQ(OpenALResolvedCount(), OpenALEntryPointCount());
  CloseOpenAL();
  EXPECT_EQ(OpenAL().alSourcePlay, nullptr);
}

TEST_F(SoundTest, ANewContextGetsTheListenerDefaults) {
  ALfloat pos[3] = {9, 9, 9}, orient[6] = {};
  OpenAL().alGetListenerfv(AL_POSITION, pos);
  OpenAL().alGetListenerfv(AL_ORIENTATION, orient);
  EXPECT_EQ(pos[0], 0.0f);
  EXPECT_EQ(orient[2], -1.0f);
  EXPECT_EQ(orient[4], 1.0f);
  EXPECT_EQ(OpenAL().alGetInteger(AL_DISTANCE_MODEL), AL_INVERSE_DISTANCE);
}

TEST_F(SoundTest, ListenerSettingsReachOpenAL) {
  SetListenerPosition(TVector{1, 2, 3});
  SetListenerVelocity(TVector{4, 5, 6});
  SetListenerOrientation(TVector{0, 0, 1}, TVector{1, 0, 0});
  ALfloat pos[3] = {}, vel[3] = {}, orient[6] = {};
  OpenAL().alGetListenerfv(AL_POSITION, pos);
  OpenAL().alGetListenerfv(AL_VELOCITY, vel);
  OpenAL().alGetListenerfv(AL_ORIENTATION, orient);
  EXPECT_EQ(pos[2], 3.0f);
  EXPECT_EQ(vel[0], 4.0f);
  EXPECT_EQ(orient[2], 1.0f);
  EXPECT_EQ(orient[3], 1.0f);
}

TEST_F(SoundTest, SoundLoadsIntoABuffer) {
  const fs::path file = ToneFile("sound_test_tone.wav");
  testing::internal::CaptureStdout();
  TSound sound(file.string());
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "loaing " + file.string() + "\ndone loaing\n");
  EXPECT_EQ(sound.Format, AL_FORMAT_MONO16);
  EXPECT_EQ(sound.Freq, 22050u);
  EXPECT_EQ(sound.Size, 4410u);
  EXPECT_TRUE(sound.Data.empty()) << "the sample data is released once OpenAL has it";
  ASSERT_TRUE(OpenAL().alIsBuffer(sound.Buffer));
  ALint size = 0, freq = 0;
  OpenAL().alGetBufferi(sound.Buffer, AL_SIZE, &size);
  OpenAL().alGetBufferi(sound.Buffer, AL_FREQUENCY, &freq);
  EXPECT_EQ(size, 4410);
  EXPECT_EQ(freq, 22050);
  fs::remove(file);
}

TEST_F(SoundTest, BadFilesRaiseAndKeepNoBuffer) {
  EXPECT_THROW(TSound("/no/such/dir/missing.wav"), std::runtime_error);
  const fs::path junk = WriteFile("sound_test_junk.wav", Ramp(100));
  EXPECT_THROW(TSound(junk.string()), std::runtime_error);
  // Buffers 1..n would be taken by a leak; a fresh sound gets a new working buffer.
  const fs::path file = ToneFile("sound_test_after_bad.wav");
  TSound sound(file.string());
  EXPECT_TRUE(OpenAL().alIsBuffer(sound.Buffer));
  fs::remove(junk);
  fs::remove(file);
}

TEST_F(SoundTest, DestroyingASoundDeletesItsBuffer) {
  const fs::path file = ToneFile("sound_test_destroy.wav");
  ALuint buffer = 0;
  {
    TSound sound(file.string());
    buffer = sound.Buffer;
    ASSERT_TRUE(OpenAL().alIsBuffer(buffer));
  }
  EXPECT_FALSE(OpenAL().alIsBuffer(buffer));
  fs::remove(file);
}

TEST_F(SoundTest, SourceDefaultsAndSettings) {
  const fs::path file = ToneFile("sound_test_source.wav");
  TSound sound(file.string());
  ALuint name = 0;
  {
    TSource source(sound);
    name = source.Source;
    ASSERT_TRUE(OpenAL().alIsSource(name));
    EXPECT_FLOAT_EQ(source.GetPitch(), 1.0f);
    EXPECT_FLOAT_EQ(source.GetGain(), 1.0f);
    EXPECT_FALSE(source.GetLoop());
    ALint buffer = 0;
    OpenAL().alGetSourcei(name, AL_BUFFER, &buffer);
    EXPECT_EQ(static_cast<ALuint>(buffer), sound.Buffer);

    source.SetPitch(1.5f);
    source.SetGain(0.25f);
    source.SetLoop(true);
    source.SetPosition(TVector{3, 4, 5});
    source.SetVelocity(TVector{-1, 0, 0});
    EXPECT_FLOAT_EQ(source.GetPitch(), 1.5f);
    EXPECT_FLOAT_EQ(source.GetGain(), 0.25f);
    EXPECT_TRUE(source.GetLoop());
    ALfloat pos[3] = {}, vel[3] = {};
    OpenAL().alGetSourcefv(name, AL_POSITION, pos);
    OpenAL().alGetSourcefv(name, AL_VELOCITY, vel);
    EXPECT_EQ(pos[1], 4.0f);
    EXPECT_EQ(vel[0], -1.0f);
    source.Play();
    ALint state = 0;
    OpenAL().alGetSourcei(name, AL_SOURCE_STATE, &state);
    EXPECT_EQ(state, AL_PLAYING);
  }
  EXPECT_FALSE(OpenAL().alIsSource(name));
  fs::remove(file);
}

TEST_F(SoundTest, SoundListFindsTheFirstByExactName) {
  const fs::path file = ToneFile("sound_test_list.wav", 100);
  TSoundList list;
  EXPECT_EQ(list.GetSoundByName("click"), nullptr);
  TSound a(file.string()), b(file.string()), c(file.string());
  a.Name = "click";
  b.Name = "click";
  c.Name = "Click";
  list.Add(&a);
  list.Add(&b);
  list.Add(&c);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.GetSound(1), &b);
  EXPECT_EQ(list.GetSoundByName("click"), &a);
  EXPECT_EQ(list.GetSoundByName("Click"), &c);
  EXPECT_EQ(list.GetSoundByName("CLICK"), nullptr);
  EXPECT_THROW(list.GetSound(3), std::out_of_range);
  fs::remove(file);
}

// Plays a tone through OpenAL's wave-file backend in a child process (the backend is chosen
// when the library starts) and reads back what it wrote.
void PlayIntoFile(const fs::path& Config, const fs::path& Sound) {
  setenv("ALSOFT_CONF", Config.c_str(), 1);
  setenv("ALSOFT_DRIVERS", "wave", 1);
  if (!InitSound() || !alutInit(nullptr, nullptr))
    std::exit(3);
  {
    TSound sound(Sound.string());
    TSource source(sound);
    source.Play();
    ALint state = AL_PLAYING;
    for (int i = 0; i < 300 && state == AL_PLAYING; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      OpenAL().alGetSourcei(source.Source, AL_SOURCE_STATE, &state);
    }
    if (state != AL_STOPPED)
      std::exit(4);
  }
  alutExit();
  std::exit(0);
}

TEST(SoundPlayback, PlaysThroughTheWaveBackend) {
  if (!InitOpenAL("libopenal.so.1") && !InitOpenAL("libopenal.so.0"))
    GTEST_SKIP() << "no OpenAL library on this machine";
  CloseOpenAL();
  // The death test's child runs this test's body again, so the folder's name must be the same
  // in both processes, and yet this program's own: it is named after the program's path.
  const fs::path dir =
      fs::temp_directory_path() /
      ("sound-test-wave-backend-" +
       std::to_string(std::hash<std::string>{}(fs::read_symlink("/proc/self/exe").string())));
  fs::create_directories(dir);
  const fs::path output = dir / "out.wav";
  const fs::path config = dir / "alsoft.conf";
  {
    std::ofstream conf(config);
    conf << "[general]\nsample-type = int16\nchannels = mono\nfrequency = 22050\n"
         << "[wave]\nfile = " << output.string() << "\n";
  }
  const fs::path sound = ToneFile("sound_test_playback.wav", 4410);
  testing::FLAGS_gtest_death_test_style = "threadsafe";
  EXPECT_EXIT(PlayIntoFile(config, sound), testing::ExitedWithCode(0), "");

  std::ifstream written(output, std::ios::binary);
  ASSERT_TRUE(written) << "the backend wrote no file";
  ALenum format = 0;
  std::vector<std::uint8_t> data;
  std::uint32_t size = 0, freq = 0;
  ALint loop = 0;
  ASSERT_TRUE(LoadWavStream(written, format, data, size, freq, loop));
  EXPECT_EQ(format, AL_FORMAT_MONO16);
  EXPECT_EQ(freq, 22050u);
  int peak = 0;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2)
    peak = std::max(
        peak, std::abs(static_cast<int>(static_cast<std::int16_t>(data[i] | (data[i + 1] << 8)))));
  EXPECT_GT(peak, 2000) << "the played tone reached the output";
  fs::remove_all(dir);
  fs::remove(sound);
}

} // namespace
