// The OpenAL binding, loaded at run time: types, the constants the sound layer uses, and one
// table of entry points resolved by name from the shared library. Nothing here links OpenAL;
// an entry point the library does not offer stays null, and callers skip null entries.
#pragma once

#include <cstdint>
#include <string>

// Basic OpenAL and ALC types, as the library's C interface defines them.
using ALboolean = char;
using ALchar = char;
using ALbyte = signed char;
using ALubyte = unsigned char;
using ALshort = short;
using ALushort = unsigned short;
using ALint = int;
using ALuint = unsigned int;
using ALsizei = int;
using ALenum = int;
using ALfloat = float;
using ALdouble = double;
using ALvoid = void;
using ALCboolean = char;
using ALCchar = char;
using ALCint = int;
using ALCuint = unsigned int;
using ALCsizei = int;
using ALCenum = int;
using ALCvoid = void;
struct ALCdevice;
struct ALCcontext;

inline constexpr ALenum AL_NONE = 0;
inline constexpr ALboolean AL_FALSE = 0;
inline constexpr ALboolean AL_TRUE = 1;
inline constexpr ALenum AL_NO_ERROR = 0;
inline constexpr ALenum AL_PITCH = 0x1003;
inline constexpr ALenum AL_POSITION = 0x1004;
inline constexpr ALenum AL_DIRECTION = 0x1005;
inline constexpr ALenum AL_VELOCITY = 0x1006;
inline constexpr ALenum AL_LOOPING = 0x1007;
inline constexpr ALenum AL_BUFFER = 0x1009;
inline constexpr ALenum AL_GAIN = 0x100A;
inline constexpr ALenum AL_ORIENTATION = 0x100F;
inline constexpr ALenum AL_SOURCE_STATE = 0x1010;
inline constexpr ALenum AL_INITIAL = 0x1011;
inline constexpr ALenum AL_PLAYING = 0x1012;
inline constexpr ALenum AL_PAUSED = 0x1013;
inline constexpr ALenum AL_STOPPED = 0x1014;
inline constexpr ALenum AL_FORMAT_MONO8 = 0x1100;
inline constexpr ALenum AL_FORMAT_MONO16 = 0x1101;
inline constexpr ALenum AL_FORMAT_STEREO8 = 0x1102;
inline constexpr ALenum AL_FORMAT_STEREO16 = 0x1103;
inline constexpr ALenum AL_FREQUENCY = 0x2001;
inline constexpr ALenum AL_BITS = 0x2002;
inline constexpr ALenum AL_CHANNELS = 0x2003;
inline constexpr ALenum AL_SIZE = 0x2004;
inline constexpr ALenum AL_VENDOR = 0xB001;
inline constexpr ALenum AL_VERSION = 0xB002;
inline constexpr ALenum AL_RENDERER = 0xB003;
inline constexpr ALenum AL_EXTENSIONS = 0xB004;
inline constexpr ALenum AL_DISTANCE_MODEL = 0xD000;
inline constexpr ALenum AL_INVERSE_DISTANCE = 0xD001;
inline constexpr ALCenum ALC_DEFAULT_DEVICE_SPECIFIER = 0x1004;
inline constexpr ALCenum ALC_DEVICE_SPECIFIER = 0x1005;

