// viewer: shows a .ui file's widgets or a .model file's model (its animations playing) in a
// client-sized window, drawn by the client's own code, so that media can be checked by eye; or,
// with --match, a match on the battlefield as the game screen shows it, played on this machine.
//
//   viewer [--media DIR] [--frames N [--screenshot OUT.png|OUT.ppm]] FILE.ui|FILE.model
//   viewer [--frames N [--screenshot OUT]] --match [--seats N] [--seat S] [--pace SECONDS]
//          [--overview] [--select ID]
//
// Textures, meshes and models are found by bare name in DIR (default "media/", relative to the
// working directory). --frames N draws N frames and exits (for scripted checks), and with
// --screenshot writes the last of them to an image file (PNG or binary PPM by its ending). In a
// model view: Left/Right turn, Up/Down zoom, N next animation, Space pause; Escape quits. In a
// match the mouse plays seat S (default 0; -1 lets the computer play every seat), the other
// seats' orders come --pace seconds apart (default 0.5); the window edges scroll, Left/Right
// turn, Up/Down raise and lower the camera; --overview starts the camera over the whole field,
// and --select clicks unit ID in the last frame before the screenshot (its tiles lit, its
// targets marked).

#include "match_screen.h"
#include "model_view.h"

#include "image.h"
#include "png_writer.h"

#include "app/desktop_screen.h"
#include "app/event_listener.h"
#include "app/frame_canvas.h"
#include "app/global.h"
#include "app/key_state.h"
#include "app/main_loop.h"
#include "app/prog.h"
#include "app/screen.h"
#include "gfx/media_manager.h"
#include "gfx/model.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int WINDOW_BPP = 24;
constexpr float FAR_CLIP = 500.0f;

struct TOptions {
  std::string Media = "media/";
  long Frames = 0;        // 0: until the window is closed
  std::string Screenshot; // with Frames: where the last frame is written (PNG or binary PPM)
  std::string File;
  bool Match = false;
  TLocalMatchSetup MatchSetup;
  int32_t Select = 0; // a unit to select before the last frame
};

bool EndsWith(const std::string& S, const std::string& Suffix) {
  return S.size() >= Suffix.size() &&
         S.compare(S.size() - Suffix.size(), Suffix.size(), Suffix) == 0;
}

int Usage() {
  std::fprintf(
      stderr,
      "usage: viewer [--media DIR] [--frames N [--screenshot OUT.png|OUT.ppm]] FILE.ui|FILE.model\n"
      "       viewer [--frames N [--screenshot OUT]] --match [--seats N] [--seat S] [--pace "
      "SECONDS]\n");
  return 2;
}

