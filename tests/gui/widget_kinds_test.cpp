// Behaviour of the widget kinds: edit key filter, list selection, scrolling and wrapping, pages,
// check box, trackers, the error window.
#include "gui/error_window.h"
#include "gui/gui.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <memory>
#include <string>
#include <vector>

namespace {

TEST(HandleKeyPress, AcceptsExactlyThePrintableAsciiCharacters) {
  int Accepted = 0;
  for (int C = 0; C < 256; ++C) {
    std::string Text = "ab";
    HandleKeyPress(Text, static_cast<char>(C));
    const bool Printable = C >= 32 && C <= 126;
    if (Printable) {
      ++Accepted;
      EXPECT_EQ(Text, std::string("ab") + static_cast<char>(C)) << C;
    } else if (C == 8) {
      EXPECT_EQ(Text, "a");
    } else {
      EXPECT_EQ(Text, "ab") << C;
    }
  }
  EXPECT_EQ(Accepted, 95);
}

TEST(HandleKeyPress, BackspaceOnEmptyTextDoesNothing) {
  std::string Text;
  HandleKeyPress(Text, 8);
  EXPECT_EQ(Text, "");
}

TEST(Edit, BackspaceEnterAndTab) {
  TUIDesktop D;
  auto E = std::make_unique<TUIEdit>();
  TUIEdit* Edit = E.get();
  D.Add(std::move(E));
  int Enters = 0;
  Edit->FOnEnter = [&](TUIWidget* S) {
    EXPECT_EQ(S, Edit);
    ++Enters;
  };
  D.DoMouseDown(5, 5, mbLeft); // an edit gets keys once pressed
  for (char C : std::string("Hi"))
    D.DoKeyPress(C);
  EXPECT_EQ(Edit->FText, "Hi");
  D.DoKeyPress(13);
  EXPECT_EQ(Enters, 1);
  EXPECT_EQ(Edit->FText, "Hi");
  D.DoKeyPress(9);
  EXPECT_EQ(Edit->FText, "Hi");
  for (int I = 0; I < 3; ++I)
    D.DoKeyPress(8);
  EXPECT_EQ(Edit->FText, "");
  // Enter without a handler is ignored.
  Edit->FOnEnter = nullptr;
  D.DoKeyPress(13);
  EXPECT_EQ(Edit->FText, "");
}

TEST(Edit, MaskedEditStoresTheTypedText) {
  TUIEdit E;
  E.FMask = true;
  for (char C : std::string("s3cret!"))
    E.DoKeyPress(C);
  EXPECT_EQ(E.FText, "s3cret!");
}

TEST(List, ReleaseSelectsTheRowUnderThePointerClampedToTheItems) {
  struct Case {
    std::int32_t Y;
    std::int32_t Row;
  } Cases[] = {{30, 1}, {500, 2}, {5, 0}, {12, 0}, {23, 0}, {24, 1}, {-100, 0}};
  for (const auto& C : Cases) {
    TUIList L;
    L.SetHeight(60); // room for the three rows
    L.FStrings = {"a", "b", "c"};
    int Clicks = 0;
    L.FOnClick = [&](TUIWidget*) {
      EXPECT_EQ(L.FIndex, C.Row); // the handler runs last
      EXPECT_FALSE(L.Clicked);
      ++Clicks;
    };
    L.DoMouseDown(0, C.Y, mbLeft);
    L.DoMouseUp(0, C.Y, mbLeft);
    EXPECT_EQ(L.FIndex, C.Row) << C.Y;
    EXPECT_EQ(Clicks, 1);
  }
}

TEST(List, EmptyListSelectsNothingWhereverTheClickLandsButStillCallsTheHandler) {
  TUIList L;
  int Clicks = 0;
  L.FOnClick = [&](TUIWidget*) { ++Clicks; };
  for (std::int32_t Y : {40, 0, 1, 11, 12, 50, 500, -100}) {
    L.DoMouseDown(0, Y, mbLeft);
    L.DoMouseUp(0, Y, mbLeft);
    EXPECT_EQ(L.FIndex, -1) << Y;
    EXPECT_EQ(L.GetText(), "");
  }
  EXPECT_EQ(Clicks, 8);
}

TEST(TextLayout, WrapTextBreaksAfterTheLastBlankThatFitsAndLosesNothing) {
  const struct {
    const char* Text;
    std::size_t Width;
    std::vector<std::string> Rows;
  } Cases[] = {
      {"", 5, {""}},
      {"short", 5, {"short"}},
      {"<ann> hello there", 8, {"<ann> ", "hello ", "there"}},
      {"abcdefghij", 4, {"abcd", "efgh", "ij"}},
      {"a verylongword", 5, {"a ", "veryl", "ongwo", "rd"}},
      {" leading", 4, {" lea", "ding"}},
      {"xy", 0, {"x", "y"}},
  };
  for (const auto& C : Cases) {
    const auto Rows = WrapText(C.Text, C.Width);
    EXPECT_EQ(Rows, C.Rows) << C.Text;
  }
}

// A list shows whole rows from its first shown row; a release selects among the shown rows.
TEST(List, ScrolledListShowsAndSelectsFromItsFirstShownRow) {
  TUIList L;
  L.SetHeight(60); // rows 12 pixels high between insets of 12: three rows
  for (int I = 0; I < 100; ++I)
    L.FStrings.push_back(std::to_string(I));
  EXPECT_EQ(L.VisibleRows(), 3);
  L.ScrollBy(10);
  EXPECT_EQ(L.FirstShownRow(), 10);
  const struct { std::int32_t Y, Index; } Releases[] = {{30, 11}, {500, 12}, {-100, 10}};
  for (const auto& R : Releases) {
    L.DoMouseDown(0, R.Y, mbLeft);
    L.DoMouseUp(0, R.Y, mbLeft);
    EXPECT_EQ(L.FIndex, R.Index) << R.Y;
  }
  L.ScrollBy(1000);
  EXPECT_EQ(L.FirstShownRow(), 97);
  EXPECT_TRUE(L.ShowsLastRow());
  L.FStrings.resize(50); // rows deleted by the application: the view moves up with them
  EXPECT_EQ(L.FirstShownRow(), 47);
  L.ScrollBy(-1000);
  EXPECT_EQ(L.FirstShownRow(), 0);
  EXPECT_FALSE(L.ShowsLastRow());
  L.Simple = true; // the wheel scrolls a display-only list too
  L.DoMouseDown(0, 30, mbWheelDown);
  EXPECT_EQ(L.FirstShownRow(), TUIList::WheelRows);
}

// Wrapped rows follow the end of a list that showed it; the oldest rows go without moving the
// view or the selection of a list scrolled up.
TEST(List, AppendWrappedFollowsTheEndUnlessScrolledUp) {
  TUIList L;
  L.SetWidth(100); // 11 characters between the text insets
  L.SetHeight(60); // three rows
  EXPECT_EQ(L.CharsPerRow(), 11u);
  L.AppendWrapped("<ann> one two three four"); // 24 characters: three rows
  EXPECT_EQ(L.FStrings, (std::vector<std::string>{"<ann> one ", "two three ", "four"}));
  L.AppendWrapped("<bob> hi");
  EXPECT_EQ(L.FirstShownRow(), 1);
  EXPECT_TRUE(L.ShowsLastRow());
  L.ScrollBy(-1);
  L.FIndex = 2;
  L.AppendWrapped("<cid> later");
  EXPECT_EQ(L.FirstShownRow(), 0);
  EXPECT_FALSE(L.ShowsLastRow());
  L.DeleteFirstRows(1);
  EXPECT_EQ(L.FStrings.front(), "two three ");
  EXPECT_EQ(L.FirstShownRow(), 0);
  EXPECT_EQ(L.FIndex, 1);
  L.ScrollBy(1);
  L.DeleteFirstRows(2);
  EXPECT_EQ(L.FIndex, -1); // its row went
  EXPECT_EQ(L.FStrings, (std::vector<std::string>{"<bob> hi", "<cid> later"}));
  L.DeleteFirstRows(10);
  EXPECT_TRUE(L.FStrings.empty());
  L.FStrings.assign(10, "row");
  L.ScrollToEnd();
  L.FIndex = 9;
  L.Clear(); // as at a new login: rows that come later start at the top again
  L.FStrings.assign(10, "row");
  EXPECT_EQ(L.FirstShownRow(), 0);
  EXPECT_EQ(L.FIndex, -1);
}

// A row deleted from the middle (a game that is gone) keeps the rows shown and the selection
// where they were.
TEST(List, DeleteRowKeepsTheViewAndTheSelectionOnTheirRows) {
  TUIList L;
  L.SetHeight(60); // three rows
  for (int i = 0; i < 10; ++i)
    L.FStrings.push_back(std::to_string(i));
  L.ScrollBy(4);
  L.FIndex = 5;
  L.DeleteRow(1); // above the view: everything shown moves up one index
  EXPECT_EQ(L.FStrings[static_cast<std::size_t>(L.FirstShownRow())], "4");
  EXPECT_EQ(L.GetText(), "5");
  L.DeleteRow(6); // below the selection
  EXPECT_EQ(L.FStrings[static_cast<std::size_t>(L.FirstShownRow())], "4");
  EXPECT_EQ(L.GetText(), "5");
  L.DeleteRow(4); // the selected row itself
  EXPECT_EQ(L.FIndex, -1);
  L.DeleteRow(100);
  EXPECT_EQ(L.RowCount(), 7);
}

TEST(List, ReleaseWithoutPressAfterExitOrWhenSimpleDoesNothing) {
  TUIList L;
  L.FStrings = {"a", "b"};
  int Clicks = 0;
  L.FOnClick = [&](TUIWidget*) { ++Clicks; };
  L.DoMouseUp(0, 30, mbLeft);
  EXPECT_EQ(L.FIndex, -1);
  L.DoMouseDown(0, 30, mbLeft);
  L.DoMouseExit();
  L.DoMouseUp(0, 30, mbLeft);
  EXPECT_EQ(L.FIndex, -1);
  L.Simple = true;
  L.FIndex = 0;
  L.DoMouseDown(0, 30, mbLeft);
  EXPECT_FALSE(L.Clicked);
  L.DoMouseUp(0, 30, mbLeft);
  EXPECT_EQ(L.FIndex, 0);
  EXPECT_EQ(Clicks, 0);
}

// A second click on the same row within the double-click time is a double click, after its
// click; a third starts a new pair; another row, a late click or a deleted row breaks the pair.
TEST(List, DoubleClickIsTwoClicksOnOneRowInTime) {
  using namespace std::chrono;
  steady_clock::time_point Now{};
  std::vector<std::string> Calls;
  TUIList L;
  L.SetHeight(100); // every row shown
  L.FStrings = {"a", "b", "c", "d"};
  L.FClock = [&] { return Now; };
  L.FOnClick = [&](TUIWidget* W) {
    Calls.push_back("click " + static_cast<TUIList*>(W)->GetText());
  };
  L.FOnDoubleClick = [&](TUIWidget* W) {
    Calls.push_back("double " + static_cast<TUIList*>(W)->GetText());
  };
  const struct {
    milliseconds After;
    std::int32_t Y;
    bool Double;
  } Clicks[] = {
      {0ms, 15, false},   {400ms, 15, true},  {100ms, 15, false}, // a, a: double; a third: single
      {100ms, 15, true},  {100ms, 30, false}, {401ms, 30, false}, // b, then too late
      {100ms, 45, false}, {0ms, 30, false},                       // c, then b: another row
  };
  for (const auto& C : Clicks) {
    Now += C.After;
    Calls.clear();
    L.DoMouseDown(0, C.Y, mbLeft);
    L.DoMouseUp(0, C.Y, mbLeft);
    EXPECT_EQ(Calls.size(), C.Double ? 2u : 1u) << C.Y << " after " << C.After.count();
  }
  L.DoMouseDown(0, 30, mbLeft);
  L.DoMouseUp(0, 30, mbLeft);
  EXPECT_EQ(Calls.back(), "double b");
  L.DoMouseDown(0, 30, mbLeft);
  L.DoMouseUp(0, 30, mbLeft);
  L.DeleteRow(0);
  Calls.clear();
  L.DoMouseDown(0, 30, mbLeft);
  L.DoMouseUp(0, 30, mbLeft);
  EXPECT_EQ(Calls, (std::vector<std::string>{"click c"})) << "c moved into the clicked row";
  L.Clear();
  L.DoMouseDown(0, 30, mbLeft);
  L.DoMouseUp(0, 30, mbLeft);
  L.DoMouseDown(0, 30, mbLeft);
  L.DoMouseUp(0, 30, mbLeft);
  EXPECT_EQ(Calls.back(), "click ") << "an empty list has no row to double-click";
}

TEST(List, GetTextGivesTheSelectedItemOrNothing) {
  TUIList L;
  L.FStrings = {"one", "two"};
  L.FIndex = 1;
  EXPECT_EQ(L.GetText(), "two");
  for (std::int32_t Bad : {-1, 2, 100, INT_MIN}) {
    L.FIndex = Bad;
    EXPECT_EQ(L.GetText(), "") << Bad;
  }
}

TEST(List, ListNeverCallsTheGenericMouseHandlers) {
  TUIList L;
  int Calls = 0;
  L.FOnMouseDown = [&](TUIWidget*, std::int32_t, std::int32_t, TMouseButton) { ++Calls; };
  L.FOnMouseUp = L.FOnMouseDown;
  L.DoMouseDown(0, 0, mbLeft);
  L.DoMouseUp(0, 0, mbLeft);
  EXPECT_EQ(Calls, 0);
}

class LayeredTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* Name : {"pagChat", "pagBuy", "pagGames"}) {
      auto P = std::make_unique<TUIPage>();
      P->FName = Name;
      L.Add(std::move(P));
    }
  }
  std::vector<std::string> Order() const {
    std::vector<std::string> Names;
    for (int I = 0; I < L.Count(); ++I)
      Names.push_back(L.Get(I)->FName);
    return Names;
  }
  TUILayered L;
};