// Every entry point of OpenAL 1.1 and ALC, as X(result, name, parameter list).
#define OPENAL_ENTRY_POINTS(X)                                                                     \
  X(void, alEnable, (ALenum))                                                                      \
  X(void, alDisable, (ALenum))                                                                     \
  X(ALboolean, alIsEnabled, (ALenum))                                                              \
  X(const ALchar*, alGetString, (ALenum))                                                          \
  X(void, alGetBooleanv, (ALenum, ALboolean*))                                                     \
  X(void, alGetIntegerv, (ALenum, ALint*))                                                         \
  X(void, alGetFloatv, (ALenum, ALfloat*))                                                         \
  X(void, alGetDoublev, (ALenum, ALdouble*))                                                       \
  X(ALboolean, alGetBoolean, (ALenum))                                                             \
  X(ALint, alGetInteger, (ALenum))                                                                 \
  X(ALfloat, alGetFloat, (ALenum))                                                                 \
  X(ALdouble, alGetDouble, (ALenum))                                                               \
  X(ALenum, alGetError, ())                                                                        \
  X(ALboolean, alIsExtensionPresent, (const ALchar*))                                              \
  X(void*, alGetProcAddress, (const ALchar*))                                                      \
  X(ALenum, alGetEnumValue, (const ALchar*))                                                       \
  X(void, alListenerf, (ALenum, ALfloat))                                                          \
  X(void, alListener3f, (ALenum, ALfloat, ALfloat, ALfloat))                                       \
  X(void, alListenerfv, (ALenum, const ALfloat*))                                                  \
  X(void, alListeneri, (ALenum, ALint))                                                            \
  X(void, alListener3i, (ALenum, ALint, ALint, ALint))                                             \
  X(void, alListeneriv, (ALenum, const ALint*))                                                    \
  X(void, alGetListenerf, (ALenum, ALfloat*))                                                      \
  X(void, alGetListener3f, (ALenum, ALfloat*, ALfloat*, ALfloat*))                                 \
  X(void, alGetListenerfv, (ALenum, ALfloat*))                                                     \
  X(void, alGetListeneri, (ALenum, ALint*))                                                        \
  X(void, alGetListener3i, (ALenum, ALint*, ALint*, ALint*))                                       \
  X(void, alGetListeneriv, (ALenum, ALint*))                                                       \
  X(void, alGenSources, (ALsizei, ALuint*))                                                        \
  X(void, alDeleteSources, (ALsizei, const ALuint*))                                               \
  X(ALboolean, alIsSource, (ALuint))                                                               \
  X(void, alSourcef, (ALuint, ALenum, ALfloat))                                                    \
  X(void, alSource3f, (ALuint, ALenum, ALfloat, ALfloat, ALfloat))                                 \
  X(void, alSourcefv, (ALuint, ALenum, const ALfloat*))                                            \
  X(void, alSourcei, (ALuint, ALenum, ALint))                                                      \
  X(void, alSource3i, (ALuint, ALenum, ALint, ALint, ALint))                                       \
  X(void, alSourceiv, (ALuint, ALenum, const ALint*))                                              \
  X(void, alGetSourcef, (ALuint, ALenum, ALfloat*))                                                \
  X(void, alGetSource3f, (ALuint, ALenum, ALfloat*, ALfloat*, ALfloat*))                           \
  X(void, alGetSourcefv, (ALuint, ALenum, ALfloat*))                                               \
  X(void, alGetSourcei, (ALuint, ALenum, ALint*))                                                  \
  X(void, alGetSource3i, (ALuint, ALenum, ALint*, ALint*, ALint*))                                 \
  X(void, alGetSourceiv, (ALuint, ALenum, ALint*))                                                 \
  X(void, alSourcePlayv, (ALsizei, const ALuint*))                                                 \
  X(void, alSourceStopv, (ALsizei, const ALuint*))                                                 \
  X(void, alSourceRewindv, (ALsizei, const ALuint*))                                               \
  X(void, alSourcePausev, (ALsizei, const ALuint*))                                                \
  X(void, alSourcePlay, (ALuint))                                                                  \
  X(void, alSourceStop, (ALuint))                                                                  \
  X(void, alSourceRewind, (ALuint))                                                                \
  X(void, alSourcePause, (ALuint))                                                                 \
  X(void, alSourceQueueBuffers, (ALuint, ALsizei, const ALuint*))                                  \
  X(void, alSourceUnqueueBuffers, (ALuint, ALsizei, ALuint*))                                      \
  X(void, alGenBuffers, (ALsizei, ALuint*))                                                        \
  X(void, alDeleteBuffers, (ALsizei, const ALuint*))                                               \
  X(ALboolean, alIsBuffer, (ALuint))                                                               \
  X(void, alBufferData, (ALuint, ALenum, const ALvoid*, ALsizei, ALsizei))                         \
  X(void, alBufferf, (ALuint, ALenum, ALfloat))                                                    \
  X(void, alBuffer3f, (ALuint, ALenum, ALfloat, ALfloat, ALfloat))                                 \
  X(void, alBufferfv, (ALuint, ALenum, const ALfloat*))                                            \
  X(void, alBufferi, (ALuint, ALenum, ALint))                                                      \
  X(void, alBuffer3i, (ALuint, ALenum, ALint, ALint, ALint))                                       \
  X(void, alBufferiv, (ALuint, ALenum, const ALint*))                                              \
  X(void, alGetBufferf, (ALuint, ALenum, ALfloat*))                                                \
  X(void, alGetBuffer3f, (ALuint, ALenum, ALfloat*, ALfloat*, ALfloat*))                           \
  X(void, alGetBufferfv, (ALuint, ALenum, ALfloat*))                                               \
  X(void, alGetBufferi, (ALuint, ALenum, ALint*))                                                  \
  X(void, alGetBuffer3i, (ALuint, ALenum, ALint*, ALint*, ALint*))                                 \
  X(void, alGetBufferiv, (ALuint, ALenum, ALint*))                                                 \
  X(void, alDopplerFactor, (ALfloat))                                                              \
  X(void, alDopplerVelocity, (ALfloat))                                                            \
  X(void, alSpeedOfSound, (ALfloat))                                                               \
  X(void, alDistanceModel, (ALenum))                                                               \
  X(ALCcontext*, alcCreateContext, (ALCdevice*, const ALCint*))                                    \
  X(ALCboolean, alcMakeContextCurrent, (ALCcontext*))                                              \
  X(void, alcProcessContext, (ALCcontext*))                                                        \
  X(void, alcSuspendContext, (ALCcontext*))                                                        \
  X(void, alcDestroyContext, (ALCcontext*))                                                        \
  X(ALCcontext*, alcGetCurrentContext, ())                                                         \
  X(ALCdevice*, alcGetContextsDevice, (ALCcontext*))                                               \
  X(ALCdevice*, alcOpenDevice, (const ALCchar*))                                                   \
  X(ALCboolean, alcCloseDevice, (ALCdevice*))                                                      \
  X(ALCenum, alcGetError, (ALCdevice*))                                                            \
  X(ALCboolean, alcIsExtensionPresent, (ALCdevice*, const ALCchar*))                               \
  X(void*, alcGetProcAddress, (ALCdevice*, const ALCchar*))                                        \
  X(ALCenum, alcGetEnumValue, (ALCdevice*, const ALCchar*))                                        \
  X(const ALCchar*, alcGetString, (ALCdevice*, ALCenum))                                           \
  X(void, alcGetIntegerv, (ALCdevice*, ALCenum, ALCsizei, ALCint*))                                \
  X(ALCdevice*, alcCaptureOpenDevice, (const ALCchar*, ALCuint, ALCenum, ALCsizei))                \
  X(ALCboolean, alcCaptureCloseDevice, (ALCdevice*))                                               \
  X(void, alcCaptureStart, (ALCdevice*))                                                           \
  X(void, alcCaptureStop, (ALCdevice*))                                                            \
  X(void, alcCaptureSamples, (ALCdevice*, ALCvoid*, ALCsizei))

