// Event routing through the desktop: dispatch, focus, raising, dragging, modal levels, enter and
// exit tracking, keys, and widgets destroyed from inside their own handlers.
#include "gui/gui.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A new T placed and sized, not yet in any container.
template <class T>
std::unique_ptr<T> Placed(std::int32_t Left, std::int32_t Top, std::int32_t W, std::int32_t H) {
  auto Widget = std::make_unique<T>();
  Widget->FLeft = Left;
  Widget->FTop = Top;
  Widget->SetWidth(W);
  Widget->SetHeight(H);
  return Widget;
}

template <class T>
T* AddTo(TUIContainer& Parent, std::int32_t Left, std::int32_t Top, std::int32_t W, std::int32_t H,
         const std::string& Name) {
  auto Widget = Placed<T>(Left, Top, W, H);
  Widget->FName = Name;
  T* Raw = Widget.get();
  Parent.Add(std::move(Widget));
  return Raw;
}

// A window for AddModal.
std::unique_ptr<TUIWindow> NewWindow(std::int32_t Left, std::int32_t Top, std::int32_t W,
                                     std::int32_t H, std::int32_t MarginTop = 0) {
  auto Window = Placed<TUIWindow>(Left, Top, W, H);
  Window->FMarginTop = MarginTop;
  return Window;
}

// Records every mouse event a widget's handlers see, as "name:kind:x,y".
struct TLog {
  std::vector<std::string> Lines;

  void Watch(TUIWidget* W) {
    W->FOnMouseDown = [this](TUIWidget* S, std::int32_t X, std::int32_t Y, TMouseButton B) {
      Lines.push_back(S->FName + ":down:" + std::to_string(X) + "," + std::to_string(Y) + "/" +
                      std::to_string(B));
    };
    W->FOnMouseUp = [this](TUIWidget* S, std::int32_t X, std::int32_t Y, TMouseButton) {
      Lines.push_back(S->FName + ":up:" + std::to_string(X) + "," + std::to_string(Y));
    };
    W->FOnMouseMove = [this](TUIWidget* S, std::int32_t X, std::int32_t Y) {
      Lines.push_back(S->FName + ":move:" + std::to_string(X) + "," + std::to_string(Y));
    };
  }
};

// A widget that reports enter, exit and keys.
class TProbe : public TUIWidget {
public:
  std::vector<std::string>* Out = nullptr;
  void DoMouseEnter() override { Out->push_back(FName + ":enter"); }
  void DoMouseExit() override { Out->push_back(FName + ":exit"); }
  void DoKeyPress(char C) override { Out->push_back(FName + ":key:" + std::string(1, C)); }
};

class DesktopTest : public ::testing::Test {
protected:
  TUIDesktop D;
  TLog Log;
};

TEST_F(DesktopTest, PressTravelsDownOneLevelAtATimeInLocalCoordinates) {
  auto* Win = AddTo<TUIWindow>(D, 100, 50, 200, 150, "Win");
  Win->FMarginLeft = 8;
  Win->FMarginTop = 24;
  auto* B = AddTo<TUIWidget>(*Win, 10, 20, 50, 30, "Inner");
  Log.Watch(Win);
  Log.Watch(B);
  D.DoMouseDown(120, 100, mbRight);
  // 120 - 0 - 8 - 100 - 10 = 2; 100 - 24 - 50 - 20 = 6
  ASSERT_EQ(Log.Lines, std::vector<std::string>{"Inner:down:2,6/3"});
  // Over the window's empty client area its own handler gets window coordinates.
  D.DoMouseUp(250, 150, mbRight);
  EXPECT_EQ(Log.Lines.back(), "Win:up:150,100");
  D.DoMouseMove(250, 150);
  EXPECT_EQ(Log.Lines.back(), "Win:move:150,100");
}

TEST_F(DesktopTest, OverEmptyDesktopTheDesktopsOwnHandlerRuns) {
  D.FName = "Desk";
  Log.Watch(&D);
  D.DoMouseDown(5, 6, mbLeft);
  EXPECT_EQ(Log.Lines, std::vector<std::string>{"Desk:down:5,6/1"});
}

