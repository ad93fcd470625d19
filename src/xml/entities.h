// The five predefined XML entities, and a small string helper of the reader.
#pragma once

#include <string>
#include <string_view>

// "&" "<" ">" '"' "'" become "&amp;" "&lt;" "&gt;" "&quot;" "&apos;"; everything else is kept.
std::string EncodeStantardEntities(std::string_view S);

// The reverse, one level deep: "&amp;lt;" becomes "&lt;". Other entity forms (numeric
// references, unknown names) stay as they are.
std::string DecodeStantardEntities(std::string_view S);

// The last character of S, or the character 0 when S is empty.
char LastChar(std::string_view S);
