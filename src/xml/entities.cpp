#include "xml/entities.h"

#include <cstring>

namespace {

struct TEntity {
  std::string_view Text;
  char Char;
};

// Every entity starts with "&" and ends with ";", and each replacement is a single character
// that cannot start another entity, so one left-to-right pass gives the same result as
// replacing each entity over the whole string in turn.
constexpr TEntity Entities[] = {
    {"&apos;", '\''}, {"&quot;", '"'}, {"&gt;", '>'}, {"&lt;", '<'}, {"&amp;", '&'}};

const char* EntityFor(char C) {
  switch (C) {
  case '&':
    return "&amp;";
  case '<':
    return "&lt;";
  case '>':
    return "&gt;";
  case '"':
    return "&quot;";
  case '\'':
    return "&apos;";
  default:
    return nullptr;
  }
}

} // namespace

std::string EncodeStantardEntities(std::string_view S) {
  std::string out;
  out.reserve(S.size());
  std::size_t plain = 0;
  for (std::size_t i = 0; i < S.size(); ++i) {
    if (const char* entity = EntityFor(S[i])) {
      out.append(S.substr(plain, i - plain));
      out.append(entity);
      plain = i + 1;
    }
  }
  out.append(S.substr(plain));
  return out;
}

std::string DecodeStantardEntities(std::string_view S) {
  std::string out;
  out.reserve(S.size());
  std::size_t pos = 0;
  while (pos < S.size()) {
    const void* hit = std::memchr(S.data() + pos, '&', S.size() - pos);
    if (!hit) {
      break;
    }
    const std::size_t amp = static_cast<const char*>(hit) - S.data();
    out.append(S.substr(pos, amp - pos));
    pos = amp + 1;
    char decoded = '&';
    for (const TEntity& entity : Entities) {
      if (S.substr(amp, entity.Text.size()) == entity.Text) {
        decoded = entity.Char;
        pos = amp + entity.Text.size();
        break;
      }
    }
    out.push_back(decoded);
  }
  out.append(S.substr(pos));
  return out;
}

char LastChar(std::string_view S) {
  return S.empty() ? '\0' : S.back();
}