TEST_F(LayeredTest, SwitchPageMovesThePageToTheEndIgnoringCase) {
  EXPECT_EQ(L.ActivePage()->FName, "pagGames");
  EXPECT_EQ(L.FindPageIndex("PAGBUY"), 1);
  L.SwitchPage("PAGCHAT");
  EXPECT_EQ(Order(), (std::vector<std::string>{"pagBuy", "pagGames", "pagChat"}));
  EXPECT_EQ(L.FPageIndexName, "PAGCHAT");
}

TEST_F(LayeredTest, SwitchingAgainToTheSameNameInOtherCaseDoesNothing) {
  L.SwitchPage("PagChat");
  // The page order changes behind the layered widget's back...
  std::unique_ptr<TUIWidget> Chat = L.Remove(L.WidgetByName("pagChat"));
  L.Add(std::make_unique<TUIPage>());
  L.Add(std::move(Chat));
  L.Add(std::make_unique<TUIPage>());
  const auto Before = Order();
  L.SwitchPage("pagChat"); // ...and still nothing happens.
  EXPECT_EQ(Order(), Before);
}

TEST_F(LayeredTest, UnknownNameActivatesTheFirstPage) {
  EXPECT_EQ(L.FindPageIndex("nothing"), 0);
  L.SwitchPage("nothing");
  EXPECT_EQ(Order(), (std::vector<std::string>{"pagBuy", "pagGames", "pagChat"}));
  EXPECT_EQ(L.FPageIndexName, "nothing");
}

