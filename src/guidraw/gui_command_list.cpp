#include "guidraw/gui_command_list.h"

void TGUICommandList::BindTexture(std::uint32_t Texture) {
  FCommands.push_back({TOp::Bind, Texture, {}});
}

void TGUICommandList::Color(float R, float G, float B) {
  Add(TOp::Color, {R, G, B});
}

void TGUICommandList::BeginQuads() {
  Add(TOp::BeginQuads);
}

void TGUICommandList::Quad(const TGUIQuad& Q) {
  Add(TOp::Quad, {Q.X0, Q.Y0, Q.X1, Q.Y1, Q.U0, Q.V0, Q.U1, Q.V1});
}

void TGUICommandList::EndQuads() {
  Add(TOp::EndQuads);
}

void TGUICommandList::Rectangle(float X, float Y, float W, float H, float R, float G, float B) {
  Add(TOp::Rectangle, {X, Y, W, H, R, G, B});
}

void TGUICommandList::PlainRectangle(float X, float Y, float W, float H, float R, float G,
                                     float B) {
  Add(TOp::PlainRectangle, {X, Y, W, H, R, G, B});
}

void TGUICommandList::Translate(float X, float Y) {
  Add(TOp::Translate, {X, Y});
}

void TGUICommandList::Replay(TGUIOutput& Out) const {
  for (const TCommand& c : FCommands) {
    const auto& a = c.Args;
    switch (c.Op) {
    case TOp::Bind:
      Out.BindTexture(c.Texture);
      break;
    case TOp::Color:
      Out.Color(a[0], a[1], a[2]);
      break;
    case TOp::BeginQuads:
      Out.BeginQuads();
      break;
    case TOp::Quad:
      Out.Quad({a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]});
      break;
    case TOp::EndQuads:
      Out.EndQuads();
      break;
    case TOp::Rectangle:
      Out.Rectangle(a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
      break;
    case TOp::PlainRectangle:
      Out.PlainRectangle(a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
      break;
    case TOp::Translate:
      Out.Translate(a[0], a[1]);
      break;
    }
  }
}