TEST_F(DesktopTest, DisabledOrInvisibleWidgetPassesThePressToWhatLiesBelow) {
  auto* Below = AddTo<TUIWidget>(D, 0, 0, 100, 100, "Below");
  auto* Top = AddTo<TUIButton>(D, 0, 0, 100, 100, "Top");
  Log.Watch(Below);
  Top->FEnabled = false;
  D.DoMouseDown(10, 10, mbLeft);
  EXPECT_FALSE(Top->Clicked);
  EXPECT_EQ(Log.Lines.size(), 1u);
  Top->FEnabled = true;
  Top->FVisible = false;
  D.DoMouseDown(10, 10, mbLeft);
  EXPECT_FALSE(Top->Clicked);
  EXPECT_EQ(Log.Lines.size(), 2u);
  Top->FVisible = true;
  D.DoMouseDown(10, 10, mbLeft);
  EXPECT_TRUE(Top->Clicked);
  EXPECT_EQ(Log.Lines.size(), 2u);
}

TEST_F(DesktopTest, FocusMovesToTheDeepestWidgetOnAnyButton) {
  auto* Win = AddTo<TUIWindow>(D, 0, 0, 200, 200, "Win");
  Win->FMarginTop = 20;
  auto* E = AddTo<TUIEdit>(*Win, 0, 0, 100, 30, "Edit");
  for (TMouseButton B : {mbLeft, mbMiddle, mbRight}) {
    D.ResetFocus();
    D.DoMouseDown(10, 30, B);
    EXPECT_EQ(D.FFocused, E) << B;
    EXPECT_TRUE(E->IsFocused());
  }
  // Empty client area of the window: the window itself takes the focus.
  D.DoMouseDown(150, 150, mbRight);
  EXPECT_EQ(D.FFocused, Win);
}

TEST_F(DesktopTest, KeysGoToTheFocusedWidgetOnlyAndNotToTheDesktop) {
  std::vector<std::string> Out;
  auto P = std::make_unique<TProbe>();
  P->Out = &Out;
  P->FName = "P";
  P->FLeft = 0;
  TProbe* Probe = P.get();
  D.Add(std::move(P));
  D.DoKeyPress('a');
  EXPECT_TRUE(Out.empty());
  D.DoMouseDown(10, 10, mbLeft);
  D.DoKeyPress('b');
  EXPECT_EQ(Out, std::vector<std::string>{"P:key:b"});
  // Clicking empty desktop focuses the desktop, which takes no keys.
  D.DoMouseDown(500, 500, mbLeft);
  EXPECT_EQ(D.FFocused, &D);
  D.DoKeyPress('c');
  EXPECT_EQ(Out.size(), 1u);
  Probe->Focus();
  D.DoKeyPress('d');
  EXPECT_EQ(Out.back(), "P:key:d");
}

TEST_F(DesktopTest, KeysDoNotBubbleToParents) {
  auto* Win = AddTo<TUIWindow>(D, 0, 0, 200, 200, "Win");
  auto* E = AddTo<TUIEdit>(*Win, 0, 0, 100, 30, "Edit");
  Win->Focus();
  D.DoKeyPress('x');
  EXPECT_EQ(E->FText, "");
  E->Focus();
  D.DoKeyPress('x');
  EXPECT_EQ(E->FText, "x");
}

TEST_F(DesktopTest, PressRaisesTheWindowForEveryButton) {
  auto* A = AddTo<TUIWindow>(D, 0, 0, 100, 100, "A");
  auto* B = AddTo<TUIWindow>(D, 50, 50, 100, 100, "B");
  Log.Watch(A);
  Log.Watch(B);
  D.DoMouseDown(70, 70, mbRight); // the later-added B wins the overlap
  EXPECT_EQ(Log.Lines.back(), "B:down:20,20/3");
  D.DoMouseDown(10, 10, mbMiddle); // A is raised
  EXPECT_EQ(D.Get(1), A);
  D.DoMouseDown(70, 70, mbRight); // ...and now wins the overlap
  EXPECT_EQ(Log.Lines.back(), "A:down:70,70/3");
}