TEST_F(LayeredTest, TheActivePageIsHitTestedFirst) {
  L.SwitchPage("pagBuy");
  EXPECT_EQ(L.WidgetByPos(10, 10, false)->FName, "pagBuy");
}

TEST(Layered, SwitchPageOnAnEmptyStackOnlyStoresTheName) {
  TUILayered L;
  L.SwitchPage("x");
  EXPECT_EQ(L.FPageIndexName, "x");
  EXPECT_EQ(L.ActivePage(), nullptr);
}

TEST(CheckBox, PressAndReleaseTogglesAndTheHandlerSeesTheNewState) {
  TUICheckBox C;
  std::vector<bool> Seen;
  C.FOnToggle = [&](TUIWidget*) { Seen.push_back(C.FChecked); };
  C.DoMouseDown(0, 0, mbRight);
  C.DoMouseUp(0, 0, mbRight);
  C.DoMouseDown(0, 0, mbLeft);
  C.DoMouseUp(0, 0, mbLeft);
  EXPECT_EQ(Seen, (std::vector<bool>{true, false}));
  // Release without press, or after leaving: nothing.
  C.DoMouseUp(0, 0, mbLeft);
  C.DoMouseDown(0, 0, mbLeft);
  C.DoMouseExit();
  C.DoMouseUp(0, 0, mbLeft);
  EXPECT_EQ(Seen.size(), 2u);
  EXPECT_FALSE(C.FChecked);
}

