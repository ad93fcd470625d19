// Loading widget trees from .ui text and files.
#include "gui/gui.h"
#include "xml/document.h"
#include "xml/error.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

// Loads Text (a whole .ui document) into Container.
bool LoadText(TUIContainer& Container, const std::string& Text) {
  TXMLDocument Doc;
  Doc.LoadFromMemory(Text);
  return LoadGUI(Container, *Doc.Node);
}

// A file in the test's working folder, removed at the end of the test.
class TTempFile {
public:
  TTempFile(const std::string& Name, const std::string& Text) : FPath(Name) {
    std::ofstream(FPath, std::ios::binary) << Text;
  }
  ~TTempFile() { std::filesystem::remove(FPath); }
  const std::string& Path() const { return FPath; }

private:
  std::string FPath;
};

TEST(UiLoader, LoginScreenExample) {
  TUIDesktop D;
  ASSERT_TRUE(LoadText(D, R"(<?xml version="1.0"?>
<!-- login screen -->
<anything>
  <WINDOW name="LoginWindow">
    <LEFT>250</LEFT><TOP>200</TOP><WIDTH>300</WIDTH><HEIGHT>200</HEIGHT>
    <MARGINTOP>24</MARGINTOP><MARGINLEFT>8</MARGINLEFT><TITLE>Login</TITLE>
    <CHILDREN>
      <LABEL name="ServerLabel"><LEFT>0</LEFT><TOP>4</TOP><CAPTION>Server</CAPTION></LABEL>
      <EDIT name="ServerEdit"><LEFT>80</LEFT><TOP>0</TOP><WIDTH>200</WIDTH><HEIGHT>32</HEIGHT></EDIT>
      <EDIT name="UserEdit"><LEFT>80</LEFT><TOP>40</TOP><WIDTH>200</WIDTH><HEIGHT>32</HEIGHT></EDIT>
      <EDIT name="PassEdit"><LEFT>80</LEFT><TOP>80</TOP><WIDTH>200</WIDTH><HEIGHT>32</HEIGHT><MASK>true</MASK></EDIT>
      <BUTTON name="OkButton"><LEFT>20</LEFT><TOP>130</TOP><WIDTH>100</WIDTH><HEIGHT>32</HEIGHT><CAPTION>OK</CAPTION></BUTTON>
      <BUTTON name="ExitButton"><LEFT>160</LEFT><TOP>130</TOP><WIDTH>100</WIDTH><HEIGHT>32</HEIGHT><CAPTION>Exit</CAPTION></BUTTON>
    </CHILDREN>
  </WINDOW>
</anything>)"));
  ASSERT_EQ(D.Count(), 1);
  auto* W = dynamic_cast<TUIWindow*>(D.Get(0));
  ASSERT_NE(W, nullptr);
  EXPECT_EQ(W->FName, "LoginWindow");
  EXPECT_EQ(W->FLeft, 250);
  EXPECT_EQ(W->FTop, 200);
  EXPECT_EQ(W->GetWidth(), 300);
  EXPECT_EQ(W->GetHeight(), 200);
  EXPECT_EQ(W->FMarginTop, 24);
  EXPECT_EQ(W->FMarginLeft, 8);
  EXPECT_EQ(W->FTitle, "Login");
  EXPECT_EQ(W->Count(), 6);
  EXPECT_EQ(D.Find<TUILabel>("ServerLabel")->FCaption, "Server");
  EXPECT_TRUE(D.Find<TUIEdit>("passedit")->FMask);
  EXPECT_FALSE(D.Find<TUIEdit>("UserEdit")->FMask);
  auto* Ok = D.Find<TUIButton>("OkButton");
  ASSERT_NE(Ok, nullptr);
  EXPECT_EQ(Ok->FCaption, "OK");
  EXPECT_EQ(D.Find<TUIButton>("ExitButton")->FLeft, 160);

  // The loaded screen works: the title band drags, the OK button clicks.
  int Clicks = 0;
  Ok->FOnClick = [&](TUIWidget*) { ++Clicks; };
  D.DoMouseDown(250 + 8 + 20 + 5, 200 + 24 + 130 + 5, mbLeft);
  D.DoMouseUp(250 + 8 + 20 + 5, 200 + 24 + 130 + 5, mbLeft);
  EXPECT_EQ(Clicks, 1);
  D.DoMouseDown(260, 210, mbLeft);
  EXPECT_EQ(D.FMovingWindow, W);
}

TEST(UiLoader, NameComesFromTheAttributeThenTheNameElement) {
  TUIContainer C;
  ASSERT_TRUE(LoadText(C, R"(<r>
    <BUTTON/>
    <BUTTON name="Attr"/>
    <BUTTON name="Attr"><NAME>Element</NAME></BUTTON>
    <BUTTON><NAME>OnlyElement</NAME></BUTTON>
    <BUTTON Name="WrongCase"/>
  </r>)"));
  ASSERT_EQ(C.Count(), 5);
  EXPECT_EQ(C.Get(0)->FName, "");
  EXPECT_EQ(dynamic_cast<TUIButton*>(C.Get(0))->FCaption, "Button1");
  EXPECT_EQ(C.Get(1)->FName, "Attr");
  EXPECT_EQ(dynamic_cast<TUIButton*>(C.Get(1))->FCaption, "Button1");
  EXPECT_EQ(C.Get(2)->FName, "Element");
  EXPECT_EQ(C.Get(3)->FName, "OnlyElement");
  EXPECT_EQ(C.Get(4)->FName, "");
}

TEST(UiLoader, LongNamesAreCutTo255Characters) {
  TUIContainer C;
  const std::string Long(300, 'n');
  ASSERT_TRUE(
      LoadText(C, "<r><LABEL name=\"" + Long + "\"/><LABEL><NAME>" + Long + "</NAME></LABEL></r>"));
  EXPECT_EQ(C.Get(0)->FName, std::string(255, 'n'));
  EXPECT_EQ(C.Get(1)->FName, std::string(255, 'n'));
}

TEST(UiLoader, BooleanTextIsTrueOnlyForTrueInAnyCase) {
  struct Case {
    const char* Element;
    bool Visible;
  } Cases[] = {{"<VISIBLE>True</VISIBLE>", true},
               {"<VISIBLE>TRUE</VISIBLE>", true},
               {"<VISIBLE>true</VISIBLE>", true},
               {"<VISIBLE>yes</VISIBLE>", false},
               {"<VISIBLE>1</VISIBLE>", false},
               {"<VISIBLE></VISIBLE>", false},
               {"<VISIBLE/>", false},
               {"<VISIBLE> true</VISIBLE>", false},
               {"", true},
               {"<Visible>false</Visible>", true}};
  for (const auto& Case : Cases) {
    TUIContainer C;
    ASSERT_TRUE(LoadText(C, std::string("<r><LABEL>") + Case.Element + "</LABEL></r>"));
    EXPECT_EQ(C.Get(0)->FVisible, Case.Visible) << Case.Element;
  }
}

TEST(UiLoader, PropertyTagsAreCaseSensitiveAndTheFirstOneCounts) {
  TUIContainer C;
  ASSERT_TRUE(LoadText(C, "<r><LABEL><Left>99</Left><LEFT>7</LEFT><LEFT>8</LEFT>"
                          "<Other>x</Other></LABEL></r>"));
  EXPECT_EQ(C.Get(0)->FLeft, 7);
}

TEST(UiLoader, WidgetTagsAreCaseSensitive) {
  TUIContainer C;
  EXPECT_FALSE(LoadText(C, "<r><BUTTON name=\"a\"/><button name=\"b\"/><LABEL name=\"c\"/></r>"));
  ASSERT_EQ(C.Count(), 1); // what came before the unknown tag stays
  EXPECT_EQ(C.Get(0)->FName, "a");
  EXPECT_EQ(C.WidgetByName("c"), nullptr);
}

TEST(UiLoader, EveryKindIsMadeByItsTag) {
  TUIContainer C;
  ASSERT_TRUE(LoadText(C, "<r><WINDOW/><ROLLABLEWINDOW/><BUTTON/><LAYERED/><PAGE/><TRACKER/>"
                          "<EDIT/><LIST/><IMAGE/><LABEL/><CHECKBOX/><BAR/><MULTITRACKER/></r>"));
  ASSERT_EQ(C.Count(), 13);
  EXPECT_NE(dynamic_cast<TUIWindow*>(C.Get(0)), nullptr);
  EXPECT_EQ(dynamic_cast<TUIRollableWindow*>(C.Get(0)), nullptr);
  EXPECT_NE(dynamic_cast<TUIRollableWindow*>(C.Get(1)), nullptr);
  EXPECT_NE(dynamic_cast<TUIButton*>(C.Get(2)), nullptr);
  EXPECT_NE(dynamic_cast<TUILayered*>(C.Get(3)), nullptr);
  EXPECT_NE(dynamic_cast<TUIPage*>(C.Get(4)), nullptr);
  EXPECT_NE(dynamic_cast<TUITracker*>(C.Get(5)), nullptr);
  EXPECT_NE(dynamic_cast<TUIEdit*>(C.Get(6)), nullptr);
  EXPECT_NE(dynamic_cast<TUIList*>(C.Get(7)), nullptr);
  EXPECT_NE(dynamic_cast<TUIImage*>(C.Get(8)), nullptr);
  EXPECT_NE(dynamic_cast<TUILabel*>(C.Get(9)), nullptr);
  EXPECT_NE(dynamic_cast<TUICheckBox*>(C.Get(10)), nullptr);
  EXPECT_NE(dynamic_cast<TUIBar*>(C.Get(11)), nullptr);
  EXPECT_NE(dynamic_cast<TUIMultiTracker*>(C.Get(12)), nullptr);
  // Loaded without a name attribute: every name is empty, every other default is kept.
  for (int I = 0; I < C.Count(); ++I)
    EXPECT_EQ(C.Get(I)->FName, "") << I;
  EXPECT_EQ(C.Get(5)->GetHeight(), 100);
  EXPECT_EQ(C.Get(7)->FLeft, 30);
}

TEST(UiLoader, CreateWidgetGivesNoneForOtherTagsAndForNonElements) {
  TXMLNode Unknown("DESKTOP");
  EXPECT_EQ(CreateWidget(Unknown), nullptr);
  TXMLNode Text("", TNodeType::ndText);
  EXPECT_EQ(CreateWidget(Text), nullptr);
  TXMLNode Button("BUTTON");
  auto W = CreateWidget(Button);
  ASSERT_NE(dynamic_cast<TUIButton*>(W.get()), nullptr);
  EXPECT_EQ(W->FName, "Button1"); // built, not loaded
}

TEST(UiLoader, ListTextSplitsAtEveryKindOfLineBreak) {
  struct Case {
    std::string Text;
    std::vector<std::string> Items;
  } Cases[] = {{"one\ntwo\nthree", {"one", "two", "three"}},
               {"one\r\ntwo\rthree\n", {"one", "two", "three"}},
               {"a\n\nb", {"a", "", "b"}},
               {"a\r\rb", {"a", "", "b"}},
               {"single", {"single"}},
               {"", {}}};
  for (const auto& Case : Cases) {
    TUIContainer C;
    ASSERT_TRUE(LoadText(C, "<r><LIST><TEXT>" + Case.Text + "</TEXT></LIST></r>"));
    EXPECT_EQ(dynamic_cast<TUIList*>(C.Get(0))->FStrings, Case.Items);
  }
}

TEST(UiLoader, ListTextReplacesItemsAndReadsItsOwnProperties) {
  TUIContainer C;
  ASSERT_TRUE(LoadText(C, "<r><LIST name=\"L\"><TEXT>x&amp;y\ny</TEXT><MARGINTOP>3</MARGINTOP>"
                          "<SIMPLE>TRUE</SIMPLE><LEFT>4</LEFT></LIST></r>"));
  auto* L = C.Find<TUIList>("L");
  ASSERT_NE(L, nullptr);
  EXPECT_EQ(L->FStrings, (std::vector<std::string>{"x&y", "y"}));
  EXPECT_EQ(L->FMarginTop, 3);
  EXPECT_TRUE(L->Simple);
  EXPECT_EQ(L->FLeft, 4);
}

TEST(UiLoader, LayeredActivePageIgnoresCaseAndDefaultsToTheLastPage) {
  const std::string Pages = "<CHILDREN><PAGE name=\"pagChat\"/><PAGE name=\"pagGames\"/>"
                            "<PAGE name=\"pagBuy\"/></CHILDREN>";
  TUIContainer C;
  ASSERT_TRUE(LoadText(C, "<r><LAYERED name=\"a\">" + Pages +
                              "<ACTIVE>PAGGAMES</ACTIVE></LAYERED>"
                              "<LAYERED name=\"b\">" +
                              Pages + "</LAYERED></r>"));
  auto* A = C.Find<TUILayered>("a");
  auto* B = C.Find<TUILayered>("b");
  ASSERT_NE(A, nullptr);
  ASSERT_NE(B, nullptr);
  EXPECT_EQ(A->ActivePage()->FName, "pagGames");
  EXPECT_EQ(A->FPageIndexName, "PAGGAMES");
  EXPECT_EQ(B->ActivePage()->FName, "pagBuy");
  EXPECT_EQ(B->FPageIndexName, "");
  // The ACTIVE element may come before the pages in the file: they are loaded first anyway.
  TUIContainer D;
  ASSERT_TRUE(LoadText(D, "<r><LAYERED><ACTIVE>pagChat</ACTIVE>" + Pages + "</LAYERED></r>"));
  EXPECT_EQ(dynamic_cast<TUILayered*>(D.Get(0))->ActivePage()->FName, "pagChat");
}

TEST(UiLoader, UnknownTagInsideChildrenTruncatesThatContainerOnly) {
  TUIDesktop D;
  EXPECT_TRUE(LoadText(D, R"(<r>
    <WINDOW name="W"><CHILDREN>
      <BUTTON name="b1"/><Button name="b2"/><BUTTON name="b3"/>
    </CHILDREN></WINDOW>
    <LABEL name="after"/>
  </r>)"));
  auto* W = D.Find<TUIWindow>("W");
  ASSERT_NE(W, nullptr);
  ASSERT_EQ(W->Count(), 1);
  EXPECT_EQ(W->Get(0)->FName, "b1");
  EXPECT_EQ(D.WidgetByName("b3"), nullptr);
  EXPECT_NE(D.WidgetByName("after"), nullptr);
}

TEST(UiLoader, ChildrenAreRelativeToTheContainersClientArea) {
  TUIDesktop D;
  ASSERT_TRUE(LoadText(D, "<r><WINDOW><LEFT>100</LEFT><TOP>100</TOP><WIDTH>200</WIDTH>"
                          "<HEIGHT>200</HEIGHT><MARGINLEFT>5</MARGINLEFT><MARGINTOP>20</MARGINTOP>"
                          "<CHILDREN><CHECKBOX name=\"c\"><LEFT>10</LEFT><TOP>10</TOP>"
                          "<WIDTH>20</WIDTH><HEIGHT>20</HEIGHT><CHECKED>true</CHECKED>"
                          "<CAPTION>Tick</CAPTION></CHECKBOX></CHILDREN></WINDOW></r>"));
  auto* Box = D.Find<TUICheckBox>("c");
  ASSERT_NE(Box, nullptr);
  EXPECT_TRUE(Box->FChecked);
  EXPECT_EQ(Box->FCaption, "Tick");
  D.DoMouseDown(120, 135, mbLeft); // 100 + 5 + 10 + 5, 100 + 20 + 10 + 5
  D.DoMouseUp(120, 135, mbLeft);
  EXPECT_FALSE(Box->FChecked);
}

TEST(UiLoader, EveryKindReadsItsOwnProperties) {
  TUIContainer C;
  ASSERT_TRUE(LoadText(C, R"(<r>
    <ROLLABLEWINDOW name="rw"><OPEN>true</OPEN><TITLE>T</TITLE><MARGINTOP>18</MARGINTOP><HEIGHT>90</HEIGHT></ROLLABLEWINDOW>
    <PAGE name="pg"><DRAWBACK>true</DRAWBACK><MARGINLEFT>-3</MARGINLEFT></PAGE>
    <EDIT name="ed"><TEXT>hello</TEXT><ENABLED>false</ENABLED></EDIT>
    <BAR name="bar"><CAPTION>HP</CAPTION><SHOWCAPTION>true</SHOWCAPTION><SHOWPOSITION>false</SHOWPOSITION><MIN>-5</MIN><MAX>50</MAX><POSITION>20</POSITION></BAR>
    <TRACKER name="tr"><MIN>1</MIN><MAX>7</MAX><POSITION>3</POSITION><CURSORWIDTH>10</CURSORWIDTH><MARGIN>4</MARGIN><CAPTION>Vol</CAPTION></TRACKER>
    <MULTITRACKER name="mt"><MIN>2</MIN><MAX>9</MAX><CURSORWIDTH>6</CURSORWIDTH><MARGIN>8</MARGIN><POSITION>5</POSITION></MULTITRACKER>
    <IMAGE name="im"><WIDTH>64</WIDTH><HEIGHT>32</HEIGHT></IMAGE>
  </r>)"));
  auto* RW = C.Find<TUIRollableWindow>("rw");
  ASSERT_NE(RW, nullptr);
  EXPECT_TRUE(RW->FOpen);
  EXPECT_EQ(RW->FTitle, "T");
  EXPECT_EQ(RW->GetHeight(), 90);
  auto* Page = C.Find<TUIPage>("pg");
  EXPECT_TRUE(Page->FDrawBack);
  EXPECT_EQ(Page->FMarginLeft, -3);
  auto* Ed = C.Find<TUIEdit>("ed");
  EXPECT_EQ(Ed->FText, "hello");
  EXPECT_FALSE(Ed->FEnabled);
  auto* Bar = C.Find<TUIBar>("bar");
  EXPECT_EQ(Bar->FCaption, "HP");
  EXPECT_TRUE(Bar->FShowCaption);
  EXPECT_FALSE(Bar->FShowPosition);
  EXPECT_EQ(Bar->FMin, -5);
  EXPECT_EQ(Bar->FMax, 50);
  EXPECT_EQ(Bar->FPosition, 20);
  auto* Tr = C.Find<TUITracker>("tr");
  EXPECT_EQ(Tr->FMin, 1);
  EXPECT_EQ(Tr->FMax, 7);
  EXPECT_EQ(Tr->FPosition, 3);
  EXPECT_EQ(Tr->FCursorWidth, 10);
  EXPECT_EQ(Tr->FMargin, 4);
  EXPECT_EQ(Tr->FCaption, "Vol");
  auto* Mt = C.Find<TUIMultiTracker>("mt");
  EXPECT_EQ(Mt->FMin, 2);
  EXPECT_EQ(Mt->FMax, 9);
  EXPECT_EQ(Mt->FCursorWidth, 6);
  EXPECT_EQ(Mt->FMargin, 8);
  EXPECT_EQ(Mt->FCursors.Count(), 0);
  auto* Im = C.Find<TUIImage>("im");
  EXPECT_EQ(Im->GetWidth(), 64);
  EXPECT_EQ(Im->FImage, 0u);
}

TEST(UiLoader, MalformedIntegerRaisesAConversionErrorNamingTheProperty) {
  for (const char* Bad : {"<LEFT>ten</LEFT>", "<LEFT></LEFT>", "<LEFT> 5 </LEFT>",
                          "<LEFT>99999999999</LEFT>", "<LEFT>5<b/></LEFT>"}) {
    TUIDesktop D;
    try {
      LoadText(D, std::string("<r><BUTTON name=\"ok\"/><BUTTON name=\"bad\">") + Bad +
                      "</BUTTON></r>");
      ADD_FAILURE() << "no error for " << Bad;
    } catch (const TXMLConvertError& Error) {
      EXPECT_NE(std::string(Error.what()).find("<LEFT> of <BUTTON name=\"bad\">"),
                std::string::npos)
          << Error.what();
    }
    ASSERT_EQ(D.Count(), 1) << Bad; // the widget being loaded is not added
    EXPECT_EQ(D.Get(0)->FName, "ok");
  }
}

TEST(UiLoader, MalformedIntegerInsideChildrenPropagatesToo) {
  TUIDesktop D;
  EXPECT_THROW(LoadText(D, "<r><WINDOW><CHILDREN><LIST><MARGINTOP>x</MARGINTOP></LIST></CHILDREN>"
                           "</WINDOW></r>"),
               TXMLConvertError);
  EXPECT_EQ(D.Count(), 0);
}

TEST(UiLoader, LoadingAppendsAndUpdatesTheModalLevel) {
  TUIDesktop D;
  ASSERT_TRUE(LoadText(D, "<r><LABEL name=\"first\"/></r>"));
  ASSERT_TRUE(LoadText(D, "<r><LABEL name=\"second\"/></r>"));
  ASSERT_EQ(D.Count(), 2);
  EXPECT_EQ(D.Get(1)->FName, "second");
  EXPECT_TRUE(LoadText(D, "<r>only text</r>"));
  EXPECT_EQ(D.Count(), 2);
}

TEST(UiLoader, FileFormsLoadAWholeFileAndOneWidget) {
  TTempFile File("gui_loader_test.ui", R"(<ui>
  <WINDOW name="MainWindow"><CHILDREN><BUTTON name="Inner"/></CHILDREN></WINDOW>
  <WINDOW name="CreateGameWindow"><TITLE>New game</TITLE>
    <CHILDREN><BUTTON name="AbortButton"/><BUTTON name="CreateButton"/></CHILDREN>
  </WINDOW>
</ui>)");
  TUIDesktop D;
  ASSERT_TRUE(LoadGUI(D, File.Path()));
  EXPECT_EQ(D.Count(), 2);

  std::unique_ptr<TUIWidget> W = LoadWidget(File.Path(), "CreateGameWindow");
  auto* Window = dynamic_cast<TUIWindow*>(W.get());
  ASSERT_NE(Window, nullptr);
  EXPECT_EQ(Window->FTitle, "New game");
  EXPECT_EQ(Window->FParent, nullptr);
  EXPECT_NE(Window->WidgetByName("AbortButton"), nullptr);
  // Only top-level widgets are found, and the attribute is compared exactly.
  EXPECT_EQ(LoadWidget(File.Path(), "Inner"), nullptr);
  EXPECT_EQ(LoadWidget(File.Path(), "creategamewindow"), nullptr);
  EXPECT_EQ(LoadWidget(File.Path(), "Missing"), nullptr);

  auto Modal = LoadWidgetAs<TUIWindow>(File.Path(), "CreateGameWindow");
  ASSERT_NE(Modal, nullptr);
  D.AddModal(std::move(Modal));
  EXPECT_EQ(D.FCurrentModal, 1);
  EXPECT_EQ(LoadWidgetAs<TUIButton>(File.Path(), "MainWindow"), nullptr);
}

TEST(UiLoader, LoadWidgetTakesTheFirstMatchAndIgnoresUnknownTags) {
  TXMLDocument Doc;
  Doc.LoadFromMemory("<r><bogus name=\"x\"/><LABEL name=\"x\"/><LABEL name=\"y\"><LEFT>1</LEFT>"
                     "</LABEL><LABEL name=\"y\"><LEFT>2</LEFT></LABEL></r>");
  EXPECT_EQ(LoadWidget(*Doc.Node, "x"), nullptr);
  std::unique_ptr<TUIWidget> Y = LoadWidget(*Doc.Node, "y");
  ASSERT_NE(Y, nullptr);
  EXPECT_EQ(Y->FLeft, 1);
}

TEST(UiLoader, MissingOrMalformedFileRaisesAndAddsNothing) {
  TUIDesktop D;
  EXPECT_THROW(LoadGUI(D, "no_such_file.ui"), TXMLFileError);
  EXPECT_THROW(LoadWidget(std::string("no_such_file.ui"), "x"), TXMLFileError);
  TTempFile Broken("gui_loader_broken.ui", "<r><BUTTON name=\"a\"/><LABEL></r>");
  EXPECT_THROW(LoadGUI(D, Broken.Path()), TXMLError);
  EXPECT_EQ(D.Count(), 0);
}

} // namespace
