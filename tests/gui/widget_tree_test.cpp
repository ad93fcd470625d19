// Hit-testing, name look-up, ownership and the constructors' defaults of the widget tree.
#include "gui/gui.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

template <class T>
T* AddTo(TUIContainer& Parent, std::int32_t Left, std::int32_t Top, std::int32_t W, std::int32_t H,
         const std::string& Name = "") {
  auto Widget = std::make_unique<T>();
  Widget->FLeft = Left;
  Widget->FTop = Top;
  Widget->SetWidth(W);
  Widget->SetHeight(H);
  Widget->FName = Name;
  T* Raw = Widget.get();
  Parent.Add(std::move(Widget));
  return Raw;
}

TEST(WidgetTree, IsInsideCountsBothEdges) {
  TUIButton B;
  B.FLeft = 10;
  B.FTop = 20;
  B.SetWidth(100);
  B.SetHeight(30);
  struct Case {
    std::int32_t X, Y;
    bool Inside;
  } Cases[] = {{10, 20, true},   {110, 50, true}, {9, 20, false},
               {111, 20, false}, {10, 19, false}, {60, 51, false}};
  for (const auto& C : Cases)
    EXPECT_EQ(B.IsInside(C.X, C.Y), C.Inside) << C.X << "," << C.Y;
}

TEST(WidgetTree, IsInsideDoesNotWrapAtTheEndOfTheIntegerRange) {
  TUIButton B;
  B.FLeft = 2147483600;
  B.SetWidth(100);
  EXPECT_FALSE(B.IsInside(-2147483600, 0));
  EXPECT_TRUE(B.IsInside(2147483647, 0));
}

TEST(WidgetTree, WidgetByPosFindsFrontMostEnabledVisibleChild) {
  TUIContainer C;
  auto* Back = AddTo<TUIButton>(C, 0, 0, 100, 100, "Back");
  auto* Front = AddTo<TUIButton>(C, 50, 50, 100, 100, "Front");
  EXPECT_EQ(C.WidgetByPos(60, 60, false), Front);
  EXPECT_EQ(C.WidgetByPos(10, 10, false), Back);
  EXPECT_EQ(C.WidgetByPos(500, 500, false), &C);
  Front->FEnabled = false;
  EXPECT_EQ(C.WidgetByPos(60, 60, false), Back);
  Front->FEnabled = true;
  Front->FVisible = false;
  EXPECT_EQ(C.WidgetByPos(60, 60, false), Back);
}

TEST(WidgetTree, RecursiveWidgetByPosSubtractsMarginsAndPosition) {
  TUIContainer Root;
  auto* Win = AddTo<TUIWindow>(Root, 100, 100, 200, 200, "Win");
  Win->FMarginLeft = 8;
  Win->FMarginTop = 24;
  auto* Inner = AddTo<TUIButton>(*Win, 10, 10, 20, 20, "Inner");
  // Inner spans 118..138 x 134..154 in Root's client coordinates.
  EXPECT_EQ(Root.WidgetByPos(118, 134, true), Inner);
  EXPECT_EQ(Root.WidgetByPos(138, 154, true), Inner);
  EXPECT_EQ(Root.WidgetByPos(117, 134, true), Win);
  EXPECT_EQ(Root.WidgetByPos(118, 134, false), Win);
}

TEST(WidgetTree, WidgetByNameIgnoresCaseAndPrefersTheFrontMostSubtree) {
  TUIContainer Root;
  auto* W1 = AddTo<TUIWindow>(Root, 0, 0, 10, 10, "First");
  auto* OkBack = AddTo<TUIButton>(*W1, 0, 0, 10, 10, "OkButton");
  auto* W2 = AddTo<TUIWindow>(Root, 0, 0, 10, 10, "Second");
  auto* OkFront = AddTo<TUIButton>(*W2, 0, 0, 10, 10, "OkButton");
  EXPECT_EQ(Root.WidgetByName("okbutton"), OkFront);
  EXPECT_EQ(W1->WidgetByName("OKBUTTON"), OkBack);
  EXPECT_EQ(Root.WidgetByName("second"), W2);
  EXPECT_EQ(Root.WidgetByName("missing"), nullptr);
  // The container's own name is not compared.
  EXPECT_EQ(W1->WidgetByName("First"), nullptr);
  EXPECT_EQ(Root.Find<TUIButton>("okbutton"), OkFront);
  EXPECT_EQ(Root.Find<TUIEdit>("okbutton"), nullptr);
}

