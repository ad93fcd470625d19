// Sections: glyphs and frames (the free functions) | recording and dispatch by widget kind |
// one method per widget kind. Everything is drawn through an output (gui_output.h): OpenGL
// directly, or a command list when a frame is recorded.
#include "guidraw/gui_drawer.h"

#include "gfx/media_manager.h"
#include "gfx/texture.h"
#include "gui/gui.h"
#include "guidraw/gui_command_list.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// The font texture is a 16 x 16 grid; text uses its lower half, from the space character on.
constexpr int FONT_GRID = 16;
constexpr float FONT_CELL = 1.0f / FONT_GRID;
constexpr float FONT_TEXT_TOP = 0.5f;
constexpr unsigned FIRST_CHAR = 32;
constexpr unsigned LAST_CHAR = 127;

// Nine-slice frames: 16-pixel borders, each piece a quarter of the texture.
constexpr int BORDER = 16;
constexpr float QUARTER = 0.25f;

// Where text and marks sit inside the widgets, in pixels from the widget's corner.
constexpr int TITLE_X = 10, TITLE_Y = 5;
constexpr int CAPTION_X = 12, CAPTION_Y = 10;
constexpr int PRESSED_SINK = 3;
// List rows: the list's own geometry, which its hit-testing and scrolling use as well.
constexpr int LIST_TEXT_X = TUIList::TextInset, LIST_ROW = TUIList::RowHeight;
constexpr int LIST_BAR_X = TUIList::TextInset, LIST_BAR_Y = TUIList::RowsInset;
constexpr int LIST_TEXT_Y = LIST_BAR_Y + 4, LIST_BAR_HEIGHT = LIST_ROW + 1;
static_assert(GlyphWidth == FONT_CHAR_WIDTH && GlyphAdvance == FONT_CHAR_WIDTH - 1,
              "widgets measure their text in the drawer's font");
// The arrow of a list with rows below its view: MORE_STEPS black bars, each MORE_STEP high and
// 4 pixels narrower than the one above, centred MORE_RIGHT pixels left of the list's right edge,
// the first MORE_BOTTOM pixels above its bottom edge.
constexpr int MORE_STEPS = 4, MORE_STEP = 2, MORE_RIGHT = 20, MORE_BOTTOM = 11;
constexpr int CHECK_SIZE = 32, CHECK_CAPTION_X = 34;
constexpr int BAR_CAPTION_OFFSET = 4;

constexpr float SELECTION_GREY = 0.6f;

const std::string FONT = "font";
const std::string WINDOW_FRAME = "interf3";
const std::string WINDOW_FRAME_DISABLED = "interf3b";
const std::string FRAME = "interf4";
const std::string FRAME_DISABLED = "interf4g";
const std::string BAR_FRAME = "interf6";
const std::string TICK = "interftick";

// Widget geometry comes from .ui files and may be anything; sums are made in 64 bits and
// limited to the int range before they reach OpenGL.
int Px(long long V) {
  return static_cast<int>(std::clamp<long long>(V, INT_MIN, INT_MAX));
}

struct TBox {
  long long L, T, W, H;
};

TBox BoxOf(const TUIWidget& W) {
  return {W.FLeft, W.FTop, W.GetWidth(), W.GetHeight()};
}

float F(long long V) {
  return static_cast<float>(V);
}

// The quad of the rectangle (X, Y, W, H) with (U, V) to (U + DU, V + DV) of the texture.
TGUIQuad QuadOf(long long X, long long Y, long long W, long long H, float U, float V, float DU,
                float DV) {
  return {F(X), F(Y), F(X + W), F(Y + H), U, V, U + DU, V + DV};
}

// The glyph quad of character C at (X, Y).
TGUIQuad Glyph(long long X, long long Y, char C) {
  unsigned code = static_cast<unsigned char>(C);
  if (code < FIRST_CHAR || code > LAST_CHAR) {
    code = FIRST_CHAR;
  }
  const unsigned k = code - FIRST_CHAR;
  const float u = static_cast<float>(k % FONT_GRID) * FONT_CHAR_WIDTH / 128.0f;
  const float v = static_cast<float>(k / FONT_GRID) * FONT_CHAR_HEIGHT / 128.0f + FONT_TEXT_TOP;
  return QuadOf(X, Y, FONT_CHAR_WIDTH, FONT_CHAR_HEIGHT, u, v, FONT_CELL, FONT_CELL);
}

// The free functions' bodies, for any output: text and frames go out as one batch each.
void DrawStringTo(TGUIOutput& Out, long long X, long long Y, const std::string& S) {
  Out.Color(0, 0, 0);
  if (S.empty()) {
    return;
  }
  Out.BeginQuads();
  for (char c : S) {
    Out.Quad(Glyph(X, Y, c));
    X += FONT_CHAR_WIDTH - 1;
  }
  Out.EndQuads();
}

