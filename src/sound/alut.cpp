#include "sound/alut.h"

#include <fstream>
#include <stdexcept>
#include <streambuf>

#include "sound/sound.h"
#include "sound/wav_reader.h"

namespace {

// A read-only, seekable stream buffer over a block of memory, so that memory images go through
// the same reader as files.
class TMemoryStreamBuf : public std::streambuf {
public:
  TMemoryStreamBuf(const void* Memory, std::size_t Length) {
    char* begin = const_cast<char*>(static_cast<const char*>(Memory));
    setg(begin, begin, begin + Length);
  }

protected:
  pos_type seekoff(off_type Offset, std::ios_base::seekdir Dir, std::ios_base::openmode) override {
    off_type base = 0;
    if (Dir == std::ios_base::cur)
      base = gptr() - eback();
    else if (Dir == std::ios_base::end)
      base = egptr() - eback();
    return seekpos(base + Offset, std::ios_base::in);
  }
  pos_type seekpos(pos_type Pos, std::ios_base::openmode) override {
    const off_type target = Pos;
    if (target < 0 || target > egptr() - eback())
      return pos_type(off_type(-1));
    setg(eback(), eback() + target, egptr());
    return Pos;
  }
};

} // namespace

bool alutLoadWAVFile(const std::string& FName, ALenum& Format, std::vector<std::uint8_t>& Data,
                     std::uint32_t& Size, std::uint32_t& Freq, ALint& Loop) {
  std::ifstream file(FName, std::ios::binary);
  if (!file)
    throw std::runtime_error("cannot open sound file " + FName);
  return LoadWavStream(file, Format, Data, Size, Freq, Loop);
}

bool alutLoadWAVMemory(const void* Memory, std::size_t Length, ALenum& Format,
                       std::vector<std::uint8_t>& Data, std::uint32_t& Size, std::uint32_t& Freq,
                       ALint& Loop) {
  if (!Memory)
    return false;
  TMemoryStreamBuf buffer(Memory, Length);
  std::istream stream(&buffer);
  return LoadWavStream(stream, Format, Data, Size, Freq, Loop);
}

void alutUnloadWAV(ALenum, std::vector<std::uint8_t>& Data, std::uint32_t, std::uint32_t) {
  std::vector<std::uint8_t>().swap(Data);
}

bool alutInit(int*, char**) {
  const TOpenAL& al = OpenAL();
  if (!al.alcOpenDevice || !al.alcCreateContext || !al.alcMakeContextCurrent)
    return false;
  ALCdevice* device = al.alcOpenDevice(nullptr);
  if (!device)
    return false;
  ALCcontext* context = al.alcCreateContext(device, nullptr);
  if (!context || !al.alcMakeContextCurrent(context)) {
    if (context && al.alcDestroyContext)
      al.alcDestroyContext(context);
    if (al.alcCloseDevice)
      al.alcCloseDevice(device);
    return false;
  }
  SetListenerDefaults();
  return true;
}

void alutExit() {
  const TOpenAL& al = OpenAL();
  if (!al.alcGetCurrentContext || !al.alcGetContextsDevice)
    return;
  ALCcontext* context = al.alcGetCurrentContext();
  if (!context)
    return;
  ALCdevice* device = al.alcGetContextsDevice(context);
  ALCall(al.alcMakeContextCurrent, static_cast<ALCcontext*>(nullptr));
  ALCall(al.alcDestroyContext, context);
  if (device)
    ALCall(al.alcCloseDevice, device);
}
