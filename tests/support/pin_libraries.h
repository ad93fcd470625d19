#pragma once
// Test support for the sanitizer build: closing the last window makes the OpenGL driver unload
// its software renderer, and leaks that the driver keeps are then reported at exit from an
// unknown module, past the suppressions in tools/lsan.supp. Pinning every shared library that
// is loaded while a window is open keeps them mapped, so those reports name the driver again.

#include <dlfcn.h>
#include <link.h>

#include <string>
#include <vector>

inline void PinLoadedLibraries() {
  std::vector<std::string> names;
  dl_iterate_phdr(
      [](dl_phdr_info* Info, size_t, void* Names) {
        if (Info->dlpi_name != nullptr && Info->dlpi_name[0] != '\0') {
          static_cast<std::vector<std::string>*>(Names)->push_back(Info->dlpi_name);
        }
        return 0;
      },
      &names);
  for (const auto& name : names) {
    // RTLD_NOLOAD only takes another reference to what is already loaded; RTLD_NODELETE
    // keeps it mapped for the rest of the process. The reference is kept on purpose.
    dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  }
}

// Opens a window through Screen.Initialize() and pins the libraries it loaded.
template <class TWindow>
bool InitializePinned(TWindow& Screen) {
  if (!Screen.Initialize()) {
    return false;
  }
  PinLoadedLibraries();
  return true;
}