TEST(WidgetTree, WidgetByNameSearchesDepthFirstBeforeLaterSiblings) {
  TUIContainer Root;
  auto* Back = AddTo<TUIButton>(Root, 0, 0, 10, 10, "Same");
  auto* Win = AddTo<TUIWindow>(Root, 0, 0, 10, 10, "Win");
  auto* Nested = AddTo<TUIButton>(*Win, 0, 0, 10, 10, "Same");
  EXPECT_EQ(Root.WidgetByName("same"), Nested);
  Root.Remove(Win);
  EXPECT_EQ(Root.WidgetByName("same"), Back);
}

TEST(WidgetTree, LongNamesAreComparedOnTheirFirst255Characters) {
  TUIContainer Root;
  auto* B = AddTo<TUIButton>(Root, 0, 0, 10, 10, std::string(255, 'a'));
  EXPECT_EQ(Root.WidgetByName(std::string(300, 'A')), B);
  EXPECT_EQ(ShortName(std::string(300, 'x')).size(), 255u);
}

TEST(WidgetTree, AddAndRemoveKeepOrderAndParent) {
  TUIContainer C;
  auto* A = AddTo<TUIButton>(C, 0, 0, 1, 1, "A");
  auto* B = AddTo<TUIButton>(C, 0, 0, 1, 1, "B");
  auto* D = AddTo<TUIButton>(C, 0, 0, 1, 1, "D");
  ASSERT_EQ(C.Count(), 3);
  EXPECT_EQ(A->FParent, &C);
  std::unique_ptr<TUIWidget> Taken = C.Remove(B);
  ASSERT_EQ(Taken.get(), B);
  EXPECT_EQ(B->FParent, nullptr);
  ASSERT_EQ(C.Count(), 2);
  EXPECT_EQ(C.Get(0), A);
  EXPECT_EQ(C.Get(1), D);
  EXPECT_EQ(C.FChildren.IndexOf(D), 1);
  EXPECT_EQ(C.FChildren.IndexOf(B), -1);
  // Adding it back makes it the front-most child.
  EXPECT_EQ(C.Add(std::move(Taken)), 2);
  EXPECT_EQ(C.Get(2), B);
  EXPECT_EQ(B->FParent, &C);
}

TEST(WidgetTree, RemovingAForeignWidgetLeavesItWithItsOwnParent) {
  TUIContainer C1, C2;
  auto* A = AddTo<TUIButton>(C1, 0, 0, 1, 1, "A");
  EXPECT_EQ(C2.Remove(A), nullptr);
  EXPECT_EQ(A->FParent, &C1);
  EXPECT_EQ(C1.Count(), 1);
}

TEST(WidgetTree, GetDesktopWalksUpToTheDesktop) {
  TUIDesktop D;
  auto* Win = AddTo<TUIWindow>(D, 0, 0, 10, 10);
  auto* B = AddTo<TUIButton>(*Win, 0, 0, 10, 10);
  EXPECT_EQ(B->GetDesktop(), &D);
  EXPECT_EQ(Win->GetDesktop(), &D);
  EXPECT_EQ(D.GetDesktop(), nullptr);
  TUIButton Loose;
  EXPECT_EQ(Loose.GetDesktop(), nullptr);
  Loose.Focus(); // no desktop: nothing happens
  EXPECT_FALSE(Loose.IsFocused());
  B->Focus();
  EXPECT_TRUE(B->IsFocused());
  EXPECT_EQ(D.FFocused, B);
}