TEST_F(DesktopTest, LeftPressOnTitleBandDragsTheWindowAndTheReleaseIsConsumed) {
  auto* Win = AddTo<TUIWindow>(D, 100, 100, 200, 150, "Win");
  Win->FMarginTop = 24;
  auto* Title = AddTo<TUIButton>(*Win, 0, -24, 200, 24, "OnTitle"); // lies on the band
  Log.Watch(Win);
  D.DoMouseDown(110, 124, mbLeft); // Y = 24 in the window: still the band (inclusive)
  EXPECT_EQ(D.FMovingWindow, Win);
  EXPECT_EQ(D.FAncX, 10);
  EXPECT_EQ(D.FAncY, 24);
  EXPECT_FALSE(Title->Clicked); // children do not see the press
  D.DoMouseMove(300, 400);
  EXPECT_EQ(Win->FLeft, 290);
  EXPECT_EQ(Win->FTop, 376);
  D.DoMouseMove(-50, -60); // no clamping
  EXPECT_EQ(Win->FLeft, -60);
  EXPECT_EQ(Win->FTop, -84);
  D.DoMouseUp(-50, -60, mbRight); // any button ends the drag
  EXPECT_EQ(D.FMovingWindow, nullptr);
  EXPECT_TRUE(Log.Lines.empty());
  D.DoMouseMove(0, 0);
  EXPECT_EQ(Win->FLeft, -60);
}

TEST_F(DesktopTest, RightPressOnTitleBandIsDispatchedNormally) {
  auto* Win = AddTo<TUIWindow>(D, 100, 100, 200, 150, "Win");
  Win->FMarginTop = 24;
  Log.Watch(Win);
  D.DoMouseDown(110, 110, mbRight);
  EXPECT_EQ(D.FMovingWindow, nullptr);
  EXPECT_EQ(Log.Lines, std::vector<std::string>{"Win:down:10,10/3"});
  D.DoMouseDown(110, 125, mbLeft); // below the band: dispatched, no drag
  EXPECT_EQ(D.FMovingWindow, nullptr);
  EXPECT_EQ(Log.Lines.back(), "Win:down:10,25/1");
}

TEST(DesktopRollable, RightPressOnBandRollsUpAndDownAndLeftPressStartsADrag) {
  TUIDesktop D;
  TLog Log;
  auto* Below = AddTo<TUIWidget>(D, 0, 0, 300, 300, "Below");
  Log.Watch(Below);
  auto* R = AddTo<TUIRollableWindow>(D, 0, 0, 200, 150, "Roll");
  R->FMarginTop = 20;
  EXPECT_EQ(R->GetHeight(), 20); // rolled up
  // Below the band the rolled-up window lets events through.
  D.DoMouseDown(10, 100, mbRight);
  EXPECT_EQ(Log.Lines, std::vector<std::string>{"Below:down:10,100/3"});
  D.DoMouseDown(10, 10, mbRight);
  EXPECT_TRUE(R->FOpen);
  EXPECT_EQ(R->GetHeight(), 150);
  D.DoMouseDown(10, 100, mbRight); // below the band: no toggle, and the window takes it
  EXPECT_TRUE(R->FOpen);
  EXPECT_EQ(Log.Lines.size(), 1u);
  D.DoMouseDown(10, 10, mbLeft);
  EXPECT_TRUE(R->FOpen);
  EXPECT_EQ(D.FMovingWindow, R);
  D.DoMouseUp(10, 10, mbLeft);
  D.DoMouseDown(10, 10, mbRight);
  EXPECT_FALSE(R->FOpen);
}

TEST(DesktopRollable, RightPressGoesToTheChildrenBeforeToggling) {
  TUIRollableWindow R;
  R.FMarginTop = 20;
  R.FOpen = true;
  auto* B = AddTo<TUIWidget>(R, 0, -20, 50, 20, "OnBand");
  bool OpenWhenPressed = false;
  B->FOnMouseDown = [&](TUIWidget*, std::int32_t, std::int32_t, TMouseButton) {
    OpenWhenPressed = R.FOpen;
  };
  R.DoMouseDown(5, 5, mbRight);
  EXPECT_TRUE(OpenWhenPressed);
  EXPECT_FALSE(R.FOpen);
}