// Writes the finished frame (still in the back buffer) as a PNG image when the name ends in
// ".png", else as a binary PPM image, top row first.
bool WriteScreenshot(const std::string& FileName) {
  std::vector<unsigned char> pixels(static_cast<std::size_t>(CLIENT_WIDTH) * CLIENT_HEIGHT * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, CLIENT_WIDTH, CLIENT_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  if (EndsWith(FileName, ".png")) {
    TImage image(CLIENT_WIDTH, CLIENT_HEIGHT);
    for (int y = 0; y < CLIENT_HEIGHT; ++y) {
      for (int x = 0; x < CLIENT_WIDTH; ++x) {
        const unsigned char* p =
            pixels.data() +
            (static_cast<std::size_t>(CLIENT_HEIGHT - 1 - y) * CLIENT_WIDTH + x) * 3;
        image.Set(x, y, Rgb(p[0], p[1], p[2]));
      }
    }
    try {
      WritePng(FileName, image, 3);
    } catch (const std::exception&) {
      return false;
    }
    return true;
  }
  std::FILE* out = std::fopen(FileName.c_str(), "wb");
  if (out == nullptr) {
    return false;
  }
  std::fprintf(out, "P6\n%d %d\n255\n", CLIENT_WIDTH, CLIENT_HEIGHT);
  const std::size_t row = static_cast<std::size_t>(CLIENT_WIDTH) * 3;
  bool ok = true;
  for (int y = CLIENT_HEIGHT - 1; y >= 0 && ok; --y) {
    ok = std::fwrite(pixels.data() + row * static_cast<std::size_t>(y), 1, row, out) == row;
  }
  return std::fclose(out) == 0 && ok;
}

// The view's own canvas, which on request keeps a copy of the frame just before showing it.
class TScreenshotCanvas : public TFrameCanvas {
public:
  explicit TScreenshotCanvas(std::unique_ptr<TFrameCanvas> Inner) : FInner(std::move(Inner)) {}
  void Clear() override { FInner->Clear(); }
  void BeginOrtho2D() override { FInner->BeginOrtho2D(); }
  void DrawImage(const std::string& T, int X, int Y, int W, int H) override {
    FInner->DrawImage(T, X, Y, W, H);
  }
  void EndOrtho2D() override { FInner->EndOrtho2D(); }
  void Present() override {
    if (!ShotFile.empty()) {
      Written = WriteScreenshot(ShotFile);
      ShotFile.clear();
    }
    FInner->Present();
  }
  // Set to take the next frame.
  std::string ShotFile;
  bool Written = false;

private:
  std::unique_ptr<TFrameCanvas> FInner;
};

int Run(const TOptions& Options) {
  TScreen screen("viewer: " + Options.File, CLIENT_WIDTH, CLIENT_HEIGHT, WINDOW_BPP, false,
                 FAR_CLIP);
  if (!screen.Initialize()) {
    std::fprintf(stderr, "viewer: cannot open a window: %s\n", SDL_GetError());
    return 1;
  }
  TKeyState keys;
  TFileMediaManager man(Options.Media);
  TOpenGLRealtimeLoop loop;
  Global.Screen = &screen;
  Global.KeyState = &keys;
  Global.Man = &man;
  Global.Loop = &loop;
  TProg prog; // only for the client's OpenGL state
  prog.InitGL();

  TModel model;
  std::unique_ptr<TDesktopScreen> view;
  TLocalMatchScreen* match = nullptr;
  if (Options.Match) {
    auto screen = std::make_unique<TLocalMatchScreen>(Options.MatchSetup);
    match = screen.get();
    view = std::move(screen);
  } else if (EndsWith(Options.File, ".model")) {
    if (!model.Load(Options.File, &man)) {
      std::fprintf(stderr, "viewer: cannot open %s\n", Options.File.c_str());
      return 1;
    }
    view = std::make_unique<TModelView>(model);
  } else {
    view = std::make_unique<TDesktopScreen>(Options.File);
  }
  auto canvas = std::make_unique<TScreenshotCanvas>(std::move(view->Canvas));
  TScreenshotCanvas* shots = canvas.get();
  view->Canvas = std::move(canvas);
  ChangeListener(view.get());
  // The frame count lives as long as the loop that counts with it.
  long frames = 0;
  TDesktopScreen* screenView = view.get();
  if (Options.Frames > 0) {
    loop.SetCycleEvent([&] {
      if (frames + 1 == Options.Frames) {
        shots->ShotFile = Options.Screenshot;
        if (match != nullptr && Options.Select != 0) {
          match->Select(Options.Select);
        }
      }
      screenView->DoLoop();
      if (++frames >= Options.Frames) {
        loop.StopLoop();
      }
    });
  }
  loop.StartLoop();
  if (!Options.Screenshot.empty() && !shots->Written) {
    std::fprintf(stderr, "viewer: cannot write %s\n", Options.Screenshot.c_str());
    return 1;
  }
  view.reset();
  Global = TGlobal{};
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  TOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--media" && i + 1 < argc) {
      options.Media = argv[++i];
      if (!options.Media.empty() && options.Media.back() != '/') {
        options.Media += '/';
      }
    } else if (arg == "--frames" && i + 1 < argc) {
      options.Frames = std::strtol(argv[++i], nullptr, 10);
    } else if (arg == "--screenshot" && i + 1 < argc) {
      options.Screenshot = argv[++i];
    } else if (arg == "--match") {
      options.Match = true;
    } else if (arg == "--seats" && i + 1 < argc) {
      options.MatchSetup.Seats = static_cast<int32_t>(std::strtol(argv[++i], nullptr, 10));
    } else if (arg == "--seat" && i + 1 < argc) {
      options.MatchSetup.PlayerSeat = static_cast<int32_t>(std::strtol(argv[++i], nullptr, 10));
    } else if (arg == "--overview") {
      options.MatchSetup.Overview = true;
    } else if (arg == "--select" && i + 1 < argc) {
      options.Select = static_cast<int32_t>(std::strtol(argv[++i], nullptr, 10));
    } else if (arg == "--pace" && i + 1 < argc) {
      options.MatchSetup.ComputerPace = std::strtod(argv[++i], nullptr);
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage();
    } else if (options.File.empty()) {
      options.File = arg;
    } else {
      return Usage();
    }
  }
  if (options.Match ? !options.File.empty()
                    : (options.File.empty() ||
                       !(EndsWith(options.File, ".ui") || EndsWith(options.File, ".model")))) {
    return Usage();
  }
  if (options.Match && options.File.empty()) {
    options.File = "match";
  }
  try {
    return Run(options);
  } catch (const std::exception& E) {
    std::fprintf(stderr, "viewer: %s\n", E.what());
    return 1;
  }
}
