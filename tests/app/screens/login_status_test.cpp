#include "app/message_parser.h"
#include "net/message.h"
#include "screens_fixture.h"

#include <gtest/gtest.h>

using namespace client_test;

namespace {

using LoginStatusTest = TScreensTest;

TEST_F(LoginStatusTest, StartsEmptyWithLocalhost) {
  BuildScreens();
  EXPECT_TRUE(FLogin->Active);
  EXPECT_EQ(ActiveEvent, LoginStatus);
  ASSERT_NE(FLogin->ServerEdit, nullptr);
  EXPECT_EQ(FLogin->ServerEdit->FText, "localhost");
  ASSERT_NE(FLogin->PassEdit, nullptr);
  EXPECT_TRUE(FLogin->PassEdit->FMask);
  EXPECT_FALSE(FConn.Connected());
}

// OK connects to the typed host and port, sends L with user and password, empties only the
// password; the server's acceptance opens the lobby with the own name listed.
TEST_F(LoginStatusTest, AcceptedLoginOpensTheLobby) {
  BuildScreens();
  auto peer = PressOk(FListener.Address(), "anna", "secret");
  ASSERT_NE(peer, nullptr);
  EXPECT_EQ(peer->ReadLine(), "L|anna|secret");
  EXPECT_EQ(FLogin->PassEdit->FText, "");
  EXPECT_EQ(FLogin->UserEdit->FText, "anna");
  EXPECT_EQ(FLogin->ServerEdit->FText, FListener.Address());
  EXPECT_TRUE(Errors(*FLogin->Desktop).empty());

  FChat->UserList->FStrings = {"stale"};
  testing::internal::CaptureStdout();
  Deliver(*peer, {"O|anna", "U|bob", "G|101|Evening match|forest|10|bob"});
  Frame();
  EXPECT_TRUE(FChat->Active);
  EXPECT_FALSE(FLogin->Active);
  EXPECT_EQ(Global.UserName, "anna");
  EXPECT_EQ(FChat->UserList->FStrings, (std::vector<std::string>{"anna", "bob"}))
      << "the whole burst in one frame";
  EXPECT_EQ(FChat->GameList->FStrings,
            (std::vector<std::string>{"101 Evening match  MAP: forest POINTS: 10 USER: bob"}));
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "received O|anna\nreceived U|bob\nreceived G|101|Evening match|forest|10|bob\n");
}

TEST_F(LoginStatusTest, RefusedLoginClosesAndShowsTheReason) {
  BuildScreens();
  auto peer = PressOk(FListener.Address(), "Sam", "pw");
  ASSERT_NE(peer, nullptr);
  EXPECT_EQ(peer->ReadLine(), "L|Sam|pw");
  testing::internal::CaptureStdout();
  Deliver(*peer, {"N|Invalid user/pass"});
  Frame();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "received N|Invalid user/pass\n");
  EXPECT_TRUE(FLogin->Active);
  EXPECT_FALSE(FConn.Connected());
  EXPECT_TRUE(peer->WaitClosed());
  EXPECT_EQ(Errors(*FLogin->Desktop),
            (std::vector<std::string>{"Access denied: Invalid user/pass"}));

  // The next OK opens a new connection.
  auto again = PressOk(FListener.Address(), "anna", "pw");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->ReadLine(), "L|anna|pw");
}

// A server that drops the connection before answering: the user is told, and may try again.
TEST_F(LoginStatusTest, ConnectionLostBeforeTheAnswerIsShown) {
  BuildScreens();
  auto peer = PressOk(FListener.Address(), "anna", "pw");
  ASSERT_NE(peer, nullptr);
  peer->Close();
  ASSERT_TRUE(WaitFor([&] {
    Frame();
    return !Errors(*FLogin->Desktop).empty();
  }));
  Frame();
  EXPECT_EQ(Errors(*FLogin->Desktop), (std::vector<std::string>{"Connection to server lost."}));
  EXPECT_FALSE(FConn.Connected());
  EXPECT_TRUE(FLogin->Active);
  auto again = PressOk(FListener.Address(), "anna", "pw");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->ReadLine(), "L|anna|pw");
}

// An empty user name still sends the login; its empty parameter vanishes on the server's
// side, which refuses it.
TEST_F(LoginStatusTest, EmptyUserNameIsSentAndRefused) {
  BuildScreens();
  auto peer = PressOk(FListener.Address(), "", "pw");
  ASSERT_NE(peer, nullptr);
  EXPECT_EQ(peer->ReadLine(), "L||pw");
  Deliver(*peer, {"N|Enter user and passwd."});
  testing::internal::CaptureStdout();
  Frame();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(Errors(*FLogin->Desktop),
            (std::vector<std::string>{"Access denied: Enter user and passwd."}));
}

TEST_F(LoginStatusTest, UnreachableServerShowsConnectionError) {
  BuildScreens();
  std::string closed;
  {
    TPeerListener gone;
    closed = gone.Address();
  }
  for (const std::string& server : {closed, std::string("127.0.0.1:notaport"), std::string()}) {
    FLogin->ServerEdit->FText = server;
    FLogin->UserEdit->FText = "anna";
    FLogin->PassEdit->FText = "pw";
    FLogin->OnOkClick(nullptr);
    EXPECT_FALSE(FConn.Connected()) << server;
    EXPECT_EQ(FLogin->PassEdit->FText, "pw") << "a failed connect keeps the password";
  }
  EXPECT_EQ(Errors(*FLogin->Desktop),
            (std::vector<std::string>(3, "Could not connect to server.")));
  EXPECT_EQ(FLogin->Desktop->FCurrentModal, 3);
}

