// The Debian packages as an operator and a player get them: made by CPack from this build tree
// (the test packages_made), each unpacked with dpkg-deb into a folder of the test's own
// (nothing is installed on the machine) and run from there.
#include "client_session.h"
#include "started_server.h"

#include "game_version.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace e2e;

// Unpacking, CPack's tools and systemd-analyze may be slow on a loaded machine.
constexpr int TOOL_WAIT_MS = 120000;

struct TRun {
  std::string Output; // standard output and error
  std::optional<int> Status;
};

TRun RunToEnd(const std::vector<std::string>& Args,
              const std::map<std::string, std::string>& Env = {}) {
  TChild child(Args, Env, "", true, true);
  TRun run;
  while (auto line = child.ReadLine(TOOL_WAIT_MS)) {
    run.Output += *line + "\n";
  }
  run.Status = child.Wait(TOOL_WAIT_MS);
  return run;
}

std::string ReadFile(const fs::path& File) {
  std::ifstream in(File, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool OnPath(const std::string& Program) {
  return RunToEnd({"sh", "-c", "command -v " + Program}).Status == 0;
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

  // The package file of Name ("fjordfront-server"), unpacked into Root.
  fs::path Unpack(const std::string& Name) {
    fs::path deb;
    for (const auto& entry : fs::directory_iterator(PACKAGES_DIR)) {
      const std::string file = entry.path().filename().string();
      if (file.rfind(Name + "_" + GAME_VERSION + "_", 0) == 0 &&
          entry.path().extension() == ".deb") {
        deb = entry.path();
      }
    }
    EXPECT_FALSE(deb.empty()) << "no package " << Name << " in " << PACKAGES_DIR;
    const TRun unpack = RunToEnd({"dpkg-deb", "-x", deb.string(), Root.string()});
    EXPECT_EQ(unpack.Status, 0) << unpack.Output;
    return deb;
  }
  static std::string Field(const fs::path& Deb, const std::string& Name) {
    return RunToEnd({"dpkg-deb", "-f", Deb.string(), Name}).Output;
  }
  fs::path Program(const std::string& Name) const {
    return Root / "usr/bin" / Name;
  }

  fs::path Root;
};

TEST_F(Packages, ServerPackageHostsALobbyWithoutGraphicsLibraries) {
  const fs::path deb = Unpack(GAME_SERVER_NAME);
  const std::string depends = Field(deb, "Depends");
  EXPECT_NE(depends.find("libsdl-net1.2"), std::string::npos) << depends;
  for (const char* graphics : {"libgl", "libopengl", "libsdl-image", "libopenal", "libpng"}) {
    EXPECT_EQ(depends.find(graphics), std::string::npos) << depends;
  }
  const std::string program = Program(GAME_SERVER_NAME).string();
  EXPECT_EQ(RunToEnd({program, "--version"}).Output, VersionLine(GAME_SERVER_NAME));

  test_support::TStartedServer server({}, program);
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
  const fs::path deb = Unpack(GAME_CLIENT_NAME);
  EXPECT_EQ(Field(deb, "Recommends"), "libopenal1\n");
  const std::string program = Program(GAME_CLIENT_NAME).string();
  EXPECT_EQ(RunToEnd({program, "--version"}).Output, VersionLine(GAME_CLIENT_NAME));

  const fs::path home = Root / "home";
  fs::create_directories(home);
  TXDisplay display;
  ASSERT_TRUE(display.Ready());
  // As on a player's machine: SDL chooses no driver of its own accord.
  unsetenv("SDL_VIDEODRIVER");
  TChild client(
      {program},
      {{"DISPLAY", display.Name()}, {"LIBGL_ALWAYS_SOFTWARE", "1"}, {"SDL_AUDIODRIVER", "dummy"}},
      home.string());
  // The login window is up once its frame has been drawn.
  const TImage login = WaitForScreen(
      display, [](const TImage& I) { return I.Width == 800 && I.Lit(230, 170, 340, 244) > 20000; });
  login.SavePNG(ScreenshotPath("package-login.png"));
  EXPECT_GT(login.Lit(230, 170, 340, 244), 20000) << "no login window";
  EXPECT_FALSE(client.Wait(0).has_value()) << "the client ended";
}

TEST_F(Packages, ClientPackageCarriesTheDesktopEntryAndEveryIconSize) {
  Unpack(GAME_CLIENT_NAME);
  const fs::path entry = Root / "usr/share/applications/fjordfront.desktop";
  const std::string text = ReadFile(entry);
  std::smatch exec;
  ASSERT_TRUE(std::regex_search(text, exec, std::regex("\nExec=([^ \n]+)"))) << text;
  EXPECT_TRUE(fs::exists(Program(exec[1]))) << exec[1];
  EXPECT_NE(text.find("\nIcon=fjordfront\n"), std::string::npos) << text;
  if (OnPath("desktop-file-validate")) {
    const TRun validate = RunToEnd({"desktop-file-validate", entry.string()});
    EXPECT_EQ(validate.Status, 0) << validate.Output;
    EXPECT_EQ(validate.Output, "");
  }
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const std::string square = std::to_string(size) + "x" + std::to_string(size);
    const std::string png =
        ReadFile(Root / "usr/share/icons/hicolor" / square / "apps/fjordfront.png");
    ASSERT_GE(png.size(), 24u) << square;
    EXPECT_EQ(png.substr(1, 3), "PNG") << square;
    // The header's width and height, big-endian.
    auto number = [&](std::size_t At) {
      return (static_cast<unsigned char>(png[At]) << 24) |
             (static_cast<unsigned char>(png[At + 1]) << 16) |
             (static_cast<unsigned char>(png[At + 2]) << 8) |
             static_cast<unsigned char>(png[At + 3]);
    };
    EXPECT_EQ(number(16), size) << square;
    EXPECT_EQ(number(20), size) << square;
  }
}

TEST_F(Packages, ManualPagesListEveryOptionOfTheHelp) {
  Unpack(GAME_SERVER_NAME);
  Unpack(GAME_CLIENT_NAME);
  for (const std::string name : {GAME_SERVER_NAME, GAME_CLIENT_NAME}) {
    const fs::path page = Root / "usr/share/man/man6" / (name + ".6");
    const std::string troff = ReadFile(page);
    const std::string help = RunToEnd({Program(name).string(), "--help"}).Output;
    int options = 0;
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("  -", 0) != 0) {
        continue;
      }
      std::string option = line.substr(2, line.find(' ', 2) - 2);
      ++options;
      // Dashes are escaped in the page.
      std::string escaped;
      for (char c : option) {
        escaped += c == '-' ? std::string("\\-") : std::string(1, c);
      }
      EXPECT_NE(troff.find("\\fB" + escaped + "\\fR"), std::string::npos) << name << " " << option;
    }
    EXPECT_GE(options, 3) << help;
    if (OnPath("groff")) {
      const TRun lint = RunToEnd({"groff", "-man", "-ww", "-z", page.string()});
      EXPECT_EQ(lint.Status, 0);
      EXPECT_EQ(lint.Output, "") << name;
    }
  }
}

