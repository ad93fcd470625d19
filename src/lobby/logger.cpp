#include "lobby/logger.h"

#include <cstdio>

std::string EscapeLogText(std::string_view Text) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(Text.size());
  for (char c : Text) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      out += hex[byte >> 4];
      out += hex[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

std::string FormatLogLine(const std::tm& Time, std::string_view Text) {
  char stamp[16];
  std::snprintf(stamp, sizeof stamp, "%02d:%02d ", Time.tm_hour % 100, Time.tm_min % 100);
  std::string line = stamp;
  line += EscapeLogText(Text);
  line += '\n';
  return line;
}

void LOG(std::string_view S) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::string line = FormatLogLine(local, S);
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}
