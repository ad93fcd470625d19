// Test support for the client's connection, parser and screens without a window: a peer that
// plays the lobby server on 127.0.0.1, recording stand-ins for the GUI drawer and the frame
// canvas, and a fixture that runs each test in a scratch folder holding the media it needs.
#pragma once

#include "app/connection.h"
#include "app/desktop_screen.h"
#include "app/event_listener.h"
#include "app/frame_canvas.h"
#include "app/global.h"
#include "app/screens/screens.h"
#include "guidraw/gui_drawer.h"

#include "../support/line_client.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace client_test {

// How long a test waits for something that must happen, and for something that must not.
constexpr int WAIT_MS = 5000;
constexpr int QUIET_MS = 200;

// Calls Condition until it holds or WAIT_MS have passed; answers its last value.
inline bool WaitFor(const std::function<bool()>& Condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(WAIT_MS);
  while (!Condition()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    usleep(1000);
  }
  return true;
}

// One accepted connection, seen from the server's side.
using TPeer = test_support::TLineSocket;

// Sends Bytes from Peer as fast as the connection takes them, Conn taking them in meanwhile
// (without handling any), until Done holds; false when it does not within WAIT_MS.
inline bool Feed(TPeer& Peer, TConnection& Conn, const std::string& Bytes,
                 const std::function<bool()>& Done) {
  std::size_t sent = 0;
  return WaitFor([&] {
    const ssize_t n =
        send(Peer.Fd(), Bytes.data() + sent, Bytes.size() - sent, MSG_DONTWAIT | MSG_NOSIGNAL);
    sent += n > 0 ? static_cast<std::size_t>(n) : 0;
    Conn.Poll();
    return Done();
  });
}

// A listening socket on 127.0.0.1 and a port the system chose.
class TPeerListener {
public:
  TPeerListener() {
    FFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(FFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(FFd, 8) != 0) {
      ADD_FAILURE() << "cannot listen on 127.0.0.1";
      return;
    }
    socklen_t len = sizeof address;
    getsockname(FFd, reinterpret_cast<sockaddr*>(&address), &len);
    FPort = ntohs(address.sin_port);
  }
  ~TPeerListener() { close(FFd); }
  TPeerListener(const TPeerListener&) = delete;
  TPeerListener& operator=(const TPeerListener&) = delete;

  std::uint16_t Port() const { return FPort; }
  // "127.0.0.1:port", as a user types it into the server field.
  std::string Address() const { return "127.0.0.1:" + std::to_string(FPort); }

  // The next connection, or none when nobody connects in time.
  std::unique_ptr<TPeer> Accept() {
    pollfd entry{FFd, POLLIN, 0};
    if (poll(&entry, 1, WAIT_MS) <= 0) {
      return nullptr;
    }
    const int fd = accept4(FFd, nullptr, nullptr, SOCK_CLOEXEC);
    return fd >= 0 ? std::make_unique<TPeer>(fd) : nullptr;
  }

private:
  int FFd = -1;
  std::uint16_t FPort = 0;
};

// What a screen drew in one frame, in order.
struct TFrameLog {
  std::vector<std::string> Calls;
  int Desktops = 0;
};

class TRecordingCanvas : public TFrameCanvas {
public:
  explicit TRecordingCanvas(TFrameLog& Log) : FLog(Log) {}
  void Clear() override { FLog.Calls.push_back("clear"); }
  void BeginOrtho2D() override { FLog.Calls.push_back("ortho"); }
  void DrawImage(const std::string& Texture, int X, int Y, int W, int H) override {
    FLog.Calls.push_back("image " + Texture + " " + std::to_string(X) + " " + std::to_string(Y) +
                         " " + std::to_string(W) + " " + std::to_string(H));
  }
  void EndOrtho2D() override { FLog.Calls.push_back("end"); }
  void Present() override { FLog.Calls.push_back("present"); }

private:
  TFrameLog& FLog;
};

class TRecordingDrawer : public TAbstractGUIDrawer {
public:
  explicit TRecordingDrawer(TFrameLog& Log) : FLog(Log) {}
  void Draw(TUIDesktop&) override {
    ++FLog.Desktops;
    FLog.Calls.push_back("desktop");
  }

private:
  TFrameLog& FLog;
};

// Puts recording stand-ins in place of a screen's drawer and canvas.
inline void RecordFrames(TDesktopScreen& Screen, TFrameLog& Log) {
  Screen.GUIDrawer = std::make_unique<TRecordingDrawer>(Log);
  Screen.Canvas = std::make_unique<TRecordingCanvas>(Log);
}

// A model file with one node and nothing to draw.
inline const char* const EMPTY_MODEL =
    "<MODEL><NAME>m</NAME><NODE><NAME>root</NAME><TEXTURE>nil</TEXTURE>"
    "<POS><X>0</X><Y>0</Y><Z>0</Z></POS><ROT><X>0</X><Y>0</Y><Z>0</Z></ROT>"
    "<SCA><X>1</X><Y>1</Y><Z>1</Z></SCA><COLOR><RED>255</RED><GREEN>255</GREEN><BLUE>255</BLUE>"
    "</COLOR><GRAPHICALELEMENT><TYPE>none</TYPE></GRAPHICALELEMENT></NODE></MODEL>";

// Runs a test in a fresh scratch folder with a media/ folder, and leaves the client's shared
// state (Global, the screens, the current screen) as it found it.
class TClientTest : public ::testing::Test {
protected:
  void SetUp() override {
    FOldDir = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "client-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    FDir = pattern;
    std::filesystem::create_directory(FDir / "media");
    std::filesystem::current_path(FDir);
  }
  void TearDown() override {
    ActiveEvent = nullptr;
    LoginStatus = nullptr;
    ChatStatus = nullptr;
    GameCreationStatus = nullptr;
    GameStatus = nullptr;
    Global = TGlobal{};
    std::filesystem::current_path(FOldDir);
    std::filesystem::remove_all(FDir);
  }

  // Copies the project's own media file Name (for instance "login.ui") into the scratch
  // media folder.
  void UseMedia(const std::string& Name) {
    std::filesystem::copy_file(std::filesystem::path(SOURCE_DIR) / "media" / Name,
                               FDir / "media" / Name,
                               std::filesystem::copy_options::overwrite_existing);
  }
  // Writes a media file with the given content.
  void WriteMedia(const std::string& Name, const std::string& Content) {
    std::ofstream(FDir / "media" / Name, std::ios::binary) << Content;
  }
  void RemoveMedia(const std::string& Name) { std::filesystem::remove(FDir / "media" / Name); }

  std::filesystem::path FDir;

private:
  std::filesystem::path FOldDir;
};

} // namespace client_test
