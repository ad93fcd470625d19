// Test support for running the real client: a private virtual X display for each client (so
// that no other test's window can take its input or cover it), the client as a child process
// with its standard output read line by line, synthetic mouse and keys through xdotool, and
// screenshots read back from the display and written as PNG files.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

// Xlib's connection type; Xlib itself stays in client_x11.cpp, away from the test macros.
struct _XDisplay;

namespace e2e {

using TClock = std::chrono::steady_clock;

// How long a test waits for something that must happen.
constexpr int WAIT_MS = 15000;

inline void SleepMs(int Ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(Ms));
}

// A child process with extra environment variables, an optional working folder and its
// standard output (and, on request, its standard error) readable line by line. Killed when the
// object goes, if still running.
class TChild {
public:
  TChild(const std::vector<std::string>& Args, const std::map<std::string, std::string>& Env,
         const std::string& WorkDir = "", bool CaptureStdout = true, bool WithStderr = false) {
    int out[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (CaptureStdout) {
      if (pipe2(out, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe failed";
        return;
      }
      posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
      if (WithStderr) {
        posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
      }
    }
    if (!WorkDir.empty()) {
      posix_spawn_file_actions_addchdir_np(&actions, WorkDir.c_str());
    }
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry = *e;
      if (Env.count(entry.substr(0, entry.find('='))) == 0) {
        env.push_back(entry);
      }
    }
    for (const auto& [key, value] : Env) {
      env.push_back(key + "=" + value);
    }
    std::vector<char*> envp;
    for (auto& e : env) {
      envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> args = Args;
    std::vector<char*> argv;
    for (auto& a : args) {
      argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    if (posix_spawnp(&FPid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
      FPid = -1;
      ADD_FAILURE() << "cannot start " << Args[0];
    }
    posix_spawn_file_actions_destroy(&actions);
    if (CaptureStdout) {
      close(out[1]);
      FOut = out[0];
    }
  }
  ~TChild() {
    if (FPid > 0 && !FStatus) {
      kill(FPid, SIGKILL);
      Wait(5000);
    }
    if (FOut >= 0) {
      close(FOut);
    }
  }
  TChild(const TChild&) = delete;
  TChild& operator=(const TChild&) = delete;

  bool Started() const { return FPid > 0; }
  void Signal(int Number) {
    if (FPid > 0 && !FStatus) {
      kill(FPid, Number);
    }
  }

  // The next output line; nothing on time-out or end of output.
  std::optional<std::string> ReadLine(int TimeoutMs = WAIT_MS) {
    const auto deadline = TClock::now() + std::chrono::milliseconds(TimeoutMs);
    for (;;) {
      const std::size_t end = FBuffer.find('\n');
      if (end != std::string::npos) {
        std::string line = FBuffer.substr(0, end);
        FBuffer.erase(0, end + 1);
        FLines.push_back(line);
        return line;
      }
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count();
      pollfd entry{FOut, POLLIN, 0};
      if (FOut < 0 || left <= 0 || poll(&entry, 1, static_cast<int>(left)) <= 0) {
        return std::nullopt;
      }
      char chunk[4096];
      const ssize_t got = read(FOut, chunk, sizeof chunk);
      if (got <= 0) {
        return std::nullopt;
      }
      FBuffer.append(chunk, static_cast<std::size_t>(got));
    }
  }
  // Reads lines until one contains Text; true when it came in time.
  bool WaitForLine(const std::string& Text, int TimeoutMs = WAIT_MS) {
    const auto deadline = TClock::now() + std::chrono::milliseconds(TimeoutMs);
    for (;;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count();
      auto line = ReadLine(static_cast<int>(std::max<long long>(left, 0)));
      if (!line) {
        return false;
      }
      if (line->find(Text) != std::string::npos) {
        return true;
      }
    }
  }
  // Every line read so far.
  const std::vector<std::string>& Lines() const { return FLines; }

  // The exit status; nothing when still running after TimeoutMs; -1 for a signal.
  std::optional<int> Wait(int TimeoutMs = WAIT_MS) {
    const auto deadline = TClock::now() + std::chrono::milliseconds(TimeoutMs);
    while (!FStatus && FPid > 0) {
      int status = 0;
      if (waitpid(FPid, &status, WNOHANG) == FPid) {
        FStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      } else if (TClock::now() > deadline) {
        return std::nullopt;
      } else {
        SleepMs(5);
      }
    }
    return FStatus;
  }

private:
  pid_t FPid = -1;
  int FOut = -1;
  std::string FBuffer;
  std::vector<std::string> FLines;
  std::optional<int> FStatus;
};

// A connection to the X display Name; none when it cannot be opened.
_XDisplay* OpenXDisplay(const std::string& Name);
void CloseXDisplay(_XDisplay* Display);

// A private virtual X display of 800 x 600 pixels, 24 bits deep, reachable only locally.
class TXDisplay {
public:
  TXDisplay() {
    int fds[2];
    if (pipe(fds) != 0) {
      ADD_FAILURE() << "pipe failed";
      return;
    }
    // The server writes the number it chose to this descriptor once it accepts clients.
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args{"Xvfb",      "-displayfd", std::to_string(fds[1]),
                                  "-screen",   "0",          "800x600x24",
                                  "-nolisten", "tcp",        "-noreset"};
    std::vector<char*> argv;
    for (auto& a : args) {
      argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    if (posix_spawnp(&FPid, "Xvfb", &actions, nullptr, argv.data(), environ) != 0) {
      FPid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string number;
    pollfd entry{fds[0], POLLIN, 0};
    const auto deadline = TClock::now() + std::chrono::milliseconds(WAIT_MS);
    while (FPid > 0 && number.find('\n') == std::string::npos && TClock::now() < deadline) {
      if (poll(&entry, 1, 100) > 0) {
        char c[16];
        const ssize_t got = read(fds[0], c, sizeof c);
        if (got <= 0) {
          break;
        }
        number.append(c, static_cast<std::size_t>(got));
      }
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) {
      ADD_FAILURE() << "the virtual X display did not start (is Xvfb installed?)";
      return;
    }
    FName = ":" + number.substr(0, number.find('\n'));
    FDisplay = OpenXDisplay(FName);
    if (FDisplay == nullptr) {
      ADD_FAILURE() << "cannot open display " << FName;
    }
  }
  ~TXDisplay() {
    if (FDisplay != nullptr) {
      CloseXDisplay(FDisplay);
    }
    if (FPid > 0) {
      kill(FPid, SIGTERM);
      for (int i = 0; i < 500 && waitpid(FPid, nullptr, WNOHANG) == 0; ++i) {
        SleepMs(10);
      }
      kill(FPid, SIGKILL);
      waitpid(FPid, nullptr, 0);
    }
  }
  TXDisplay(const TXDisplay&) = delete;
  TXDisplay& operator=(const TXDisplay&) = delete;

  bool Ready() const { return FDisplay != nullptr; }
  // The display name for DISPLAY, such as ":3".
  const std::string& Name() const { return FName; }
  _XDisplay* Connection() const { return FDisplay; }

private:
  pid_t FPid = -1;
  std::string FName;
  _XDisplay* FDisplay = nullptr;
};

// The screen's pixels, rows from the top.
struct TImage {
  int Width = 0;
  int Height = 0;
  std::vector<unsigned char> RGB;

  struct TPixel {
    int R = 0, G = 0, B = 0;
  };
  TPixel At(int X, int Y) const {
    const std::size_t i = (static_cast<std::size_t>(Y) * Width + X) * 3;
    return {RGB[i], RGB[i + 1], RGB[i + 2]};
  }
  // How many pixels of the rectangle differ from Other's by more than a little.
  int Differences(const TImage& Other, int X, int Y, int W, int H) const {
    int count = 0;
    for (int y = Y; y < Y + H; ++y) {
      for (int x = X; x < X + W; ++x) {
        const TPixel a = At(x, y);
        const TPixel b = Other.At(x, y);
        if (std::abs(a.R - b.R) + std::abs(a.G - b.G) + std::abs(a.B - b.B) > 24) {
          ++count;
        }
      }
    }
    return count;
  }
  // How many pixels of the rectangle are not black.
  int Lit(int X, int Y, int W, int H) const {
    int count = 0;
    for (int y = Y; y < Y + H; ++y) {
      for (int x = X; x < X + W; ++x) {
        const TPixel p = At(x, y);
        if (p.R + p.G + p.B > 24) {
          ++count;
        }
      }
    }
    return count;
  }

  // The mean colour of the rectangle.
  TPixel Mean(int X, int Y, int W, int H) const {
    long r = 0, g = 0, b = 0;
    for (int y = Y; y < Y + H; ++y) {
      for (int x = X; x < X + W; ++x) {
        const TPixel p = At(x, y);
        r += p.R;
        g += p.G;
        b += p.B;
      }
    }
    const long n = std::max(1L, static_cast<long>(W) * H);
    return {static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n)};
  }
  // How many pixels of the rectangle are far from Colour (summed channel distance over 90).
  int Unlike(const TPixel& Colour, int X, int Y, int W, int H) const {
    int count = 0;
    for (int y = Y; y < Y + H; ++y) {
      for (int x = X; x < X + W; ++x) {
        const TPixel p = At(x, y);
        if (std::abs(p.R - Colour.R) + std::abs(p.G - Colour.G) + std::abs(p.B - Colour.B) > 90) {
          ++count;
        }
      }
    }
    return count;
  }

  bool SavePNG(const std::string& FileName) const {
    FILE* file = std::fopen(FileName.c_str(), "wb");
    if (file == nullptr) {
      return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
      png_destroy_write_struct(&png, &info);
      std::fclose(file);
      return false;
    }
    png_init_io(png, file);
    // The pictures end up in the repository's docs: spend time to make them small.
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, Width, Height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < Height; ++y) {
      png_write_row(png, RGB.data() + static_cast<std::size_t>(y) * Width * 3);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
  }
};

// The whole screen of Display as it is now (empty when it cannot be read).
TImage Screenshot(const TXDisplay& Display);

// Takes screenshots until Condition holds for one (answered) or WAIT_MS have passed (the last
// one is answered; the caller's check then fails on it).
inline TImage WaitForScreen(const TXDisplay& Display,
                            const std::function<bool(const TImage&)>& Condition) {
  const auto deadline = TClock::now() + std::chrono::milliseconds(WAIT_MS);
  TImage image = Screenshot(Display);
  while (!Condition(image) && TClock::now() < deadline) {
    SleepMs(50);
    image = Screenshot(Display);
  }
  return image;
}

// Runs xdotool with Args on Display; true when it succeeded in time.
inline bool XDoTool(const TXDisplay& Display, const std::vector<std::string>& Args) {
  std::vector<std::string> argv{"xdotool"};
  argv.insert(argv.end(), Args.begin(), Args.end());
  TChild tool(argv, {{"DISPLAY", Display.Name()}}, "", false);
  const auto status = tool.Wait(WAIT_MS);
  return status && *status == 0;
}

inline bool Click(const TXDisplay& Display, int X, int Y) {
  // Moving first, then clicking once the move has arrived, is what a hand does.
  return XDoTool(Display, {"mousemove", std::to_string(X), std::to_string(Y)}) &&
         XDoTool(Display, {"click", "1"});
}
inline bool Type(const TXDisplay& Display, const std::string& Text) {
  return XDoTool(Display, {"type", "--delay", "20", Text});
}
inline bool Key(const TXDisplay& Display, const std::string& Name, int Times = 1) {
  std::vector<std::string> args{"key", "--delay", "20"};
  for (int i = 0; i < Times; ++i) {
    args.push_back(Name);
  }
  return XDoTool(Display, args);
}

// Where the screenshots of a test run go: the build tree's e2e-screens folder.
inline std::string ScreenshotPath(const std::string& Name) {
  const std::filesystem::path dir = std::filesystem::path(BINARY_DIR) / "e2e-screens";
  std::filesystem::create_directories(dir);
  return (dir / Name).string();
}

// The client on Display, started in the project's folder (it reads media/ from there).
// WithStderr: its error output is read with its standard output.
inline std::unique_ptr<TChild> StartClient(const TXDisplay& Display,
                                           const std::vector<std::string>& Args = {},
                                           const std::string& WorkDir = SOURCE_DIR,
                                           bool WithStderr = false) {
  std::vector<std::string> argv{BINARY_DIR "/client"};
  argv.insert(argv.end(), Args.begin(), Args.end());
  // In a sanitizer build, Mesa's software driver leaks a few blocks and is unloaded before the
  // leak check, which then cannot tell whose they are. The client's own objects are checked
  // for leaks by the tests without a window; here every other check stays on.
  const char* asan = std::getenv("ASAN_OPTIONS");
  const std::string asanOptions = std::string(asan != nullptr ? asan : "") + ":detect_leaks=0";
  return std::make_unique<TChild>(argv,
                                  std::map<std::string, std::string>{
                                      {"DISPLAY", Display.Name()},
                                      {"LIBGL_ALWAYS_SOFTWARE", "1"},
                                      {"SDL_AUDIODRIVER", "dummy"},
                                      {"SDL_VIDEODRIVER", "x11"},
                                      {"ASAN_OPTIONS", asanOptions},
                                  },
                                  WorkDir, true, WithStderr);
}

} // namespace e2e
