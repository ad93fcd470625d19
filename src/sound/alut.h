// Helpers in the style of the classic OpenAL utility library: WAV files and memory images into
// sample data, and opening or closing the default device with one current context.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sound/openal.h"

// Opens FName read-only and reads it with LoadWavStream; throws std::runtime_error when the
// file cannot be opened. Answers LoadWavStream's result.
bool alutLoadWAVFile(const std::string& FName, ALenum& Format, std::vector<std::uint8_t>& Data,
                     std::uint32_t& Size, std::uint32_t& Freq, ALint& Loop);

// The same for a WAV image of Length bytes in memory.
bool alutLoadWAVMemory(const void* Memory, std::size_t Length, ALenum& Format,
                       std::vector<std::uint8_t>& Data, std::uint32_t& Size, std::uint32_t& Freq,
                       ALint& Loop);

// Releases sample data once OpenAL holds its own copy.
void alutUnloadWAV(ALenum Format, std::vector<std::uint8_t>& Data, std::uint32_t Size,
                   std::uint32_t Freq);

// Opens the default device, creates a context on it without attributes and makes it current.
// The new context gets the sound layer's listener settings (SetListenerDefaults). The
// arguments are not used. True when a context is current afterwards.
bool alutInit(int* argc, char** argv);

// Destroys the current context and closes its device; nothing happens when none is current.
void alutExit();
