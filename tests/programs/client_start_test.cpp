// What the client settles before its window opens: its command line, where its media are,
// and the display it needs.
#include "programs/client_options.h"
#include "programs/client_start.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr const char* MARKER = "media/login.ui";
constexpr const char* DATA_FROM_BIN = "../share/fjordfront";

TEST(ClientOptions, OnlyTheFirstArgumentAsksForHelpOrTheVersion) {
  const struct {
    std::vector<std::string> Args;
    TClientRequest Request;
  } cases[] = {
      {{"client"}, TClientRequest::Play},
      {{"client", "-fs"}, TClientRequest::Play},
      {{"client", "--help"}, TClientRequest::Help},
      {{"client", "--version", "-fs"}, TClientRequest::Version},
      {{"client", "-fs", "--version"}, TClientRequest::Play},
      {{"client", "--VERSION"}, TClientRequest::Play},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClientRequest(c.Args), c.Request) << c.Args.back();
  }
  const std::string usage = ClientUsage("fjordfront-client");
  EXPECT_EQ(usage.rfind("Usage: fjordfront-client [option]\n", 0), 0u) << usage;
  for (const TClientOption& option : ClientOptions()) {
    EXPECT_NE(usage.find(std::string("  ") + option.Option + " "), std::string::npos)
        << option.Option << "\n"
        << usage;
  }
}

// A folder of its own for one test, removed with everything in it afterwards.
class TScratch {
public:
  TScratch()
      : FRoot(fs::temp_directory_path() / ("client_start_test." + std::to_string(getpid()))) {
    fs::remove_all(FRoot);
    fs::create_directories(FRoot);
  }
  ~TScratch() { fs::remove_all(FRoot); }
  const fs::path& Root() const { return FRoot; }
  // Creates the file Path (and its folders) under the scratch folder.
  fs::path Touch(const fs::path& Path) const {
    fs::create_directories((FRoot / Path).parent_path());
    std::ofstream(FRoot / Path) << "x";
    return FRoot / Path;
  }

private:
  fs::path FRoot;
};

TEST(ClientStart, MediaFromTheWorkingFolderFirstThenBesideTheProgram) {
  TScratch scratch;
  const fs::path root = scratch.Root();
  const fs::path program = root / "usr/bin/fjordfront-client";
  const fs::path installed = root / "usr/share/fjordfront";
  scratch.Touch("project/media/login.ui");
  scratch.Touch("other/media/chat.ui"); // a media folder without the marker does not count
  fs::create_directories(root / "empty");

  // Without installed media: only a working folder with the marker works.
  EXPECT_EQ(FindMedia(root / "project", program, DATA_FROM_BIN, MARKER).Found, root / "project");
  EXPECT_EQ(FindMedia(root / "other", program, DATA_FROM_BIN, MARKER).Found, fs::path());
  const TMediaSearch none = FindMedia(root / "empty", program, DATA_FROM_BIN, MARKER);
  EXPECT_EQ(none.Found, fs::path());
  EXPECT_EQ(MediaNotFoundText(none, MARKER),
            "cannot find the game's media: looked for media/login.ui in " +
                (root / "empty").string() + " (the working folder) and in " + installed.string() +
                " (the installed data)");

  // With them: the working folder still wins; any other folder gets the installed ones.
  scratch.Touch("usr/share/fjordfront/media/login.ui");
  EXPECT_EQ(FindMedia(root / "project", program, DATA_FROM_BIN, MARKER).Found, root / "project");
  EXPECT_EQ(FindMedia(root / "empty", program, DATA_FROM_BIN, MARKER).Found, installed);
  EXPECT_EQ(FindMedia(root / "other", program, DATA_FROM_BIN, MARKER).Found, installed);
  // An unknown program (no /proc) finds only the working folder's media.
  EXPECT_EQ(FindMedia(root / "empty", fs::path(), DATA_FROM_BIN, MARKER).Found, fs::path());
}

// Sets an environment variable (or unsets it, for nothing) for one test.
class TEnvironment {
public:
  TEnvironment(const char* Name, const std::optional<std::string>& Value) : FName(Name) {
    if (const char* old = std::getenv(Name)) {
      FOld = old;
    }
    Set(Value);
  }
  ~TEnvironment() { Set(FOld); }

private:
  void Set(const std::optional<std::string>& Value) {
    if (Value) {
      setenv(FName, Value->c_str(), 1);
    } else {
      unsetenv(FName);
    }
  }
  const char* FName;
  std::optional<std::string> FOld;
};

TEST(ClientStart, TheX11DriverUnlessChosenAndADisplayForIt) {
  const struct {
    std::optional<std::string> Driver, Display;
    std::string DriverAfter, Reason;
  } cases[] = {
      {std::nullopt, std::nullopt, "x11", "no X display: DISPLAY is not set"},
      {"", "", "x11", "no X display: DISPLAY is not set"},
      {std::nullopt, ":7", "x11", ""},
      {"x11", ":7", "x11", ""},
      {"dummy", std::nullopt, "dummy", ""},
  };
  for (const auto& c : cases) {
    TEnvironment driver("SDL_VIDEODRIVER", c.Driver);
    TEnvironment display("DISPLAY", c.Display);
    EXPECT_EQ(PrepareVideoDriver(), c.Reason) << c.Driver.value_or("unset");
    const char* after = std::getenv("SDL_VIDEODRIVER");
    EXPECT_EQ(std::string(after != nullptr ? after : "<unset>"), c.DriverAfter);
    EXPECT_EQ(WindowFailureText("why"),
              c.DriverAfter == "x11"
                  ? "no window on the X display " + c.Display.value_or("") + ": why"
                  : "why");
  }
}

} // namespace