TEST(Tracker, TranslationsWithTheDefaults) {
  TUITracker T;
  EXPECT_EQ(T.TranslateLogicToReal(5), 50);
  EXPECT_EQ(T.TranslateLogicToReal(0), 20);
  EXPECT_EQ(T.TranslateLogicToReal(10), 80);
  EXPECT_EQ(T.TranslateRealToLogic(77), 9);
  EXPECT_EQ(T.TranslateRealToLogic(50), 5);
  // Truncation toward zero, also for negative values.
  EXPECT_EQ(T.TranslateRealToLogic(15), 0); // 10 * -5 / 60 = 0
  EXPECT_EQ(T.TranslateRealToLogic(0), -3); // 10 * -20 / 60 = -3
  EXPECT_EQ(T.TranslateLogicToReal(-1), 14);
}

TEST(Tracker, EmptyRangeOrTrackDoesNotDivideByZero) {
  TUITracker T;
  T.FMin = T.FMax = 4;
  EXPECT_EQ(T.TranslateLogicToReal(4), T.FMargin);
  EXPECT_EQ(T.TranslateLogicToReal(100), T.FMargin);
  EXPECT_EQ(T.TranslateRealToLogic(70), 4);
  TUITracker U;
  U.SetWidth(40); // exactly twice the margin
  EXPECT_EQ(U.TranslateRealToLogic(33), U.FMin);
  EXPECT_EQ(U.TranslateLogicToReal(7), U.FMargin);
  TUIMultiTracker M;
  M.FMax = 0;
  EXPECT_EQ(M.TranslateLogicToReal(3), 20);
  M.FMax = 10;
  M.FMargin = 50;
  EXPECT_EQ(M.TranslateRealToLogic(3), 0);
}

