// What the client settles before its window opens: what its command line asks for and where
// its media are. (Its display checks run in the whole-program tests.)
#include "programs/client_options.h"
#include "programs/client_start.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

TEST(ClientOptions, OnlyTheFirstArgumentAsksForHelpOrTheVersion) {
  using R = TClientRequest;
  const std::pair<std::vector<std::string>, R> cases[] = {
      {{"client"}, R::Play},
      {{"client", "-fs"}, R::Play},
      {{"client", "--help"}, R::Help},
      {{"client", "--version", "-fs"}, R::Version},
      {{"client", "-fs", "--version"}, R::Play},
      {{"client", "--VERSION"}, R::Play}};
  for (const auto& [args, request] : cases) {
    EXPECT_EQ(ClientRequest(args), request) << args.back();
  }
  const std::string usage = ClientUsage("fjordfront-client");
  EXPECT_EQ(usage.rfind("Usage: fjordfront-client [option]\n", 0), 0u) << usage;
  for (const TClientOption& option : ClientOptions()) {
    EXPECT_NE(usage.find(std::string("  ") + option.Option + " "), std::string::npos) << usage;
  }
}

TEST(ClientStart, MediaFromTheWorkingFolderFirstThenBesideTheProgram) {
  const fs::path root = fs::temp_directory_path() / ("client_start." + std::to_string(getpid()));
  auto touch = [&](const fs::path& File) {
    fs::create_directories((root / File).parent_path());
    std::ofstream(root / File) << "x";
  };
  touch("project/media/login.ui");
  touch("other/media/chat.ui"); // a media folder without the marker does not count
  const fs::path program = root / "usr/bin/fjordfront-client";
  const fs::path installed = root / "usr/share/fjordfront";
  auto found = [&](const std::string& Work, const fs::path& Program = "") {
    return FindMedia(root / Work, Program.empty() ? program : Program, "../share/fjordfront",
                     "media/login.ui")
        .Found;
  };
  EXPECT_EQ(found("project"), root / "project");
  EXPECT_EQ(found("other"), fs::path());
  EXPECT_EQ(
      MediaNotFoundText(FindMedia(root / "other", program, "../share/fjordfront", "media/login.ui"),
                        "media/login.ui"),
      "cannot find the game's media: looked for media/login.ui in " + (root / "other").string() +
          " (the working folder) and in " + installed.string() + " (the installed data)");
  touch("usr/share/fjordfront/media/login.ui");
  EXPECT_EQ(found("project"), root / "project");
  EXPECT_EQ(found("other"), installed);
  EXPECT_EQ(found("other", "/nowhere/bin/client"), fs::path());
  fs::remove_all(root);
}

} // namespace