void DrawRectTo(TGUIOutput& Out, long long X, long long Y, long long W, long long H) {
  const long long right = X + W - BORDER, bottom = Y + H - BORDER;
  const long long innerW = W - 2 * BORDER, innerH = H - 2 * BORDER;
  Out.BeginQuads();
  Out.Quad(QuadOf(X, Y, BORDER, BORDER, 0, 0, QUARTER, QUARTER));
  Out.Quad(QuadOf(X, bottom, BORDER, BORDER, 0, 2 * QUARTER, QUARTER, QUARTER));
  Out.Quad(QuadOf(right, Y, BORDER, BORDER, 2 * QUARTER, 0, QUARTER, QUARTER));
  Out.Quad(QuadOf(right, bottom, BORDER, BORDER, 2 * QUARTER, 2 * QUARTER, QUARTER, QUARTER));
  // A frame too small for edges is its corners alone.
  if (innerW >= 0 && innerH >= 0) {
    if (innerW > 0) {
      Out.Quad(QuadOf(X + BORDER, Y, innerW, BORDER, QUARTER, 0, QUARTER, QUARTER));
      Out.Quad(QuadOf(X + BORDER, bottom, innerW, BORDER, QUARTER, 2 * QUARTER, QUARTER, QUARTER));
    }
    if (innerH > 0) {
      Out.Quad(QuadOf(X, Y + BORDER, BORDER, innerH, 0, QUARTER, QUARTER, QUARTER));
      Out.Quad(QuadOf(right, Y + BORDER, BORDER, innerH, 2 * QUARTER, QUARTER, QUARTER, QUARTER));
    }
    if (innerW > 0 && innerH > 0) {
      Out.Quad(QuadOf(X + BORDER, Y + BORDER, innerW, innerH, QUARTER, QUARTER, QUARTER, QUARTER));
    }
  }
  Out.EndQuads();
}

} // namespace

void DrawChar(int X, int Y, char C) {
  TGUIOutput& out = GLGUIOutput();
  out.BeginQuads();
  out.Quad(Glyph(X, Y, C));
  out.EndQuads();
}

void DrawString(int X, int Y, const std::string& S) {
  DrawStringTo(GLGUIOutput(), X, Y, S);
}

void DrawRectUV25(int X, int Y, int W, int H, float U, float V) {
  TGUIOutput& out = GLGUIOutput();
  out.BeginQuads();
  out.Quad(QuadOf(X, Y, W, H, U, V, QUARTER, QUARTER));
  out.EndQuads();
}

void DrawRect(int X, int Y, int W, int H) {
  DrawRectTo(GLGUIOutput(), X, Y, W, H);
}

void TGUIDrawer::BindTexture(const std::string& Name) {
  TTexture* texture = FMan != nullptr ? FMan->GetTextureByName(Name) : nullptr;
  FOut.BindTexture(texture != nullptr ? texture->Texture : 0);
}

void TGUIDrawer::BindFrame(const TUIWidget& W, const std::string& Enabled,
                           const std::string& Disabled) {
  BindTexture(W.FEnabled ? Enabled : Disabled);
}

void TGUIDrawer::FocusColor(const TUIWidget& W) {
  if (W.IsFocused()) {
    FOut.Color(1, 1, 0);
  } else {
    FOut.Color(1, 1, 1);
  }
}

void TGUIDrawer::DrawText(int X, int Y, const std::string& S) {
  BindTexture(FONT);
  DrawStringTo(FOut, X, Y, S);
}

void TGUIDrawer::PlainRectangle(long long X, long long Y, long long W, long long H, float R,
                                float G, float B) {
  FOut.PlainRectangle(F(X), F(Y), F(W), F(H), R, G, B);
}

bool TGUIDrawer::Record(TUIDesktop& Desktop, TGUICommandList& Commands) {
  Commands.Clear();
  // The drawing goes back to OpenGL however Draw ends.
  struct TRestore {
    TClippingOutput& Out;
    ~TRestore() { Out.SetTarget(GLGUIOutput()); }
  } restore{FOut};
  FOut.SetTarget(Commands);
  Draw(Desktop);
  return true;
}

void TGUIDrawer::Draw(TUIDesktop& Desktop) {
  FOut.Reset();
  for (int i = 0; i < Desktop.Count(); ++i) {
    DrawWidget(*Desktop.Get(i));
  }
}

void TGUIDrawer::DrawWidget(TUIWidget& W) {
  const TBox b = BoxOf(W);
  FOut.PushClip(F(b.L), F(b.T), F(b.W), F(b.H));
  DrawKind(W);
  FOut.PopClip();
}