TEST(Tracker, ExtremeValuesWrapInsteadOfOverflowing) {
  TUITracker T;
  T.FMin = INT_MIN;
  T.FMax = INT_MAX;
  T.FPosition = INT_MAX;
  (void)T.TranslateLogicToReal(T.FPosition);
  (void)T.TranslateRealToLogic(INT_MIN);
  T.FMargin = INT_MIN;
  T.SetWidth(INT_MIN);
  (void)T.TranslateRealToLogic(0);
  T.DoMouseDown(INT_MAX, 0, mbLeft);
  EXPECT_EQ(T.FPosition, INT_MIN); // one step past the largest value wraps round
}

TEST(Tracker, CursorHitIsStrictlyWithinHalfTheCursorWidth) {
  TUITracker T;
  T.FPosition = 5; // cursor at 50
  EXPECT_FALSE(T.IsCoordsOnCursor(42));
  EXPECT_TRUE(T.IsCoordsOnCursor(43));
  EXPECT_TRUE(T.IsCoordsOnCursor(57));
  EXPECT_FALSE(T.IsCoordsOnCursor(58));
}

TEST(Tracker, PressOffTheCursorStepsByOneUnclamped) {
  TUITracker T;
  int Changes = 0;
  T.FOnChange = [&](TUIWidget*) { ++Changes; };
  T.DoMouseDown(10, 0, mbLeft);
  EXPECT_EQ(T.FPosition, -1);
  EXPECT_FALSE(T.FDragged);
  EXPECT_EQ(Changes, 1);
  T.DoMouseDown(90, 0, mbRight);
  T.DoMouseDown(50, 0, mbRight); // X = width / 2 counts as the right half
  EXPECT_EQ(T.FPosition, 1);
  EXPECT_EQ(Changes, 3);
}