TEST(WidgetTree, ConstructorDefaults) {
  struct Expect {
    const char* Name;
    std::int32_t W, H, Left;
  };
  auto Check = [](const TUIWidget& Widget, const Expect& E) {
    EXPECT_EQ(Widget.FName, E.Name);
    EXPECT_EQ(Widget.GetWidth(), E.W) << E.Name;
    EXPECT_EQ(Widget.GetHeight(), E.H) << E.Name;
    EXPECT_EQ(Widget.FLeft, E.Left) << E.Name;
    EXPECT_EQ(Widget.FTop, 0) << E.Name;
    EXPECT_TRUE(Widget.FEnabled) << E.Name;
    EXPECT_TRUE(Widget.FVisible) << E.Name;
    EXPECT_EQ(Widget.FParent, nullptr) << E.Name;
    EXPECT_EQ(Widget.FUserData, nullptr) << E.Name;
    EXPECT_FALSE(Widget.FOnMouseDown || Widget.FOnMouseUp || Widget.FOnMouseMove) << E.Name;
  };
  Check(TUIWidget(), {"", 100, 50, 30});
  Check(TUIContainer(), {"", 100, 50, 30});
  Check(TUIWindow(), {"Window1", 100, 50, 30});
  Check(TUIRollableWindow(), {"Window1", 100, 0, 30}); // rolled up: only its 0-high band
  Check(TUIButton(), {"Button1", 100, 50, 0});
  Check(TUIEdit(), {"Edit1", 100, 50, 0});
  Check(TUILabel(), {"Label1", 100, 50, 0});
  Check(TUIImage(), {"Image1", 100, 50, 0});
  Check(TUIList(), {"", 100, 50, 30});
  Check(TUILayered(), {"Layered1", 100, 100, 0});
  Check(TUIPage(), {"Page1", 100, 100, 0});
  Check(TUICheckBox(), {"CheckBox1", 100, 50, 0});
  Check(TUIBar(), {"Bar1", 100, 50, 0});
  Check(TUITracker(), {"Tracker1", 100, 100, 0});
  Check(TUIMultiTracker(), {"MultiTracker1", 100, 16, 0});
}

TEST(WidgetTree, ConstructorDefaultsOfEachKind) {
  TUIContainer C;
  EXPECT_EQ(C.FMarginTop, 0);
  EXPECT_EQ(C.FMarginLeft, 0);
  EXPECT_EQ(C.Count(), 0);

  TUIWindow W;
  EXPECT_EQ(W.ModalValue, 0);
  EXPECT_EQ(W.FTitle, "");
  TUIRollableWindow R;
  EXPECT_FALSE(R.FOpen);
  EXPECT_EQ(R.FHeight, 50);

  TUIButton B;
  EXPECT_EQ(B.FCaption, "Button1");
  EXPECT_FALSE(B.Clicked);
  TUIEdit E;
  EXPECT_EQ(E.FText, "");
  EXPECT_FALSE(E.FMask);
  EXPECT_EQ(TUILabel().FCaption, "");
  EXPECT_EQ(TUIImage().FImage, 0u);

  TUIList L;
  EXPECT_TRUE(L.FStrings.empty());
  EXPECT_EQ(L.FIndex, -1);
  EXPECT_EQ(L.FMarginTop, 12);
  EXPECT_FALSE(L.Simple);
  EXPECT_FALSE(L.Clicked);

  EXPECT_EQ(TUILayered().FPageIndexName, "");
  EXPECT_FALSE(TUIPage().FDrawBack);

  TUICheckBox CB;
  EXPECT_EQ(CB.FCaption, "CheckBox1");
  EXPECT_FALSE(CB.FChecked);

  TUIBar Bar;
  EXPECT_EQ(Bar.FCaption, "Bar1");
  EXPECT_FALSE(Bar.FShowCaption);
  EXPECT_TRUE(Bar.FShowPosition);
  EXPECT_EQ(Bar.FMin, 0);
  EXPECT_EQ(Bar.FMax, 100);
  EXPECT_EQ(Bar.FPosition, 0);

  TUITracker T;
  EXPECT_EQ(T.FPosition, 0);
  EXPECT_EQ(T.FMin, 0);
  EXPECT_EQ(T.FMax, 10);
  EXPECT_EQ(T.FCursorWidth, 16);
  EXPECT_EQ(T.FMargin, 20);
  EXPECT_EQ(T.FCaption, "");
  EXPECT_FALSE(T.FDragged);

  TUIMultiTracker M;
  EXPECT_EQ(M.FMin, 0);
  EXPECT_EQ(M.FMax, 10);
  EXPECT_EQ(M.FCursorWidth, 16);
  EXPECT_EQ(M.FMargin, 20);
  EXPECT_EQ(M.FDragged, -1);
  EXPECT_EQ(M.FSelIndex, -1);
  EXPECT_EQ(M.FCursors.Count(), 0);

  TUIDesktop D;
  EXPECT_EQ(D.FName, "Desktop1");
  EXPECT_EQ(D.FLeft, 0);
  EXPECT_EQ(D.FTop, 0);
  EXPECT_EQ(D.GetWidth(), 100);
  EXPECT_EQ(D.GetHeight(), 50);
  EXPECT_EQ(D.FCurrentModal, 0);
  EXPECT_EQ(D.FOver, &D);
  EXPECT_EQ(D.FFocused, nullptr);
  EXPECT_EQ(D.FMovingWindow, nullptr);
  EXPECT_FALSE(D.IsOverWidget());
}

} // namespace
