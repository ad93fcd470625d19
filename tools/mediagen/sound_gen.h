// The media set's sound: a short wooden click for the interface, synthesised.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A complete 16-bit mono WAV file image at 22050 Hz.
std::vector<std::uint8_t> MakeClickWav();