void TGUIDrawer::DrawKind(TUIWidget& W) {
  if (auto* w = dynamic_cast<TUIWindow*>(&W)) {
    DrawWindow(*w);
  } else if (auto* b = dynamic_cast<TUIButton*>(&W)) {
    DrawButton(*b);
  } else if (auto* l = dynamic_cast<TUILayered*>(&W)) {
    DrawLayered(*l);
  } else if (auto* p = dynamic_cast<TUIPage*>(&W)) {
    DrawPage(*p);
  } else if (auto* e = dynamic_cast<TUIEdit*>(&W)) {
    DrawEdit(*e);
  } else if (auto* li = dynamic_cast<TUIList*>(&W)) {
    DrawList(*li);
  } else if (auto* t = dynamic_cast<TUITracker*>(&W)) {
    DrawTracker(*t);
  } else if (auto* i = dynamic_cast<TUIImage*>(&W)) {
    DrawImage(*i);
  } else if (auto* la = dynamic_cast<TUILabel*>(&W)) {
    DrawLabel(*la);
  } else if (auto* c = dynamic_cast<TUICheckBox*>(&W)) {
    DrawCheckBox(*c);
  } else if (auto* ba = dynamic_cast<TUIBar*>(&W)) {
    DrawBar(*ba);
  }
}

void TGUIDrawer::DrawChildren(TUIContainer& C) {
  const long long dx = static_cast<long long>(C.FLeft) + C.FMarginLeft;
  const long long dy = static_cast<long long>(C.FTop) + C.FMarginTop;
  FOut.Translate(F(dx), F(dy));
  for (int i = 0; i < C.Count(); ++i) {
    DrawWidget(*C.Get(i));
  }
  FOut.Translate(F(-dx), F(-dy));
}

void TGUIDrawer::DrawWindow(TUIWindow& W) {
  const TBox b = BoxOf(W);
  BindFrame(W, WINDOW_FRAME, WINDOW_FRAME_DISABLED);
  FocusColor(W);
  DrawRectTo(FOut, Px(b.L), Px(b.T), Px(b.W), Px(b.H));
  DrawText(Px(b.L + TITLE_X), Px(b.T + TITLE_Y), W.FTitle);
  DrawChildren(W);
}

void TGUIDrawer::DrawButton(TUIButton& W) {
  const TBox b = BoxOf(W);
  BindFrame(W, FRAME, FRAME_DISABLED);
  FocusColor(W);
  DrawRectTo(FOut, Px(b.L), Px(b.T), Px(b.W), Px(b.H));
  const int sink = W.Clicked ? PRESSED_SINK : 0;
  DrawText(Px(b.L + CAPTION_X), Px(b.T + CAPTION_Y + sink), W.FCaption);
}

void TGUIDrawer::DrawEdit(TUIEdit& W) {
  const TBox b = BoxOf(W);
  BindFrame(W, FRAME, FRAME_DISABLED);
  FocusColor(W);
  DrawRectTo(FOut, Px(b.L), Px(b.T), Px(b.W), Px(b.H));
  std::string shown = W.FMask ? std::string(W.FText.size(), '*') : W.FText;
  if (W.IsFocused()) {
    shown += '_';
  }
  const std::size_t fits = CharsThatFit(b.W - 2 * CAPTION_X);
  if (shown.size() > fits) {
    shown.erase(0, shown.size() - fits);
  }
  DrawText(Px(b.L + CAPTION_X), Px(b.T + CAPTION_Y), shown);
}

void TGUIDrawer::DrawList(TUIList& W) {
  const TBox b = BoxOf(W);
  BindFrame(W, FRAME, FRAME_DISABLED);
  FOut.Color(1, 1, 1);
  DrawRectTo(FOut, Px(b.L), Px(b.T), Px(b.W), Px(b.H));
  const long long first = W.FirstShownRow();
  const long long shown = std::min<long long>(W.VisibleRows(), W.RowCount() - first);
  const long long selected = static_cast<long long>(W.FIndex) - first;
  if (selected >= 0 && selected < shown && !W.Simple) {
    PlainRectangle(b.L + LIST_BAR_X, b.T + LIST_BAR_Y + LIST_ROW * selected, b.W - 2 * LIST_BAR_X,
                   LIST_BAR_HEIGHT, SELECTION_GREY, SELECTION_GREY, SELECTION_GREY);
  }
  BindTexture(FONT);
  for (long long i = 0; i < shown; ++i) {
    DrawStringTo(FOut, Px(b.L + LIST_TEXT_X), Px(b.T + LIST_TEXT_Y + LIST_ROW * i),
                 W.FStrings[static_cast<std::size_t>(first + i)]);
  }
  if (!W.ShowsLastRow()) {
    const long long centre = b.L + b.W - MORE_RIGHT;
    for (int step = 0; step < MORE_STEPS; ++step) {
      const int halfWidth = 2 * (MORE_STEPS - 1 - step);
      PlainRectangle(centre - halfWidth, b.T + b.H - MORE_BOTTOM + MORE_STEP * step,
                     2 * halfWidth + 1, MORE_STEP, 0, 0, 0);
    }
  }
}

