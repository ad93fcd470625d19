#pragma once
// The GUI drawer's primitives of one frame, kept in order. Two lists are equal exactly when they
// hold the same primitives with the same values, so a frame whose list equals the one before it
// draws the same picture; Replay sends the primitives to another output (OpenGL) as they came.

#include "guidraw/gui_output.h"

#include <array>
#include <cstdint>
#include <vector>

class TGUICommandList : public TGUIOutput {
public:
  void BindTexture(std::uint32_t Texture) override;
  void Color(float R, float G, float B) override;
  void BeginQuads() override;
  void Quad(const TGUIQuad& Q) override;
  void EndQuads() override;
  void Rectangle(float X, float Y, float W, float H, float R, float G, float B) override;
  void PlainRectangle(float X, float Y, float W, float H, float R, float G, float B) override;
  void Translate(float X, float Y) override;

  // Sends every kept primitive to Out, in order.
  void Replay(TGUIOutput& Out) const;
  // Empties the list; its storage is kept for the next frame.
  void Clear() { FCommands.clear(); }
  std::size_t Size() const { return FCommands.size(); }
  bool operator==(const TGUICommandList& Other) const { return FCommands == Other.FCommands; }

private:
  enum class TOp : std::uint8_t {
    Bind,
    Color,
    BeginQuads,
    Quad,
    EndQuads,
    Rectangle,
    PlainRectangle,
    Translate
  };
  // One primitive: its texture name (Bind) or up to eight numbers, in the order the output's
  // method takes them (a quad: X0, Y0, X1, Y1, U0, V0, U1, V1).
  struct TCommand {
    TOp Op = TOp::Bind;
    std::uint32_t Texture = 0;
    std::array<float, 8> Args{};
    bool operator==(const TCommand&) const = default;
  };
  void Add(TOp Op, std::array<float, 8> Args = {}) { FCommands.push_back({Op, 0, Args}); }

  std::vector<TCommand> FCommands;
};