TEST_F(DesktopTest, ModalWindowFiltersPressesAndMovesButNotReleasesOrKeys) {
  auto* Plain = AddTo<TUIWindow>(D, 0, 0, 100, 100, "Plain");
  auto* PlainButton = AddTo<TUIButton>(*Plain, 0, 0, 50, 50, "PlainButton");
  auto* E = AddTo<TUIEdit>(*Plain, 60, 60, 30, 30, "Edit");
  E->Focus();
  auto Modal = NewWindow(200, 200, 100, 100);
  Modal->FName = "Modal";
  auto* ModalButton = AddTo<TUIButton>(*Modal, 0, 0, 50, 50, "ModalButton");
  TUIWindow* M = Modal.get();
  EXPECT_EQ(D.AddModal(std::move(Modal)), 1);
  EXPECT_EQ(M->ModalValue, 1);
  EXPECT_EQ(D.FCurrentModal, 1);
  EXPECT_EQ(D.FFocused, nullptr);

  // Presses on the ordinary window or the empty desktop change neither focus nor order.
  D.SetFocus(E);
  Log.Watch(&D);
  D.DoMouseDown(10, 10, mbLeft);
  D.DoMouseDown(500, 500, mbLeft);
  EXPECT_FALSE(PlainButton->Clicked);
  EXPECT_EQ(D.FFocused, E);
  EXPECT_EQ(D.Get(1), M);
  EXPECT_TRUE(Log.Lines.empty());

  // Keys are not filtered.
  D.DoKeyPress('k');
  EXPECT_EQ(E->FText, "k");

  // Moves over widgets inside the modal window are ignored: no exit, no enter, no dispatch.
  TUIWidget* OverBefore = D.FOver;
  ModalButton->Clicked = true;
  D.DoMouseMove(210, 210);
  EXPECT_EQ(D.FOver, OverBefore);
  EXPECT_TRUE(ModalButton->Clicked);
  // ...but a move over the modal window's own background passes.
  D.DoMouseMove(280, 280);
  EXPECT_EQ(D.FOver, M);

  // A press inside the modal window works.
  ModalButton->Clicked = false;
  D.DoMouseDown(210, 210, mbLeft);
  EXPECT_TRUE(ModalButton->Clicked);
  EXPECT_EQ(D.FFocused, ModalButton);

  // Releases reach any widget.
  PlainButton->Clicked = true;
  int Clicks = 0;
  PlainButton->FOnClick = [&](TUIWidget*) { ++Clicks; };
  D.DoMouseUp(10, 10, mbLeft);
  EXPECT_EQ(Clicks, 1);
}

TEST_F(DesktopTest, StackedModalWindowsAndTheirRemoval) {
  auto* Plain = AddTo<TUIWindow>(D, 0, 0, 50, 50, "Plain");
  auto M1 = std::make_unique<TUIWindow>();
  M1->FLeft = 100;
  TUIWindow* First = M1.get();
  D.AddModal(std::move(M1));
  auto M2 = std::make_unique<TUIWindow>();
  M2->FLeft = 300;
  TUIWindow* Second = M2.get();
  D.AddModal(std::move(M2));
  EXPECT_EQ(First->ModalValue, 1);
  EXPECT_EQ(Second->ModalValue, 2);
  EXPECT_EQ(D.FCurrentModal, 2);

  // Only the top level receives presses.
  Log.Watch(First);
  Log.Watch(Second);
  First->FName = "First";
  Second->FName = "Second";
  D.DoMouseDown(110, 10, mbRight);
  EXPECT_TRUE(Log.Lines.empty());
  D.DoMouseDown(310, 10, mbRight);
  EXPECT_EQ(Log.Lines.size(), 1u);

  // Removing an ordinary window leaves the level at the highest remaining one.
  D.Remove(Plain);
  EXPECT_EQ(D.FCurrentModal, 2);
  D.Remove(Second);
  EXPECT_EQ(D.FCurrentModal, 1);
  D.DoMouseDown(110, 10, mbRight);
  EXPECT_EQ(Log.Lines.size(), 2u);
  First->RequestDestroy();
  EXPECT_EQ(D.FCurrentModal, 0);
  EXPECT_EQ(D.Count(), 0);
}

TEST_F(DesktopTest, AddingAWindowWithAModalValueRaisesTheLevel) {
  auto W = std::make_unique<TUIWindow>();
  W->ModalValue = 5;
  D.Add(std::move(W));
  EXPECT_EQ(D.FCurrentModal, 5);
  auto Lower = std::make_unique<TUIWindow>();
  Lower->ModalValue = 3;
  D.Add(std::move(Lower));
  EXPECT_EQ(D.FCurrentModal, 5);
}

