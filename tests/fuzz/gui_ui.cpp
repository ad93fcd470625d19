// Fuzz target: arbitrary bytes loaded as a .ui file into a desktop, then a stream of mouse and key
// events, page switches, new modal windows and widgets destroyed from inside their own handlers.
//
// Input: the .ui text, optionally followed by a line "%%" and the bytes that drive the events.
// Without that line the events come from a generator seeded by the input, so plain .ui files are
// useful seeds. After every event the desktop must be consistent: every child knows its parent,
// the desktop points only at live widgets of its own tree, its modal level is the highest one
// present, and no dispatch is left open.
#include "gui/gui.h"
#include "xml/document.h"
#include "xml/error.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace {

// The bytes that drive the events: the script while it lasts, then a generator seeded by the input.
class TEventSource {
public:
  TEventSource(std::string_view Script, std::uint64_t Seed) : FScript(Script), FState(Seed | 1) {}

  std::uint8_t Byte() {
    if (FPos < FScript.size())
      return static_cast<std::uint8_t>(FScript[FPos++]);
    FState ^= FState << 13;
    FState ^= FState >> 7;
    FState ^= FState << 17;
    return static_cast<std::uint8_t>(FState >> 24);
  }
  // Mostly on-screen coordinates, sometimes anything a 32-bit integer holds.
  std::int32_t Coordinate() {
    const std::uint8_t Kind = Byte();
    if (Kind < 8) {
      std::uint32_t V = 0;
      for (int I = 0; I < 4; ++I)
        V = (V << 8) | Byte();
      return static_cast<std::int32_t>(V);
    }
    return static_cast<std::int32_t>((Byte() << 8 | Byte()) % 900) - 50;
  }

private:
  std::string_view FScript;
  std::size_t FPos = 0;
  std::uint64_t FState;
};

void Require(bool Condition) {
  if (!Condition)
    std::abort();
}

// Every widget below C, in tree order (so that runs are reproducible), each exactly once.
void CollectTree(const TUIContainer& C, std::unordered_set<const TUIWidget*>& All,
                 std::vector<TUIWidget*>& Widgets) {
  for (int I = 0; I < C.Count(); ++I) {
    TUIWidget* W = C.Get(I);
    Require(W != nullptr && W->FParent == &C);
    Require(All.insert(W).second);
    Widgets.push_back(W);
    if (auto* Sub = dynamic_cast<const TUIContainer*>(W))
      CollectTree(*Sub, All, Widgets);
  }
}

// Checks the desktop's consistency and lists its widgets for the next event.
void CheckDesktop(const TUIDesktop& D, std::vector<TUIWidget*>& Widgets) {
  std::unordered_set<const TUIWidget*> All;
  Widgets.clear();
  CollectTree(D, All, Widgets);
  Require(!D.IsDispatching());
  Require(D.FOver == nullptr || D.FOver == &D || All.count(D.FOver) == 1);
  Require(D.FFocused == nullptr || D.FFocused == &D || All.count(D.FFocused) == 1);
  Require(D.FMovingWindow == nullptr || D.FMovingWindow->FParent == &D);
  std::int32_t Modal = 0;
  for (int I = 0; I < D.Count(); ++I)
    if (auto* W = dynamic_cast<const TUIAbstractWindow*>(D.Get(I)))
      Modal = std::max(Modal, W->ModalValue);
  Require(D.FCurrentModal == Modal);
}

// Handlers that, as the event source decides, do nothing, destroy their sender, or destroy the
// sender's parent (as a window's close button does).
void AttachHandlers(TUIWidget* W, TEventSource& Events) {
  TOnSimpleEvent Simple = [&Events](TUIWidget* Sender) {
    const std::uint8_t B = Events.Byte();
    if (B < 24)
      Sender->RequestDestroy();
    else if (B < 48 && Sender->FParent != nullptr)
      Sender->FParent->RequestDestroy();
  };
  W->FOnMouseDown = [Simple](TUIWidget* S, std::int32_t, std::int32_t, TMouseButton) { Simple(S); };
  W->FOnMouseUp = W->FOnMouseDown;
  W->FOnMouseMove = [Simple](TUIWidget* S, std::int32_t, std::int32_t) { Simple(S); };
  if (auto* B = dynamic_cast<TUIButton*>(W))
    B->FOnClick = Simple;
  if (auto* E = dynamic_cast<TUIEdit*>(W))
    E->FOnEnter = Simple;
  if (auto* L = dynamic_cast<TUIList*>(W))
    L->FOnClick = Simple;
  if (auto* C = dynamic_cast<TUICheckBox*>(W))
    C->FOnToggle = Simple;
  if (auto* T = dynamic_cast<TUITracker*>(W))
    T->FOnChange = Simple;
  if (auto* M = dynamic_cast<TUIMultiTracker*>(W)) {
    M->FOnChange = Simple;
    M->FOnSelect = Simple;
  }
}

