#include "gui/text_layout.h"

#include <algorithm>

long long TextWidth(std::size_t Count) {
  return Count == 0 ? 0 : static_cast<long long>(Count - 1) * GlyphAdvance + GlyphWidth;
}

std::size_t CharsThatFit(long long Width) {
  return Width < GlyphWidth ? 1 : static_cast<std::size_t>((Width - GlyphWidth) / GlyphAdvance + 1);
}

std::vector<std::string> WrapText(const std::string& S, std::size_t Width) {
  Width = std::max<std::size_t>(Width, 1);
  std::vector<std::string> Rows;
  std::size_t Start = 0;
  while (S.size() - Start > Width) {
    std::size_t Length = Width;
    const std::size_t Blank = S.rfind(' ', Start + Width - 1);
    if (Blank != std::string::npos && Blank > Start)
      Length = Blank + 1 - Start;
    Rows.push_back(S.substr(Start, Length));
    Start += Length;
  }
  Rows.push_back(S.substr(Start));
  return Rows;
}