TEST_F(DesktopTest, EnterAndExitReachOnlyTheDeepestWidgets) {
  std::vector<std::string> Out;
  auto Win = std::make_unique<TUIWindow>();
  Win->FLeft = 0;
  Win->SetWidth(200);
  Win->SetHeight(200);
  auto P1 = std::make_unique<TProbe>();
  P1->FName = "P1";
  P1->FLeft = 0;
  P1->Out = &Out;
  auto P2 = std::make_unique<TProbe>();
  P2->FName = "P2";
  P2->FLeft = 0;
  P2->FTop = 100;
  P2->Out = &Out;
  TProbe* Second = P2.get();
  Win->Add(std::move(P1));
  Win->Add(std::move(P2));
  TUIWindow* W = Win.get();
  D.Add(std::move(Win));

  D.DoMouseMove(10, 10);
  EXPECT_EQ(Out, std::vector<std::string>{"P1:enter"});
  EXPECT_TRUE(D.IsOverWidget());
  D.DoMouseMove(12, 12); // same widget: nothing new
  EXPECT_EQ(Out.size(), 1u);
  D.DoMouseMove(10, 120);
  EXPECT_EQ(Out, (std::vector<std::string>{"P1:enter", "P1:exit", "P2:enter"}));
  EXPECT_EQ(D.FOver, Second);
  D.DoMouseMove(150, 75); // empty part of the window
  EXPECT_EQ(Out.back(), "P2:exit");
  EXPECT_EQ(D.FOver, W);
  D.DoMouseMove(500, 500);
  EXPECT_EQ(D.FOver, &D);
  EXPECT_FALSE(D.IsOverWidget());
}

TEST_F(DesktopTest, ButtonClicksOnlyWithoutLeavingBetweenPressAndRelease) {
  auto* B = AddTo<TUIButton>(D, 0, 0, 100, 50, "B");
  int Clicks = 0;
  B->FOnClick = [&](TUIWidget* S) {
    EXPECT_EQ(S, B);
    EXPECT_TRUE(B->IsFocused()); // focus moved on the press
    ++Clicks;
  };
  D.DoMouseMove(10, 10);
  D.DoMouseDown(10, 10, mbLeft);
  D.DoMouseUp(10, 10, mbLeft);
  EXPECT_EQ(Clicks, 1);
  // Pressed, left, back and released: no click.
  D.DoMouseDown(10, 10, mbLeft);
  D.DoMouseMove(300, 300);
  D.DoMouseMove(10, 10);
  D.DoMouseUp(10, 10, mbLeft);
  EXPECT_EQ(Clicks, 1);
  // Released elsewhere: no click, and the press is over, so a later release over it is none.
  D.DoMouseDown(10, 10, mbLeft);
  D.DoMouseUp(300, 300, mbLeft);
  EXPECT_FALSE(B->Clicked);
  D.DoMouseUp(10, 10, mbRight);
  EXPECT_EQ(Clicks, 1);
}

// The create-game window as the lobby opens it. Moves over its buttons are filtered out, so a
// button never hears that the pointer left it; the release ends its press instead.
TEST_F(DesktopTest, PressReleasedElsewhereInAModalWindowLeavesNothingPressed) {
  auto Window = NewWindow(200, 200, 300, 200, 30);
  AddTo<TUIEdit>(*Window, 10, 10, 200, 32, "GameNameEdit");                   // 210..410 x 240..272
  auto* Create = AddTo<TUIButton>(*Window, 10, 100, 100, 32, "CreateButton"); // 330..362
  D.AddModal(std::move(Window));
  int Clicks = 0;
  Create->FOnClick = [&](TUIWidget*) { ++Clicks; };

  D.DoMouseDown(250, 340, mbLeft); // on Create, slide off, release on the window
  D.DoMouseMove(450, 340);
  D.DoMouseUp(450, 340, mbLeft);
  EXPECT_FALSE(Create->Clicked);
  D.DoMouseDown(250, 250, mbLeft); // in the name edit, slide onto Create, release
  D.DoMouseMove(250, 340);
  D.DoMouseUp(250, 340, mbLeft);
  EXPECT_EQ(Clicks, 0);
  D.DoMouseDown(250, 340, mbLeft);
  D.DoMouseUp(250, 340, mbLeft);
  EXPECT_EQ(Clicks, 1);
}