void TGUIDrawer::DrawTracker(TUITracker& W) {
  const TBox b = BoxOf(W);
  BindFrame(W, FRAME, FRAME_DISABLED);
  FOut.Color(1, 1, 1);
  DrawRectTo(FOut, Px(b.L), Px(b.T), Px(b.W), Px(b.H));
  // An empty range puts the cursor at the left margin instead of dividing by zero.
  const long long centre = W.FMax == W.FMin ? W.FMargin : W.TranslateLogicToReal(W.FPosition);
  PlainRectangle(b.L + centre - W.FCursorWidth / 2, b.T, W.FCursorWidth, b.H, SELECTION_GREY,
                 SELECTION_GREY, SELECTION_GREY);
  DrawText(Px(b.L + CAPTION_X), Px(b.T + CAPTION_Y), std::to_string(W.FPosition));
}

void TGUIDrawer::DrawLabel(TUILabel& W) {
  DrawText(W.FLeft, W.FTop, W.FCaption);
}

void TGUIDrawer::DrawImage(TUIImage& W) {
  const TBox b = BoxOf(W);
  FOut.BindTexture(W.FImage);
  FOut.Rectangle(F(b.L), F(b.T), F(b.W), F(b.H), 1, 1, 1);
}

void TGUIDrawer::DrawCheckBox(TUICheckBox& W) {
  const TBox b = BoxOf(W);
  BindFrame(W, FRAME, FRAME_DISABLED);
  FocusColor(W);
  DrawRectTo(FOut, Px(b.L), Px(b.T), CHECK_SIZE, CHECK_SIZE);
  if (W.FChecked) {
    BindTexture(TICK);
    FOut.Rectangle(F(b.L), F(b.T), CHECK_SIZE, CHECK_SIZE, 1, 1, 1);
  }
  DrawText(Px(b.L + CHECK_CAPTION_X), Px(b.T + CAPTION_Y), W.FCaption);
}

void TGUIDrawer::DrawBar(TUIBar& W) {
  const TBox b = BoxOf(W);
  // A bar without a positive maximum has no fraction to fill.
  if (W.FPosition > 0 && W.FMax > 0) {
    const double p = std::min(W.FPosition, W.FMax);
    const double filled = static_cast<double>(b.W) / (W.FMax / p);
    const long long fillW = static_cast<long long>(std::trunc(filled)) - 2;
    if (fillW > 0 && b.H > 2) {
      PlainRectangle(b.L + 1, b.T + 1, fillW, b.H - 2, 1, 1, 0);
    }
  }
  BindTexture(BAR_FRAME);
  FOut.Color(1, 1, 1);
  DrawRectTo(FOut, Px(b.L), Px(b.T), Px(b.W), Px(b.H));
  if (W.FShowCaption) {
    DrawText(Px(b.L + BAR_CAPTION_OFFSET), Px(b.T + BAR_CAPTION_OFFSET), W.FCaption);
  }
  if (W.FShowPosition) {
    const std::string s = std::to_string(W.FPosition) + "/" + std::to_string(W.FMax);
    const long long x = b.L + b.W / 2 - static_cast<long long>(s.size()) * FONT_CHAR_WIDTH / 2;
    const long long y = b.T + b.H / 2 - FONT_CHAR_HEIGHT / 2;
    DrawText(Px(x), Px(y), s);
  }
}

void TGUIDrawer::DrawPage(TUIPage& W) {
  if (W.FDrawBack) {
    const TBox b = BoxOf(W);
    BindFrame(W, FRAME, FRAME_DISABLED);
    FOut.Color(1, 1, 1);
    DrawRectTo(FOut, Px(b.L), Px(b.T), Px(b.W), Px(b.H));
  }
  DrawChildren(W);
}

void TGUIDrawer::DrawLayered(TUILayered& W) {
  TUIWidget* page = W.ActivePage();
  if (page == nullptr) {
    return;
  }
  const long long dx = static_cast<long long>(W.FLeft) + W.FMarginLeft;
  const long long dy = static_cast<long long>(W.FTop) + W.FMarginTop;
  FOut.Translate(F(dx), F(dy));
  DrawWidget(*page);
  FOut.Translate(F(-dx), F(-dy));
}
