// A client with its login, lobby and game creation screens built from the project's .ui files
// and drawn by recording stand-ins, its connection pointed at a peer on 127.0.0.1: the whole
// client short of the window.
#pragma once

#include "../client_fixture.h"
#include "app/key_state.h"
#include "app/lobby_state.h"
#include "app/main_loop.h"
#include "app/screens/chat_status.h"
#include "app/screens/game_creation_status.h"
#include "app/screens/login_status.h"
#include "gui/desktop.h"
#include "gui/edit.h"
#include "gui/error_window.h"
#include "gui/label.h"
#include "gui/list.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace client_test {

class TScreensTest : public TClientTest {
protected:
  void SetUp() override {
    TClientTest::SetUp();
    for (const char* name : {"login.ui", "chat.ui", "creategame.ui", "gamecreation.ui"}) {
      UseMedia(name);
    }
    Global.KeyState = &FKeys;
    Global.Loop = &FLoop;
    Global.Conn = &FConn;
    Global.Lobby = &FLobby;
  }

  // Builds the three screens (after a test has changed the media it wants) and makes the login
  // screen current, as start-up does.
  void BuildScreens() {
    FLogin = std::make_unique<TLoginStatus>();
    FChat = std::make_unique<TChatStatus>();
    FCreation = std::make_unique<TGameCreationStatus>();
    LoginStatus = FLogin.get();
    ChatStatus = FChat.get();
    GameCreationStatus = FCreation.get();
    RecordFrames(*FLogin, FFrames);
    RecordFrames(*FChat, FFrames);
    RecordFrames(*FCreation, FFrames);
    ChangeListener(LoginStatus);
  }

  void TearDown() override {
    ActiveEvent = nullptr;
    FCreation.reset();
    FChat.reset();
    FLogin.reset();
    TClientTest::TearDown();
  }

  // One frame of whichever screen is current.
  void Frame() { ActiveEvent->DoLoop(); }

  // Presses OK with these fields and answers the server side of the new connection, whose
  // first line, the request for matches, it has read.
  std::unique_ptr<TPeer> PressOk(const std::string& Server, const std::string& User,
                                 const std::string& Pass) {
    FLogin->ServerEdit->FText = Server;
    FLogin->UserEdit->FText = User;
    FLogin->PassEdit->FText = Pass;
    FLogin->OnOkClick(nullptr);
    auto peer = FListener.Accept();
    if (peer != nullptr) {
      EXPECT_EQ(peer->ReadLine(), "R|play|1");
    }
    return peer;
  }

  // Logs "anna" in: OK, the login line, the server's acceptance, one frame.
  std::unique_ptr<TPeer> LogIn(const std::string& Name = "anna") {
    auto peer = PressOk(FListener.Address(), Name, "secret");
    EXPECT_NE(peer, nullptr);
    if (peer == nullptr) {
      return peer;
    }
    EXPECT_EQ(peer->ReadLine(), "L|" + Name + "|secret");
    peer->SendLine("O|" + Name);
    EXPECT_TRUE(WaitFor([&] { return FConn.LinesWaiting() > 0 || FConn.DataAvaiable(); }));
    Frame();
    EXPECT_TRUE(FChat->Active);
    return peer;
  }

  // Sends Lines from the peer as fast as the connection takes them and waits until the client
  // has taken them all in (without handling any).
  void Deliver(TPeer& Peer, const std::vector<std::string>& Lines) {
    const std::size_t before = FConn.LinesWaiting();
    std::string bytes;
    for (const auto& line : Lines) {
      bytes += line;
      bytes += '\0';
    }
    ASSERT_TRUE(
        Feed(Peer, FConn, bytes, [&] { return FConn.LinesWaiting() >= before + Lines.size(); }));
  }

  // Logs Name in, the server answering with Answer (by default: matches offered, login
  // accepted).
  std::unique_ptr<TPeer> LogInWith(const std::string& Name, std::vector<std::string> Answer = {}) {
    if (Answer.empty()) {
      Answer = {"F|play|1", "O|" + Name};
    }
    auto peer = PressOk(FListener.Address(), Name, "secret");
    EXPECT_NE(peer, nullptr);
    if (peer != nullptr) {
      EXPECT_EQ(peer->ReadLine(), "L|" + Name + "|secret");
      Receive(*peer, Answer);
    }
    return peer;
  }
  // Delivers Lines and lets frames handle them (a loaded machine may spend a frame's time
  // budget before the last).
  void Receive(TPeer& Peer, const std::vector<std::string>& Lines) {
    Deliver(Peer, Lines);
    testing::internal::CaptureStdout();
    do {
      Frame();
    } while (FConn.LinesWaiting() > 0);
    testing::internal::GetCapturedStdout();
  }
  // The error windows on a desktop, by message.
  static std::vector<std::string> Errors(TUIDesktop& Desktop) {
    std::vector<std::string> out;
    for (int i = 0; i < Desktop.Count(); ++i) {
      if (auto* w = dynamic_cast<TUIErrorWindow*>(Desktop.Get(i))) {
        out.push_back(dynamic_cast<TUILabel*>(w->Get(1))->FCaption);
      }
    }
    return out;
  }

  TKeyState FKeys;
  TOpenGLRealtimeLoop FLoop;
  TConnection FConn;
  TLobbyState FLobby;
  TPeerListener FListener;
  TFrameLog FFrames;
  std::unique_ptr<TLoginStatus> FLogin;
  std::unique_ptr<TChatStatus> FChat;
  std::unique_ptr<TGameCreationStatus> FCreation;
};

// A key press as SDL reports it.
inline SDL_KeyboardEvent Key(SDLKey Sym, Uint16 Unicode = 0) {
  SDL_KeyboardEvent e{};
  e.type = SDL_KEYDOWN;
  e.keysym.sym = Sym;
  e.keysym.unicode = Unicode;
  return e;
}

} // namespace client_test