TEST_F(DesktopTest, WheelScrollsTheListUnderThePointerAndNeitherFocusesNorReleases) {
  auto* L = AddTo<TUIList>(D, 0, 0, 200, 84, "List"); // five rows shown
  for (int I = 0; I < 20; ++I)
    L->FStrings.push_back(std::to_string(I));
  auto* E = AddTo<TUIEdit>(D, 0, 100, 200, 32, "Edit");
  auto* B = AddTo<TUIButton>(D, 300, 0, 100, 32, "B");
  E->Focus();
  const struct {
    TMouseButton Button;
    int Notches;
    std::int32_t FirstShown;
  } Steps[] = {{mbWheelDown, 1, 3}, {mbWheelDown, 9, 15}, {mbWheelUp, 1, 12}, {mbWheelUp, 9, 0}};
  for (const auto& S : Steps) {
    for (int I = 0; I < S.Notches; ++I) {
      D.DoMouseDown(50, 40, S.Button);
      D.DoMouseUp(50, 40, S.Button);
    }
    EXPECT_EQ(L->FirstShownRow(), S.FirstShown);
  }
  EXPECT_EQ(D.FFocused, E);
  EXPECT_EQ(L->FIndex, -1);

  int Clicks = 0;
  B->FOnClick = [&](TUIWidget*) { ++Clicks; };
  D.DoMouseDown(310, 10, mbLeft);
  D.DoMouseDown(310, 10, mbWheelDown);
  D.DoMouseUp(310, 10, mbWheelDown);
  EXPECT_EQ(Clicks, 0);
  D.DoMouseUp(310, 10, mbLeft);
  EXPECT_EQ(Clicks, 1);
}

TEST_F(DesktopTest, IsOverWidgetStaysTrueAfterTheWidgetUnderThePointerIsDestroyed) {
  auto* B = AddTo<TUIButton>(D, 0, 0, 100, 50, "B");
  D.DoMouseMove(10, 10);
  EXPECT_EQ(D.FOver, B);
  B->RequestDestroy();
  EXPECT_EQ(D.FOver, nullptr);
  EXPECT_TRUE(D.IsOverWidget());
  D.DoMouseMove(10, 10);
  EXPECT_EQ(D.FOver, &D);
}

// A handler that destroys its own window: the destruction waits until the event is handled, and
// the desktop is left with no reference to anything destroyed.
TEST_F(DesktopTest, CloseButtonDestroysItsModalWindowAfterTheClick) {
  auto Win = NewWindow(100, 100, 200, 100, 20);
  auto* Close = AddTo<TUIButton>(*Win, 10, 10, 80, 30, "Close");
  bool StillThereDuringHandler = false;
  Close->FOnClick = [&](TUIWidget* Sender) {
    ASSERT_TRUE(Sender->FParent->RequestDestroy());
    StillThereDuringHandler = D.Count() == 1 && D.Get(0) == Sender->FParent;
  };
  TUIWindow* W = Win.get();
  D.AddModal(std::move(Win));
  D.DoMouseMove(250, 180); // over the window's own background
  ASSERT_EQ(D.FOver, W);
  D.DoMouseDown(115, 135, mbLeft);
  ASSERT_EQ(D.FFocused, Close);
  D.DoMouseUp(115, 135, mbLeft);
  EXPECT_TRUE(StillThereDuringHandler);
  EXPECT_EQ(D.Count(), 0);
  EXPECT_EQ(D.FCurrentModal, 0);
  EXPECT_EQ(D.FFocused, nullptr);
  EXPECT_EQ(D.FOver, nullptr);
  // The desktop goes on working.
  D.DoMouseMove(115, 135);
  D.DoMouseDown(115, 135, mbLeft);
  EXPECT_EQ(D.FOver, &D);
  EXPECT_EQ(D.FFocused, &D);
}

TEST_F(DesktopTest, WidgetAndItsWindowBothAskedToBeDestroyed) {
  auto* Win = AddTo<TUIWindow>(D, 0, 0, 200, 100, "Win");
  auto* B = AddTo<TUIButton>(*Win, 0, 0, 50, 50, "B");
  auto* Other = AddTo<TUIButton>(D, 300, 0, 50, 50, "Other");
  B->FOnClick = [&](TUIWidget* Sender) {
    Sender->RequestDestroy();
    Sender->FParent->RequestDestroy();
    Sender->RequestDestroy(); // asking twice is harmless
  };
  D.DoMouseDown(5, 5, mbLeft);
  D.DoMouseUp(5, 5, mbLeft);
  ASSERT_EQ(D.Count(), 1);
  EXPECT_EQ(D.Get(0), Other);
}

