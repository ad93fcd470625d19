// Fuzz target: .model documents. A load either raises or gives a model that saves, loads back
// to the same text, and plays every animation without failing.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <sstream>
#include <string>

#include "gfx/model.h"
#include "gfx/runtime_animator.h"
#include "xml/node.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TModel model;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    model.Load(in, nullptr);
  } catch (const std::exception&) {
    return 0;
  }
  std::string saved;
  try {
    saved = model.Save()->ToString();
  } catch (const std::exception&) {
    return 0; // names the XML writer cannot write back (such as "]]>" in a comment) are refused
  }
  TModel again;
  std::istringstream savedIn(saved);
  again.Load(savedIn, nullptr);
  if (again.Save()->ToString() != saved)
    __builtin_trap();
  TRuntimeAnimator animator;
  animator.Build(model);
  for (int a = -1; a <= model.Animations.Count(); ++a)
    for (float value : {-1.0f, 0.0f, 0.37f, 1.0f, 2.5f})
      animator.Interpolate(a, value);
  return 0;
}
