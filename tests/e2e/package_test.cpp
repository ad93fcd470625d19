// The Debian packages as an operator and a player get them: made by CPack from this build tree
// (the test packages_made), each unpacked with dpkg-deb into a folder of the test's own
// (nothing is installed on the machine) and run from there.
#include "client_session.h"
#include "started_server.h"

#include "game_version.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace e2e;

// Unpacking and systemd-analyze may be slow on a loaded machine.
constexpr int TOOL_WAIT_MS = 120000;

// A command's standard output and error, once it has ended, and its status.
std::pair<std::string, std::optional<int>>
RunToEnd(const std::vector<std::string>& Args, const std::map<std::string, std::string>& Env = {}) {
  TChild child(Args, Env, "", true, true);
  std::string output;
  while (auto line = child.ReadLine(TOOL_WAIT_MS)) {
    output += *line + "\n";
  }
  return {output, child.Wait(TOOL_WAIT_MS)};
}

std::string ReadFile(const fs::path& File) {
  std::ostringstream text;
  text << std::ifstream(File, std::ios::binary).rdbuf();
  return text.str();
}

bool OnPath(const std::string& Program) {
  return RunToEnd({"sh", "-c", "command -v " + Program}).second == 0;
}

class Packages : public ::testing::Test {
protected:
  void SetUp() override {
#ifdef PACKAGES_SKIPPED
    GTEST_SKIP() << PACKAGES_SKIPPED;
#endif
    std::string folder = (fs::current_path() / "unpacked.XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    Root = folder;
  }
  void TearDown() override {
    if (!Root.empty()) {
      fs::remove_all(Root);
    }
  }

  // Unpacks the package of the program Name into Root; answers its control field Field.
  std::string Unpack(const std::string& Name, const std::string& Field = "Package") {
    for (const auto& entry : fs::directory_iterator(PACKAGES_DIR)) {
      if (entry.path().filename().string().rfind(Name + "_" + GAME_VERSION + "_", 0) == 0) {
        const std::string deb = entry.path().string();
        EXPECT_EQ(RunToEnd({"dpkg-deb", "-x", deb, Root.string()}).second, 0);
        return RunToEnd({"dpkg-deb", "-f", deb, Field}).first;
      }
    }
    ADD_FAILURE() << "no package " << Name << " in " << PACKAGES_DIR;
    return "";
  }
  std::string Program(const std::string& Name) const {
    return (Root / "usr/bin" / Name).string();
  }

  fs::path Root;
};

TEST_F(Packages, ServerPackageHostsALobbyWithoutGraphicsLibraries) {
  const std::string depends = Unpack(GAME_SERVER_NAME, "Depends");
  EXPECT_NE(depends.find("libsdl-net1.2"), std::string::npos) << depends;
  for (const char* graphics : {"libgl", "libopengl", "libsdl-image", "libopenal", "libpng"}) {
    EXPECT_EQ(depends.find(graphics), std::string::npos) << depends;
  }
  EXPECT_EQ(RunToEnd({Program(GAME_SERVER_NAME), "--version"}).first,
            VersionLine(GAME_SERVER_NAME));

  test_support::TStartedServer server({}, Program(GAME_SERVER_NAME));
  test_support::TServerProcess& log = *server.Process;
  test_support::TLineClient anna(server.Port);
  anna.SendLine("L|anna|pw");
  EXPECT_EQ(anna.ReadLine(), "O|anna");
  EXPECT_EQ(log.ReadLogText(), "Connected 127.0.0.1");
  EXPECT_EQ(log.ReadLogText(), "Autenticating user: anna pass: ********");
  EXPECT_EQ(log.ReadLogText(), "User autenticated anna ip: 127.0.0.1");
  log.Signal(SIGUSR1);
  EXPECT_EQ(log.ReadLogText().rfind("Summary: users 1, games 0, connections 1", 0), 0u);
  log.Signal(SIGTERM);
  EXPECT_EQ(log.ReadLogText(), "Closing server!");
  EXPECT_EQ(log.Wait(), 0);
}

TEST_F(Packages, ClientPackageStartsFromAFolderWithoutMedia) {
  EXPECT_EQ(Unpack(GAME_CLIENT_NAME, "Recommends"), "libopenal1\n");
  EXPECT_EQ(RunToEnd({Program(GAME_CLIENT_NAME), "--version"}).first,
            VersionLine(GAME_CLIENT_NAME));
  fs::create_directories(Root / "home");
  TXDisplay display;
  ASSERT_TRUE(display.Ready());
  unsetenv("SDL_VIDEODRIVER"); // as on a player's machine
  TChild client(
      {Program(GAME_CLIENT_NAME)},
      {{"DISPLAY", display.Name()}, {"LIBGL_ALWAYS_SOFTWARE", "1"}, {"SDL_AUDIODRIVER", "dummy"}},
      (Root / "home").string());
  // The login window is up once its frame has been drawn.
  const TImage login = WaitForScreen(
      display, [](const TImage& I) { return I.Width == 800 && I.Lit(230, 170, 340, 244) > 20000; });
  login.SavePNG(ScreenshotPath("package-login.png"));
  EXPECT_GT(login.Lit(230, 170, 340, 244), 20000) << "no login window";
}

TEST_F(Packages, ClientPackageCarriesTheDesktopEntryAndEveryIconSize) {
  Unpack(GAME_CLIENT_NAME);
  const fs::path entry = Root / "usr/share/applications/fjordfront.desktop";
  const std::string text = ReadFile(entry);
  EXPECT_NE(text.find(std::string("\nExec=") + GAME_CLIENT_NAME + "\n"), std::string::npos);
  EXPECT_NE(text.find("\nIcon=fjordfront\n"), std::string::npos) << text;
  if (OnPath("desktop-file-validate")) {
    EXPECT_EQ(RunToEnd({"desktop-file-validate", entry.string()}),
              std::make_pair(std::string(), std::optional<int>(0)));
  }
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const std::string square = std::to_string(size) + "x" + std::to_string(size);
    const std::string png =
        ReadFile(Root / "usr/share/icons/hicolor" / square / "apps/fjordfront.png");
    // The header's width and height, big-endian, after the signature and the chunk's head.
    const std::string wide = {0, 0, static_cast<char>(size >> 8), static_cast<char>(size & 255)};
    EXPECT_EQ(png.substr(1, 3) + png.substr(16, 8), "PNG" + wide + wide) << square;
  }
}

