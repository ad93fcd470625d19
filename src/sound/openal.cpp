#include "sound/openal.h"

#include <dlfcn.h>

namespace {

// The one loaded library and its entry points; the sound layer has exactly one binding.
struct TOpenALLibrary {
  void* Handle = nullptr;
  TOpenAL Api;
  int Resolved = 0;
};

TOpenALLibrary& Library() {
  static TOpenALLibrary library;
  return library;
}

// Converts a symbol address to a function pointer of the entry's type.
template <class TFunc>
void Assign(TFunc*& Target, void* Address) {
  Target = reinterpret_cast<TFunc*>(Address);
}

} // namespace

const TOpenAL& OpenAL() {
  return Library().Api;
}

bool OpenALLoaded() {
  return Library().Handle != nullptr;
}

int OpenALEntryPointCount() {
  int count = 0;
#define OPENAL_COUNT_ENTRY(result, name, params) ++count;
  OPENAL_ENTRY_POINTS(OPENAL_COUNT_ENTRY)
#undef OPENAL_COUNT_ENTRY
  return count;
}

int OpenALResolvedCount() {
  return Library().Resolved;
}

void CloseOpenAL() {
  TOpenALLibrary& lib = Library();
  if (lib.Handle)
    dlclose(lib.Handle);
  lib.Handle = nullptr;
  lib.Api = TOpenAL{};
  lib.Resolved = 0;
}

bool InitOpenAL(const std::string& LibName) {
  CloseOpenAL();
  TOpenALLibrary& lib = Library();
  void* handle = dlopen(LibName.c_str(), RTLD_LAZY);
  if (!handle)
    return false;
  lib.Handle = handle;
  using TGetProc = void* (*)(const ALchar*);
  auto getProc = reinterpret_cast<TGetProc>(dlsym(handle, "alGetProcAddress"));
  auto resolve = [&](const char* name) -> void* {
    void* address = getProc ? getProc(name) : nullptr;
    if (!address)
      address = dlsym(handle, name);
    if (address)
      ++lib.Resolved;
    return address;
  };
#define OPENAL_RESOLVE_ENTRY(result, name, params) Assign(lib.Api.name, resolve(#name));
  OPENAL_ENTRY_POINTS(OPENAL_RESOLVE_ENTRY)
#undef OPENAL_RESOLVE_ENTRY
  return true;
}

bool InitEAX() {
  TOpenALLibrary& lib = Library();
  lib.Api.EAXSet = nullptr;
  lib.Api.EAXGet = nullptr;
  if (!lib.Api.alGetProcAddress)
    return false;
  Assign(lib.Api.EAXSet, lib.Api.alGetProcAddress("EAXSet"));
  Assign(lib.Api.EAXGet, lib.Api.alGetProcAddress("EAXGet"));
  return lib.Api.EAXSet && lib.Api.EAXGet;
}