TEST_F(Packages, ServiceUnitPassesSystemdVerifyWithLowExposure) {
  Unpack(GAME_SERVER_NAME);
  const std::string unit = ReadFile(Root / "usr/lib/systemd/system/fjordfront-server.service");
  const std::string program = std::string("/usr/bin/") + GAME_SERVER_NAME;
  EXPECT_NE(unit.find("\nExecStart=" + program + " $FJORDFRONT_SERVER_OPTIONS\n"),
            std::string::npos);
  EXPECT_NE(unit.find("\nEnvironmentFile=-/etc/default/fjordfront-server\n"), std::string::npos);
  EXPECT_NE(ReadFile(Root / "etc/default/fjordfront-server").find("\nFJORDFRONT_SERVER_OPTIONS="),
            std::string::npos);
  if (!OnPath("systemd-analyze")) {
    GTEST_SKIP() << "systemd-analyze is not installed here: the unit was not verified";
  }
  // The unit as it stands, its program looked for in the unpacked folder.
  const fs::path check = Root / "check";
  fs::create_directories(check);
  std::string moved = unit;
  moved.replace(moved.find("\nExecStart=" + program) + 11, program.size(),
                Program(GAME_SERVER_NAME).string());
  std::ofstream(check / "fjordfront-server.service") << moved;
  const std::map<std::string, std::string> env{{"MANPATH", (Root / "usr/share/man").string()}};
  // It looks the manual page of Documentation= up where man is there to do it.
  const std::string man = OnPath("man") ? "--man=yes" : "--man=no";
  const TRun verify = RunToEnd(
      {"systemd-analyze", "verify", man, (check / "fjordfront-server.service").string()}, env);
  EXPECT_EQ(verify.Status, 0) << verify.Output;
  EXPECT_EQ(verify.Output, "");

  const TRun security = RunToEnd({"systemd-analyze", "security", "--offline=yes", "--no-pager",
                                  (check / "fjordfront-server.service").string()});
  std::smatch level;
  ASSERT_TRUE(std::regex_search(security.Output, level,
                                std::regex("Overall exposure level for [^:]+: ([0-9.]+)")))
      << security.Output;
  EXPECT_LE(std::stod(level[1]), 2.0) << security.Output;
}

} // namespace
