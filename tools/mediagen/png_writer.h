// Writes images as PNG files with libpng; the output depends only on the pixels.
#pragma once

#include <string>

class TImage;

// Writes Image as 8-bit RGB (Channels 3) or RGBA (Channels 4). Throws std::runtime_error when
// the file cannot be written.
void WritePng(const std::string& FileName, const TImage& Image, int Channels);
