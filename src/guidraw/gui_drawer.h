#pragma once
// Paints a desktop's widget tree with immediate-mode OpenGL: nine-slice frames cut from the
// interface textures, untextured bars, and text from an 8 x 8 bitmap font. Expects the 2D pixel
// projection (origin top-left, Y downwards), texturing and blending on; changes no widget.
// Everything a widget draws, its children included, is clipped to the widget's rectangle.

#include "guidraw/clipping_output.h"
#include "guidraw/gui_output.h"

#include <string>

class TGenericMediaManager;
class TGUICommandList;
class TUIBar;
class TUIButton;
class TUICheckBox;
class TUIContainer;
class TUIDesktop;
class TUIEdit;
class TUIImage;
class TUILabel;
class TUILayered;
class TUIList;
class TUIPage;
class TUITracker;
class TUIWidget;
class TUIWindow;

// On-screen size of a glyph in pixels (named apart from the C library's CHAR_WIDTH macro). Text
// advances by FONT_CHAR_WIDTH - 1 per character.
inline constexpr int FONT_CHAR_WIDTH = 8;
inline constexpr int FONT_CHAR_HEIGHT = 8;

// One glyph of the bound font texture at (X, Y). The font is a 16 x 16 grid of cells; codes 32
// to 127 fill rows 8 to 13 in code order. Any other code draws the blank cell of the space.
void DrawChar(int X, int Y, char C);
// S in black, one glyph every FONT_CHAR_WIDTH - 1 pixels. No clipping or wrapping.
void DrawString(int X, int Y, const std::string& S);
// A quad mapping one quarter of the bound texture each way, from (U, V), onto the rectangle.
void DrawRectUV25(int X, int Y, int W, int H, float U, float V);
// A nine-slice frame with 16-pixel borders cut from the upper-left 3 x 3 quarter cells of the
// bound texture. A frame narrower or lower than 32 pixels draws its four corners only; pieces of
// zero size are left out.
void DrawRect(int X, int Y, int W, int H);

// What a screen draws its desktop with.
class TAbstractGUIDrawer {
public:
  virtual ~TAbstractGUIDrawer() = default;
  virtual void Draw(TUIDesktop& Desktop) = 0;
  // Puts into Commands (emptied first) what Draw would draw, drawing nothing, and answers true;
  // a drawer that cannot record answers false and the caller draws with Draw.
  virtual bool Record(TUIDesktop&, TGUICommandList&) { return false; }
};

class TGUIDrawer : public TAbstractGUIDrawer {
public:
  // The media manager gives the textures by name; it is used, not owned.
  explicit TGUIDrawer(TGenericMediaManager* MediaManager) : FMan(MediaManager) {}

  // Draws the desktop's children back to front; the desktop itself has no frame.
  void Draw(TUIDesktop& Desktop) override;
  // The same primitives as Draw, texture look-ups included, kept in Commands instead.
  bool Record(TUIDesktop& Desktop, TGUICommandList& Commands) override;
  // Draws W by its kind, clipped to its rectangle; kinds without a look (a plain container, a
  // multi-tracker) draw nothing.
  void DrawWidget(TUIWidget& W);
  // Draws C's children in C's client coordinates.
  void DrawChildren(TUIContainer& C);
  void DrawWindow(TUIWindow& W);
  void DrawLayered(TUILayered& W);
  void DrawImage(TUIImage& W);
  // The end of a text too long for the edit, so that the caret stays in view.
  void DrawEdit(TUIEdit& W);
  void DrawPage(TUIPage& W);
  void DrawLabel(TUILabel& W);
  void DrawButton(TUIButton& W);
  // The rows the list shows from its first shown row on, and, while rows wait below them, a
  // small arrow in the room under the last one.
  void DrawList(TUIList& W);
  void DrawTracker(TUITracker& W);
  void DrawCheckBox(TUICheckBox& W);
  void DrawBar(TUIBar& W);

  TGenericMediaManager* FMan = nullptr;

private:
  // DrawWidget without the clipping: the method of W's kind.
  void DrawKind(TUIWidget& W);
  // Binds the named texture; a texture the manager cannot give leaves none bound, so what
  // follows is drawn untextured.
  void BindTexture(const std::string& Name);
  // The frame texture of a widget: the normal one, or the grey one when it is disabled.
  void BindFrame(const TUIWidget& W, const std::string& Enabled, const std::string& Disabled);
  // The frame colour: yellow while W has the focus, white otherwise.
  void FocusColor(const TUIWidget& W);
  void DrawText(int X, int Y, const std::string& S);
  // An untextured rectangle; texturing is on again afterwards.
  void PlainRectangle(long long X, long long Y, long long W, long long H, float R, float G,
                      float B);

  // Where the primitives go, clipped: OpenGL, or the list being recorded.
  TClippingOutput FOut{GLGUIOutput()};
};