TEST(Tracker, DragFollowsThePointerClampedAndSnapsBack) {
  TUITracker T;
  int Changes = 0;
  T.FOnChange = [&](TUIWidget*) { ++Changes; };
  T.DoMouseDown(10, 0, mbLeft); // 0 -> -1, cursor now at 14
  T.DoMouseMove(30, 0);         // not dragging: ignored
  EXPECT_EQ(T.FPosition, -1);
  EXPECT_EQ(Changes, 1);
  T.DoMouseDown(14, 0, mbLeft); // on the cursor: drag starts, FOnChange still called
  EXPECT_TRUE(T.FDragged);
  EXPECT_EQ(T.FPosition, -1);
  EXPECT_EQ(Changes, 2);
  T.DoMouseMove(14, 0); // snaps back into 0..10
  EXPECT_EQ(T.FPosition, 0);
  T.DoMouseMove(77, 0);
  EXPECT_EQ(T.FPosition, 9);
  T.DoMouseMove(1000, 0);
  EXPECT_EQ(T.FPosition, 10);
  T.DoMouseMove(1000, 0); // unchanged, still reported
  EXPECT_EQ(Changes, 6);
  T.DoMouseUp(1000, 0, mbLeft);
  EXPECT_FALSE(T.FDragged);
  T.DoMouseDown(80, 0, mbLeft);
  T.DoMouseExit(); // leaving ends the drag
  EXPECT_FALSE(T.FDragged);
}

TEST(Tracker, TrackerNeverCallsTheGenericMouseHandlers) {
  TUITracker T;
  int Calls = 0;
  T.FOnMouseDown = [&](TUIWidget*, std::int32_t, std::int32_t, TMouseButton) { ++Calls; };
  T.FOnMouseUp = T.FOnMouseDown;
  T.FOnMouseMove = [&](TUIWidget*, std::int32_t, std::int32_t) { ++Calls; };
  T.DoMouseDown(50, 0, mbLeft);
  T.DoMouseMove(50, 0);
  T.DoMouseUp(50, 0, mbLeft);
  EXPECT_EQ(Calls, 0);
}

TEST(MultiTracker, PressGrabsTheFirstCursorInListOrderAndMovesItToTheFront) {
  TUIMultiTracker M;
  TCursor* A = M.AddCursor();
  TCursor* B = M.AddCursor();
  TCursor* C = M.AddCursor();
  A->FPosition = 0; // at 20
  B->FPosition = 5; // at 50
  C->FPosition = 5; // at 50
  EXPECT_EQ(B->FData, nullptr);
  int Selects = 0;
  M.FOnSelect = [&](TUIWidget*) { ++Selects; };
  EXPECT_EQ(M.IsCoordsOnCursor(52), 1);
  M.DoMouseDown(52, 0, mbLeft);
  ASSERT_EQ(M.FCursors.Count(), 3);
  EXPECT_EQ(M.FCursors.GetCursor(0), B);
  EXPECT_EQ(M.FCursors.GetCursor(1), A);
  EXPECT_EQ(M.FCursors.GetCursor(2), C);
  EXPECT_EQ(M.FDragged, 0);
  EXPECT_EQ(M.FSelIndex, 0);
  EXPECT_EQ(Selects, 1);
  // Drag it: clamped to the range, FOnChange every move.
  int Changes = 0;
  M.FOnChange = [&](TUIWidget*) { ++Changes; };
  M.DoMouseMove(77, 0);
  EXPECT_EQ(B->FPosition, 9);
  M.DoMouseMove(-500, 0);
  EXPECT_EQ(B->FPosition, 0);
  EXPECT_EQ(Changes, 2);
  M.DoMouseUp(0, 0, mbLeft);
  EXPECT_EQ(M.FDragged, -1);
  M.DoMouseMove(77, 0);
  EXPECT_EQ(Changes, 2);
  // Now B (first in the list) wins where it overlaps A.
  EXPECT_EQ(M.IsCoordsOnCursor(20), 0);
}

