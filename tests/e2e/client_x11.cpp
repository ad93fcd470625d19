// The part of the client tests that speaks Xlib: opening the display and reading its pixels.
#include "client_session.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace e2e {

_XDisplay* OpenXDisplay(const std::string& Name) {
  return XOpenDisplay(Name.c_str());
}

void CloseXDisplay(_XDisplay* Display) {
  XCloseDisplay(Display);
}

TImage Screenshot(const TXDisplay& Display) {
  TImage image;
  ::Display* d = Display.Connection();
  if (d == nullptr) {
    return image;
  }
  const Window root = DefaultRootWindow(d);
  XWindowAttributes attributes;
  XGetWindowAttributes(d, root, &attributes);
  XImage* x = XGetImage(d, root, 0, 0, static_cast<unsigned>(attributes.width),
                        static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (x == nullptr) {
    return image;
  }
  // Shifts that bring each colour field of a pixel down to its low byte.
  auto shift = [](unsigned long Mask) {
    int s = 0;
    while (Mask != 0 && (Mask & 1) == 0) {
      Mask >>= 1;
      ++s;
    }
    return s;
  };
  const int rs = shift(x->red_mask);
  const int gs = shift(x->green_mask);
  const int bs = shift(x->blue_mask);
  image.Width = attributes.width;
  image.Height = attributes.height;
  image.RGB.resize(static_cast<std::size_t>(image.Width) * image.Height * 3);
  for (int y = 0; y < image.Height; ++y) {
    for (int px = 0; px < image.Width; ++px) {
      const unsigned long p = XGetPixel(x, px, y);
      const std::size_t i = (static_cast<std::size_t>(y) * image.Width + px) * 3;
      image.RGB[i] = static_cast<unsigned char>((p & x->red_mask) >> rs);
      image.RGB[i + 1] = static_cast<unsigned char>((p & x->green_mask) >> gs);
      image.RGB[i + 2] = static_cast<unsigned char>((p & x->blue_mask) >> bs);
    }
  }
  XDestroyImage(x);
  return image;
}

} // namespace e2e