TEST_F(Packages, ManualPagesListEveryOptionOfTheHelp) {
  Unpack(GAME_SERVER_NAME);
  Unpack(GAME_CLIENT_NAME);
  for (const std::string name : {GAME_SERVER_NAME, GAME_CLIENT_NAME}) {
    const fs::path page = Root / "usr/share/man/man6" / (name + ".6");
    // The page with its dashes as --help prints them.
    const std::string troff = std::regex_replace(ReadFile(page), std::regex(R"(\\-)"), "-");
    std::istringstream help(RunToEnd({Program(name), "--help"}).first);
    int options = 0;
    for (std::string line; std::getline(help, line);) {
      if (line.rfind("  -", 0) == 0) {
        ++options;
        const std::string option = line.substr(2, line.find(' ', 2) - 2);
        EXPECT_NE(troff.find("\\fB" + option + "\\fR"), std::string::npos) << name << option;
      }
    }
    EXPECT_GE(options, 3) << name;
    if (OnPath("groff")) {
      EXPECT_EQ(RunToEnd({"groff", "-man", "-ww", "-z", page.string()}),
                std::make_pair(std::string(), std::optional<int>(0)));
    }
  }
}

TEST_F(Packages, ServiceUnitPassesSystemdVerifyWithLowExposure) {
  Unpack(GAME_SERVER_NAME);
  std::string unit = ReadFile(Root / "usr/lib/systemd/system/fjordfront-server.service");
  const std::string execStart = std::string("\nExecStart=/usr/bin/") + GAME_SERVER_NAME;
  ASSERT_NE(unit.find(execStart + " $FJORDFRONT_SERVER_OPTIONS\n"), std::string::npos) << unit;
  EXPECT_NE(unit.find("\nEnvironmentFile=-/etc/default/fjordfront-server\n"), std::string::npos);
  EXPECT_NE(ReadFile(Root / "etc/default/fjordfront-server").find("\nFJORDFRONT_SERVER_OPTIONS="),
            std::string::npos);
  if (!OnPath("systemd-analyze")) {
    GTEST_SKIP() << "systemd-analyze is not installed here: the unit was not verified";
  }
  // The unit as it stands, its program looked for in the unpacked folder, its manual page too
  // (where man is there to look).
  const fs::path check = Root / "check/fjordfront-server.service";
  fs::create_directories(check.parent_path());
  std::ofstream(check) << unit.replace(unit.find(execStart), execStart.size(),
                                       "\nExecStart=" + Program(GAME_SERVER_NAME));
  EXPECT_EQ(RunToEnd({"systemd-analyze", "verify", OnPath("man") ? "--man=yes" : "--man=no",
                      check.string()},
                     {{"MANPATH", (Root / "usr/share/man").string()}}),
            std::make_pair(std::string(), std::optional<int>(0)));

  const std::string security =
      RunToEnd({"systemd-analyze", "security", "--offline=yes", "--no-pager", check.string()})
          .first;
  std::smatch level;
  ASSERT_TRUE(
      std::regex_search(security, level, std::regex("Overall exposure level[^:]*: ([0-9.]+)")))
      << security;
  EXPECT_LE(std::stod(level[1]), 2.0) << security;
}

} // namespace
