// The server's log: one line per event on standard output, "hh:nn text".
#pragma once

#include <ctime>
#include <string>
#include <string_view>

// Writes "hh:nn " (local time), Text with its control bytes escaped, and an end of line, and
// flushes it so that a reader of the output sees each event as it happens.
void LOG(std::string_view S);

// Text with every byte below 0x20 and 0x7F written as \xNN, so that no peer can start a line
// of its own in the log.
std::string EscapeLogText(std::string_view Text);

// One log line (with its end of line) for the time of day in Time.
std::string FormatLogLine(const std::tm& Time, std::string_view Text);
