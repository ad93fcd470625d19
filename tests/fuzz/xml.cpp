// Fuzz target for the XML reader: any input either loads or raises TXMLError, and whatever
// loads and can be written reads back as the same tree.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "xml/document.h"
#include "xml/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  TXMLDocument document;
  try {
    document.LoadFromMemory(input);
  } catch (const TXMLError&) {
    return 0;
  }
  std::string written;
  try {
    written = document.Node->ToString();
  } catch (const TXMLError&) {
    return 0; // refused rather than written wrongly
  }
  TXMLDocument again;
  again.LoadFromMemory(written); // must not throw
  if (again.Node->ToString() != written) {
    std::abort();
  }
  for (TXMLNode* node : document.Node->QueryRecursive("a")) {
    (void)node->GetText();
  }
  return 0;
}