// Coming back from the lobby logs out: Q, then the connection closes. Coming back without a
// connection sends nothing.
TEST_F(LoginStatusTest, EnteringWhileConnectedSendsQuit) {
  BuildScreens();
  auto peer = LogIn();
  ASSERT_NE(peer, nullptr);
  FChat->OnQuitClick(nullptr);
  EXPECT_TRUE(FLogin->Active);
  EXPECT_FALSE(FConn.Connected());
  EXPECT_EQ(peer->ReadLine(), "Q|");
  EXPECT_TRUE(peer->WaitClosed());

  ChangeListener(LoginStatus); // nothing to close, nothing sent
  EXPECT_FALSE(FConn.Connected());
  EXPECT_TRUE(Errors(*FLogin->Desktop).empty());
}

// On the login screen only: O and N are login answers, anything unknown is reported.
TEST_F(LoginStatusTest, UnexpectedMessagesAreReported) {
  BuildScreens();
  const struct {
    const char* Line;
    bool Recognised;
    const char* Output;
  } cases[] = {
      {"H|101", true, "received H|101\n"},
      {"Z", false, "received Z\nUnexpected message\n"},
      {"|x", false, "received |x\nUnexpected message\n"},
      {"F|", true, "received F|\n"},
      {"", true, "received \n"},
  };
  auto peer = PressOk(FListener.Address(), "anna", "pw");
  ASSERT_NE(peer, nullptr);
  for (const auto& c : cases) {
    Deliver(*peer, {c.Line});
    testing::internal::CaptureStdout();
    Frame();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.Output) << c.Line;
    EXPECT_TRUE(FLogin->Active);
    if (*c.Line != '\0') {
      testing::internal::CaptureStdout();
      EXPECT_EQ(Parse(TMsg(c.Line)), c.Recognised) << c.Line;
      testing::internal::GetCapturedStdout();
    }
  }
}

TEST_F(LoginStatusTest, ExitAndEscapeStopTheProgram) {
  BuildScreens();
  FLoop.FDone = false;
  FLogin->OnExitClick(nullptr);
  EXPECT_TRUE(FLoop.FDone);

  FLoop.FDone = false;
  FLogin->Desktop->AddModal(std::make_unique<TUIErrorWindow>("shown"));
  FLogin->KeyDownEvent(Key(SDLK_ESCAPE, 27));
  EXPECT_TRUE(FLoop.FDone) << "Escape ends the program even under an error window";
}

// Typed characters reach the focused edit; keys that type nothing still reach the key state.
TEST_F(LoginStatusTest, KeysReachFocusedEditAndKeyState) {
  BuildScreens();
  FLogin->UserEdit->Focus();
  FLogin->KeyDownEvent(Key(SDLK_a, 'a'));
  FLogin->KeyDownEvent(Key(SDLK_b, 'B'));
  FLogin->KeyDownEvent(Key(SDLK_LSHIFT));
  EXPECT_EQ(FLogin->UserEdit->FText, "aB");
  EXPECT_TRUE(FKeys.Shift);
  FLogin->KeyUpEvent(Key(SDLK_LSHIFT));
  EXPECT_FALSE(FKeys.Shift);
  ChangeListener(LoginStatus);
  EXPECT_EQ(FLogin->Desktop->FFocused, nullptr) << "entering resets the focus";
}

// Each frame: background, desktop, pointer at the mouse, in that order, inside the 2D pass.
TEST_F(LoginStatusTest, FrameDrawsBackgroundDesktopAndPointer) {
  BuildScreens();
  SDL_MouseMotionEvent move{};
  move.x = 123;
  move.y = 45;
  FLogin->MouseMoveEvent(move);
  EXPECT_EQ(Global.MX, 123);
  EXPECT_EQ(Global.MY, 45);
  FFrames.Calls.clear();
  Frame();
  EXPECT_EQ(FFrames.Calls,
            (std::vector<std::string>{"clear", "ortho", "image background 0 0 800 600", "desktop",
                                      "image pointer 123 45 64 64", "end", "present"}));
}

// A login.ui without some of the widgets still gives a working screen.
TEST_F(LoginStatusTest, MissingWidgetsLeaveHandlersUnattached) {
  WriteMedia("login.ui", "<ui><EDIT name=\"ServerEdit\"><TEXT>localhost</TEXT></EDIT></ui>");
  BuildScreens();
  EXPECT_NE(FLogin->ServerEdit, nullptr);
  EXPECT_EQ(FLogin->UserEdit, nullptr);
  EXPECT_EQ(FLogin->PassEdit, nullptr);
  FLogin->ServerEdit->FText = FListener.Address();
  FLogin->OnOkClick(nullptr);
  auto peer = FListener.Accept();
  ASSERT_NE(peer, nullptr);
  EXPECT_EQ(peer->ReadLine(), "R|play|1");
  EXPECT_EQ(peer->ReadLine(), "L||");
  Frame();
}

// A .ui file that is missing or broken ends start-up with an error naming the file.
TEST_F(LoginStatusTest, MissingOrBrokenUIFileNamesTheFile) {
  RemoveMedia("login.ui");
  try {
    TLoginStatus screen;
    ADD_FAILURE() << "no error for a missing file";
  } catch (const std::exception& E) {
    EXPECT_NE(std::string(E.what()).find("media/login.ui"), std::string::npos) << E.what();
  }
  WriteMedia("login.ui", "<ui><WINDOW><LEFT>1</LEFT></ui>");
  try {
    TLoginStatus screen;
    ADD_FAILURE() << "no error for a broken file";
  } catch (const std::exception& E) {
    EXPECT_NE(std::string(E.what()).find("media/login.ui"), std::string::npos) << E.what();
  }
}

} // namespace