TEST(MultiTracker, PressOffEveryCursorDoesNothing) {
  TUIMultiTracker M;
  M.AddCursor()->FPosition = 10; // at 80
  int Calls = 0;
  M.FOnSelect = [&](TUIWidget*) { ++Calls; };
  M.FOnChange = M.FOnSelect;
  M.DoMouseDown(20, 0, mbLeft);
  EXPECT_EQ(M.FDragged, -1);
  EXPECT_EQ(M.FSelIndex, -1);
  EXPECT_EQ(M.FCursors.GetCursor(0)->FPosition, 10);
  EXPECT_EQ(Calls, 0);
  M.DoMouseDown(80, 0, mbLeft);
  M.DoMouseExit();
  EXPECT_EQ(M.FDragged, -1);
}

TEST(MultiTracker, ADraggedIndexOffTheListIsIgnored) {
  TUIMultiTracker M;
  M.FDragged = 3;
  M.DoMouseMove(50, 0);
  EXPECT_EQ(M.FCursors.Count(), 0);
}

TEST(Window, DraggablePointIsTheTitleBandInclusive) {
  TUIWindow W;
  W.FMarginTop = 24;
  EXPECT_TRUE(W.IsDraggablePoint(-1000, 0));
  EXPECT_TRUE(W.IsDraggablePoint(5, 24));
  EXPECT_FALSE(W.IsDraggablePoint(5, 25));
  EXPECT_TRUE(W.IsDraggablePoint(5, -3));
}

TEST(Button, ReleaseAfterExitDoesNotClickAndButtonIgnoresGenericHandlers) {
  TUIButton B;
  int Clicks = 0, Generic = 0;
  B.FOnClick = [&](TUIWidget*) { ++Clicks; };
  B.FOnMouseDown = [&](TUIWidget*, std::int32_t, std::int32_t, TMouseButton) { ++Generic; };
  B.FOnMouseUp = B.FOnMouseDown;
  B.DoMouseDown(0, 0, mbMiddle);
  B.DoMouseExit();
  B.DoMouseUp(0, 0, mbMiddle);
  EXPECT_EQ(Clicks, 0);
  B.DoMouseDown(0, 0, mbMiddle);
  B.DoMouseUp(0, 0, mbMiddle);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Generic, 0);
}

// Drawing clips text to its label, so the error window gives every part of its message room.
TEST(ErrorWindow, EveryPartOfALongMessageFitsItsLabelAndTheWindow) {
  const struct {
    std::string Message;
    std::size_t Rows;
    std::int32_t Grown; // pixels the window and its button move down by
  } Cases[] = {{"Access denied: Invalid user/pass", 1, 0},
               {"Access denied: " + std::string(60, 'x'), 3, 0},
               {std::string(200, 'y'), 6, 30}};
  for (const auto& C : Cases) {
    TUIErrorWindow W(C.Message);
    ASSERT_EQ(W.Count(), static_cast<int>(1 + C.Rows)) << C.Message;
    std::string Shown;
    for (int I = 1; I < W.Count(); ++I) {
      const auto* Row = dynamic_cast<const TUILabel*>(W.Get(I));
      ASSERT_NE(Row, nullptr);
      Shown += Row->FCaption;
      EXPECT_LE(TextWidth(Row->FCaption.size()), Row->GetWidth()) << Row->FCaption;
      EXPECT_LE(W.FMarginLeft + Row->FLeft + Row->GetWidth(), W.GetWidth());
      EXPECT_LE(Row->FTop + Row->GetHeight(), W.Get(0)->FTop) << "above the Close button";
    }
    EXPECT_EQ(Shown, C.Message);
    EXPECT_EQ(W.GetHeight(), 100 + C.Grown);
    EXPECT_EQ(W.Get(0)->FTop, 40 + C.Grown);
  }
}

} // namespace
