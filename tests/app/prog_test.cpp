#include "app/prog.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgTest, FullScreenOnlyForExactFirstArgument) {
  const struct {
    std::vector<std::string> Args;
    bool FullScreen;
  } cases[] = {
      {{"client"}, false},
      {{"client", "-fs"}, true},
      {{"client", "-fs", "more", "args"}, true},
      {{"client", "-FS"}, false},
      {{"client", "fs"}, false},
      {{"client", "-fs "}, false},
      {{"client", "x", "-fs"}, false},
      {{"client", ""}, false},
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const auto& a : c.Args) {
      joined += "[" + a + "]";
    }
    EXPECT_EQ(WantsFullScreen(c.Args), c.FullScreen) << joined;
  }
}

} // namespace
