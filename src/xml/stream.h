// Moving bytes between the XML library and standard streams and files.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "xml/reader.h"

// Writes all of ST; raises "Cannot write to stream!" when the stream fails.
void Write(std::ostream& S, std::string_view ST);

// Everything from the stream's position to its end.
std::string ReadStreamRest(std::istream& S);

// The whole file; raises TXMLFileError when it cannot be opened or read.
std::string ReadWholeFile(const std::string& FileName);

// Reads the rest of S into memory, runs Parse over it and, when Parse succeeds and the stream
// can seek, leaves S positioned just after the bytes Parse consumed.
void ParseStream(std::istream& S, const std::function<void(TXMLSource&)>& Parse);
