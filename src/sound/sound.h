// The client's sound layer: samples loaded from WAV files into OpenAL buffers (TSound), voices
// that play them (TSource), a list of sounds by name, and the listener. Call InitSound, and
// open a device with alutInit, before the first TSound is created.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math3d/vector.h"
#include "sound/openal.h"

// The library names tried by InitSound, in order.
inline constexpr const char* OPENAL_LIBRARY_NAMES[] = {"libopenal.so.0", "libopenal.so.1"};

// Loads OpenAL (the first of OPENAL_LIBRARY_NAMES that opens) and sets the listener at the
// origin, at rest, looking along -Z with +Y up, with the inverse-distance model. False when no
// OpenAL library could be loaded; every sound call is then a harmless no-op.
bool InitSound();

// The listener settings of InitSound, applied to the current context. OpenAL keeps them per
// context, so alutInit applies them again to the context it creates.
void SetListenerDefaults();

void SetListenerPosition(const TVector& V);
void SetListenerVelocity(const TVector& V);
void SetListenerOrientation(const TVector& Dir, const TVector& Up);

// One sample in an OpenAL buffer, loaded from a WAV file by the constructor.
class TSound {
public:
  // Writes "loaing " + FileName, fills a new buffer from the file, writes "done loaing".
  // Throws std::runtime_error when OpenAL is not loaded, the file cannot be opened or it is
  // not a readable WAV file; nothing is kept then.
  explicit TSound(const std::string& FileName);
  ~TSound();
  TSound(const TSound&) = delete;
  TSound& operator=(const TSound&) = delete;

  std::string Name;               // the name the media manager knows it by
  ALuint Buffer = 0;              // OpenAL buffer name
  ALenum Format = AL_NONE;        // OpenAL sample format
  std::uint32_t Size = 0;         // sample data length in bytes
  std::uint32_t Freq = 0;         // sample rate in Hz
  ALint Loop = 0;                 // handed to the WAV reader, which leaves it alone
  std::vector<std::uint8_t> Data; // sample data while loading; empty afterwards
};

// One voice playing a TSound.
class TSource {
public:
  // A new source on Sound's buffer: pitch 1, gain 1, at the origin, at rest, not looping.
  explicit TSource(const TSound& Sound);
  ~TSource();
  TSource(const TSource&) = delete;
  TSource& operator=(const TSource&) = delete;

  float GetPitch() const;
  void SetPitch(float V);
  float GetGain() const;
  void SetGain(float V);
  void SetPosition(const TVector& V);
  void SetVelocity(const TVector& V);
  void SetLoop(bool V);
  bool GetLoop() const;
  void Play();

  ALuint Source = 0; // OpenAL source name
};

// An ordered list of sounds it does not own.
class TSoundList {
public:
  void Add(TSound* Sound) { FItems.push_back(Sound); }
  int Count() const { return static_cast<int>(FItems.size()); }
  TSound* GetSound(int Index) const { return FItems.at(static_cast<std::size_t>(Index)); }
  // The first sound whose Name equals Name exactly; nullptr when none does.
  TSound* GetSoundByName(const std::string& Name) const;

private:
  std::vector<TSound*> FItems;
};
