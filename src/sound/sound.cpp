#include "sound/sound.h"

#include <iostream>
#include <stdexcept>

#include "sound/alut.h"

namespace {

const TVector LISTENER_POSITION = {0, 0, 0};
const TVector LISTENER_VELOCITY = {0, 0, 0};
const TVector LISTENER_AT = {0, 0, -1};
const TVector LISTENER_UP = {0, 1, 0};

void SetListenerVector(ALenum Param, const TVector& V) {
  const ALfloat values[3] = {V.X, V.Y, V.Z};
  ALCall(OpenAL().alListenerfv, Param, static_cast<const ALfloat*>(values));
}

void SetSourceVector(ALuint Source, ALenum Param, const TVector& V) {
  const ALfloat values[3] = {V.X, V.Y, V.Z};
  ALCall(OpenAL().alSourcefv, Source, Param, static_cast<const ALfloat*>(values));
}

} // namespace

bool InitSound() {
  bool loaded = false;
  for (const char* name : OPENAL_LIBRARY_NAMES) {
    if (InitOpenAL(name)) {
      loaded = true;
      break;
    }
  }
  SetListenerDefaults();
  return loaded;
}

void SetListenerDefaults() {
  SetListenerPosition(LISTENER_POSITION);
  SetListenerVelocity(LISTENER_VELOCITY);
  SetListenerOrientation(LISTENER_AT, LISTENER_UP);
  ALCall(OpenAL().alDistanceModel, AL_INVERSE_DISTANCE);
}

void SetListenerPosition(const TVector& V) {
  SetListenerVector(AL_POSITION, V);
}

void SetListenerVelocity(const TVector& V) {
  SetListenerVector(AL_VELOCITY, V);
}

void SetListenerOrientation(const TVector& Dir, const TVector& Up) {
  const ALfloat values[6] = {Dir.X, Dir.Y, Dir.Z, Up.X, Up.Y, Up.Z};
  ALCall(OpenAL().alListenerfv, AL_ORIENTATION, static_cast<const ALfloat*>(values));
}

TSound::TSound(const std::string& FileName) {
  std::cout << "loaing " << FileName << std::endl;
  const TOpenAL& al = OpenAL();
  if (!al.alGenBuffers || !al.alBufferData)
    throw std::runtime_error("cannot load sound " + FileName + ": OpenAL is not loaded");
  al.alGenBuffers(1, &Buffer);
  try {
    if (!alutLoadWAVFile(FileName, Format, Data, Size, Freq, Loop))
      throw std::runtime_error("cannot load sound " + FileName + ": not a readable WAV file");
  } catch (...) {
    if (al.alIsBuffer && al.alDeleteBuffers && al.alIsBuffer(Buffer))
      al.alDeleteBuffers(1, &Buffer);
    throw;
  }
  al.alBufferData(Buffer, Format, Data.data(), static_cast<ALsizei>(Size),
                  static_cast<ALsizei>(Freq));
  alutUnloadWAV(Format, Data, Size, Freq);
  std::cout << "done loaing" << std::endl;
}

TSound::~TSound() {
  const TOpenAL& al = OpenAL();
  if (al.alIsBuffer && al.alDeleteBuffers && al.alIsBuffer(Buffer))
    al.alDeleteBuffers(1, &Buffer);
}

TSource::TSource(const TSound& Sound) {
  const TOpenAL& al = OpenAL();
  ALCall(al.alGenSources, 1, &Source);
  ALCall(al.alSourcei, Source, AL_BUFFER, static_cast<ALint>(Sound.Buffer));
  SetPitch(1.0f);
  SetGain(1.0f);
  SetPosition(TVector{0, 0, 0});
  SetVelocity(TVector{0, 0, 0});
  SetLoop(false);
}

TSource::~TSource() {
  const TOpenAL& al = OpenAL();
  if (al.alIsSource && al.alDeleteSources && al.alIsSource(Source))
    al.alDeleteSources(1, &Source);
}

float TSource::GetPitch() const {
  ALfloat value = 0;
  ALCall(OpenAL().alGetSourcef, Source, AL_PITCH, &value);
  return value;
}

void TSource::SetPitch(float V) {
  ALCall(OpenAL().alSourcef, Source, AL_PITCH, V);
}

float TSource::GetGain() const {
  ALfloat value = 0;
  ALCall(OpenAL().alGetSourcef, Source, AL_GAIN, &value);
  return value;
}

void TSource::SetGain(float V) {
  ALCall(OpenAL().alSourcef, Source, AL_GAIN, V);
}

void TSource::SetPosition(const TVector& V) {
  SetSourceVector(Source, AL_POSITION, V);
}

void TSource::SetVelocity(const TVector& V) {
  SetSourceVector(Source, AL_VELOCITY, V);
}

void TSource::SetLoop(bool V) {
  ALCall(OpenAL().alSourcei, Source, AL_LOOPING, V ? 1 : 0);
}

bool TSource::GetLoop() const {
  ALint value = 0;
  ALCall(OpenAL().alGetSourcei, Source, AL_LOOPING, &value);
  return value == 1;
}

void TSource::Play() {
  ALCall(OpenAL().alSourcePlay, Source);
}

TSound* TSoundList::GetSoundByName(const std::string& Name) const {
  for (TSound* sound : FItems)
    if (sound->Name == Name)
      return sound;
  return nullptr;
}