TEST_F(DesktopTest, WindowDestroyedWhileBeingDraggedEndsTheDrag) {
  auto* Win = AddTo<TUIWindow>(D, 0, 0, 200, 100, "Win");
  Win->FMarginTop = 20;
  auto* Other = AddTo<TUIWidget>(D, 300, 300, 50, 50, "Other");
  Log.Watch(Other);
  D.DoMouseDown(5, 5, mbLeft);
  ASSERT_EQ(D.FMovingWindow, Win);
  Win->RequestDestroy();
  EXPECT_EQ(D.FMovingWindow, nullptr);
  D.DoMouseMove(310, 310);
  D.DoMouseUp(310, 310, mbLeft); // not consumed by a drag that no longer exists
  EXPECT_EQ(Log.Lines, (std::vector<std::string>{"Other:move:10,10", "Other:up:10,10"}));
}

TEST_F(DesktopTest, RemovingAWindowMakesTheDesktopForgetItsSubtree) {
  auto* Win = AddTo<TUIWindow>(D, 0, 0, 200, 100, "Win");
  auto* B = AddTo<TUIButton>(*Win, 0, 0, 50, 50, "B");
  D.DoMouseMove(5, 5);
  D.DoMouseDown(5, 5, mbLeft);
  ASSERT_EQ(D.FOver, B);
  ASSERT_EQ(D.FFocused, B);
  std::unique_ptr<TUIWidget> Taken = D.Remove(Win);
  EXPECT_EQ(D.FOver, nullptr);
  EXPECT_EQ(D.FFocused, nullptr);
  Taken.reset(); // destroying it now leaves nothing dangling
  D.DoMouseMove(5, 5);
  D.DoKeyPress('x');
  EXPECT_EQ(D.FOver, &D);
}

TEST_F(DesktopTest, PendingDestructionIsDroppedWhenTheWidgetLeavesTheDesktop) {
  auto* Win = AddTo<TUIWindow>(D, 0, 0, 200, 100, "Win");
  auto* B = AddTo<TUIButton>(*Win, 0, 0, 50, 50, "B");
  std::unique_ptr<TUIWidget> Taken;
  B->FOnClick = [&](TUIWidget* Sender) {
    Sender->RequestDestroy();
    Taken = D.Remove(Sender->FParent); // the caller takes the window over
  };
  D.DoMouseDown(5, 5, mbLeft);
  D.DoMouseUp(5, 5, mbLeft);
  ASSERT_EQ(Taken.get(), Win);
  EXPECT_EQ(D.Count(), 0);
  EXPECT_EQ(Win->Count(), 1);
  EXPECT_EQ(Win->Get(0), B);
}

TEST_F(DesktopTest, DestroyOutsideADispatchIsImmediate) {
  auto* Win = AddTo<TUIWindow>(D, 0, 0, 200, 100, "Win");
  AddTo<TUIButton>(*Win, 0, 0, 50, 50, "B");
  EXPECT_TRUE(D.WidgetByName("b")->RequestDestroy());
  EXPECT_EQ(Win->Count(), 0);
  EXPECT_FALSE(D.RequestDestroy()); // a desktop has no parent to leave
  TUIButton Loose;
  EXPECT_FALSE(Loose.RequestDestroy());
}

TEST_F(DesktopTest, HandlerDestroyingItsWidgetDuringAMoveOrAKey) {
  auto* T = AddTo<TUITracker>(D, 0, 0, 100, 20, "T");
  auto* E = AddTo<TUIEdit>(D, 0, 100, 100, 20, "E");
  T->FOnChange = [](TUIWidget* S) { S->RequestDestroy(); };
  E->FOnEnter = [](TUIWidget* S) { S->RequestDestroy(); };
  D.DoMouseDown(50, 5, mbLeft); // off the cursor (at 20): steps, then FOnChange destroys it
  EXPECT_EQ(D.WidgetByName("T"), nullptr);
  D.DoMouseDown(10, 105, mbLeft);
  D.DoKeyPress(13);
  EXPECT_EQ(D.Count(), 0);
  D.DoKeyPress('a');
}

} // namespace
