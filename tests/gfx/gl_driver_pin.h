// Keeps the OpenGL driver loaded until the process ends. Mesa unloads its driver when the
// window closes; the leak checker, which runs at exit, then sees the driver's own allocations
// in an unnamed module and cannot match them against tools/lsan.supp. Pinned, they are named
// and suppressed like the rest of the system libraries.
#pragma once

#include <dlfcn.h>
#include <link.h>

#include <cstring>

inline void KeepGLDriverLoaded() {
  dl_iterate_phdr(
      [](dl_phdr_info* Info, std::size_t, void*) {
        const char* name = Info->dlpi_name;
        if (name && (std::strstr(name, "_dri.so") || std::strstr(name, "libgallium")))
          dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        return 0;
      },
      nullptr);
}