void AttachAll(TUIContainer& C, TEventSource& Events) {
  for (int I = 0; I < C.Count(); ++I) {
    AttachHandlers(C.Get(I), Events);
    if (auto* Sub = dynamic_cast<TUIContainer*>(C.Get(I)))
      AttachAll(*Sub, Events);
  }
}

// Work that is not an input event: what the screens do to a desktop between events.
void Tamper(TUIDesktop& D, const std::vector<TUIWidget*>& Widgets, TEventSource& Events) {
  TUIWidget* W = Widgets.empty() ? nullptr : Widgets[Events.Byte() % Widgets.size()];
  switch (Events.Byte() % 8) {
  case 0:
    if (W != nullptr)
      W->RequestDestroy();
    break;
  case 1:
    if (auto* L = dynamic_cast<TUILayered*>(W))
      L->SwitchPage(Events.Byte() % 2 ? "pagChat" : "PAGGAMES");
    break;
  case 2:
    if (auto* M = dynamic_cast<TUIMultiTracker*>(W))
      M->AddCursor()->FPosition = static_cast<std::int8_t>(Events.Byte());
    break;
  case 3: {
    auto Window = std::make_unique<TUIWindow>();
    Window->FLeft = Events.Coordinate();
    Window->FTop = Events.Coordinate();
    Window->FMarginTop = Events.Byte() % 32;
    auto Close = std::make_unique<TUIButton>();
    AttachHandlers(Close.get(), Events);
    Window->Add(std::move(Close));
    AttachHandlers(Window.get(), Events);
    D.AddModal(std::move(Window));
    break;
  }
  case 4:
    if (W != nullptr)
      W->Focus();
    break;
  case 5:
    if (W != nullptr && W->FParent != nullptr) {
      TUIContainer* Parent = W->FParent;
      std::unique_ptr<TUIWidget> Taken = Parent->Remove(W);
      if (Events.Byte() % 2)
        Parent->Add(std::move(Taken));
    }
    break;
  case 6:
    if (auto* L = dynamic_cast<TUIList*>(W)) {
      L->FIndex = static_cast<std::int8_t>(Events.Byte());
      (void)L->GetText();
    }
    break;
  default:
    if (W != nullptr) {
      W->FEnabled = Events.Byte() % 4 != 0;
      W->FVisible = Events.Byte() % 4 != 0;
    }
    break;
  }
}

std::uint64_t Hash(std::string_view Bytes) {
  std::uint64_t H = 1469598103934665603ull;
  for (char C : Bytes)
    H = (H ^ static_cast<std::uint8_t>(C)) * 1099511628211ull;
  return H;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string_view Input(reinterpret_cast<const char*>(Data), Size);
  const std::size_t Split = Input.find("\n%%\n");
  const std::string_view Ui = Input.substr(0, Split);
  const std::string_view Script =
      Split == std::string_view::npos ? std::string_view() : Input.substr(Split + 4);
  TEventSource Events(Script, Hash(Input));

  TUIDesktop D;
  TXMLDocument Doc;
  try {
    Doc.LoadFromMemory(Ui);
  } catch (const TXMLError&) {
    return 0;
  }
  try {
    LoadGUI(D, *Doc.Node);
  } catch (const TXMLConvertError&) {
    // What was loaded before the malformed number stays; the events still run on it.
  }
  // A top-level widget loaded a second time, as the lobby shows its game window.
  for (const auto& Child : Doc.Node->Children) {
    const std::string& Name = Child->Attributes.GetAttribute("name");
    if (Name.empty())
      continue;
    try {
      std::unique_ptr<TUIWidget> W = LoadWidget(*Doc.Node, Name);
      if (auto* Window = dynamic_cast<TUIWindow*>(W.get())) {
        W.release();
        D.AddModal(std::unique_ptr<TUIWindow>(Window));
      } else {
        D.Add(std::move(W));
      }
    } catch (const TXMLConvertError&) {
    }
    break;
  }
  AttachAll(D, Events);

  std::vector<TUIWidget*> Widgets;
  CheckDesktop(D, Widgets);
  const int EventCount = 64 + static_cast<int>(Script.size());
  for (int I = 0; I < EventCount; ++I) {
    const std::uint8_t Kind = Events.Byte() % 10;
    const TMouseButton Button = static_cast<TMouseButton>(Events.Byte() % 6);
    switch (Kind) {
    case 0:
    case 1:
    case 2: {
      const std::int32_t X = Events.Coordinate(), Y = Events.Coordinate();
      D.DoMouseMove(X, Y);
      break;
    }
    case 3:
    case 4: {
      const std::int32_t X = Events.Coordinate(), Y = Events.Coordinate();
      D.DoMouseDown(X, Y, Button);
      break;
    }
    case 5:
    case 6: {
      const std::int32_t X = Events.Coordinate(), Y = Events.Coordinate();
      D.DoMouseUp(X, Y, Button);
      break;
    }
    case 7:
    case 8:
      D.DoKeyPress(static_cast<char>(Events.Byte()));
      break;
    default:
      Tamper(D, Widgets, Events);
      break;
    }
    CheckDesktop(D, Widgets);
  }
  return 0;
}