// The identifier of an EAX property set, laid out as the EAX interface expects it.
struct TEAXGuid {
  std::uint32_t Data1 = 0;
  std::uint16_t Data2 = 0;
  std::uint16_t Data3 = 0;
  std::uint8_t Data4[8] = {};
};

// The entry points of the loaded library; null where the library offers none.
struct TOpenAL {
#define OPENAL_DECLARE_ENTRY(result, name, params) result(*name) params = nullptr;
  OPENAL_ENTRY_POINTS(OPENAL_DECLARE_ENTRY)
#undef OPENAL_DECLARE_ENTRY
  // The EAX extension, found through alGetProcAddress by InitEAX.
  ALenum (*EAXSet)(const TEAXGuid*, ALuint, ALuint, ALvoid*, ALuint) = nullptr;
  ALenum (*EAXGet)(const TEAXGuid*, ALuint, ALuint, ALvoid*, ALuint) = nullptr;
};

// The entry points of the library loaded last (all null before the first successful
// InitOpenAL and after CloseOpenAL).
const TOpenAL& OpenAL();

// Closes the library loaded before, if any, then opens LibName (lazy binding) and resolves
// every entry point: through alGetProcAddress when the library offers it, otherwise, or when
// that answers nothing, directly from the library. False when the library cannot be opened;
// every entry point is then null.
bool InitOpenAL(const std::string& LibName);

// True while a library is loaded.
bool OpenALLoaded();

// Number of entry points InitOpenAL knows by name, and how many of them the loaded library gave.
int OpenALEntryPointCount();
int OpenALResolvedCount();

// Looks up EAXSet and EAXGet through alGetProcAddress; true when both were found. Needs a
// current context on most implementations.
bool InitEAX();

// Unloads the library; every entry point becomes null.
void CloseOpenAL();

// Calls an entry point when it was resolved; a missing one makes the call a no-op.
template <class TFunc, class... TArgs>
void ALCall(TFunc* Func, TArgs... Args) {
  if (Func)
    Func(Args...);
}
