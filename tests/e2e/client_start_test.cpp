// The client started where it cannot open its window: one line on standard error saying why,
// and status 1, whatever video drivers SDL could fall back to.
#include "client_session.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace e2e;

// Every line the client writes (standard output and error) until it ends on Display, and its
// status. SDL_VIDEODRIVER is not set, as on a player's machine.
std::vector<std::string> RunToEnd(const std::string& Display, std::optional<int>& Status) {
  unsetenv("SDL_VIDEODRIVER");
  TChild client({BINARY_DIR "/client"}, {{"DISPLAY", Display}}, SOURCE_DIR, true, true);
  while (client.ReadLine()) {
  }
  Status = client.Wait();
  return client.Lines();
}

TEST(ClientWithoutWindow, NoDisplayIsSaidInOneLine) {
  std::optional<int> status;
  // SDL would go on to its text-mode drivers: the client must not let it.
  EXPECT_EQ(RunToEnd("", status),
            std::vector<std::string>{"client: cannot open the window: no X display: DISPLAY is "
                                     "not set"});
  EXPECT_EQ(status, 1);
}

TEST(ClientWithoutWindow, ADisplayThatRefusesIsNamedInOneLine) {
  // A display number that no X server on this machine has taken.
  int number = 900;
  while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number)) ||
         std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock")) {
    ++number;
  }
  const std::string display = ":" + std::to_string(number);
  std::optional<int> status;
  const auto lines = RunToEnd(display, status);
  ASSERT_EQ(lines.size(), 1u) << lines.front();
  EXPECT_EQ(lines[0].rfind(
                "client: cannot open the window: no window on the X display " + display + ": ", 0),
            0u)
      << lines[0];
  EXPECT_EQ(status, 1);
}

} // namespace
