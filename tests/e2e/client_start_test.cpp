// The client started where it cannot open its window: one line on standard error saying why,
// and status 1, without SDL falling back to its text-mode drivers.
#include "client_session.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace e2e;

TEST(ClientWithoutWindow, NoDisplayOrOneThatRefusesIsSaidInOneLine) {
  // A display number that no X server on this machine has taken.
  int number = 900;
  while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number))) {
    ++number;
  }
  const std::string refusing = ":" + std::to_string(number);
  const std::pair<std::string, std::string> cases[] = {
      {"", "client: cannot open the window: no X display: DISPLAY is not set"},
      {refusing, "client: cannot open the window: no window on the X display " + refusing + ": "}};
  unsetenv("SDL_VIDEODRIVER"); // as on a player's machine
  for (const auto& [display, line] : cases) {
    TChild client({BINARY_DIR "/client"}, {{"DISPLAY", display}}, SOURCE_DIR, true, true);
    while (client.ReadLine()) {
    }
    const std::vector<std::string>& lines = client.Lines();
    ASSERT_EQ(lines.size(), 1u) << (lines.empty() ? "nothing" : lines.front());
    EXPECT_EQ(lines[0].rfind(line, 0), 0u) << lines[0];
    EXPECT_EQ(client.Wait(), 1) << display;
  }
}

} // namespace
