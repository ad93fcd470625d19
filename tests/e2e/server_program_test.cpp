// The server program as a user runs it: its options, its log, its end.
#include "started_server.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <memory>

namespace {

using namespace test_support;

TEST(ServerProgram, LogsEveryEventAndEndsCleanlyOnSigterm) {
  TStartedServer server;
  TServerProcess& log = *server.Process;
  auto anna = std::make_unique<TLineClient>(server.Port);
  EXPECT_EQ(log.ReadLogText(), "Connected 127.0.0.1");
  anna->SendLine("L|anna|hunter2");
  EXPECT_EQ(log.ReadLogText(), "Autenticating user: anna pass: ********");
  EXPECT_EQ(log.ReadLogText(), "User autenticated anna ip: 127.0.0.1");
  anna->SendLine("C|hi\n12:00 Forged line\x7f");
  EXPECT_EQ(log.ReadLogText(), "#anna: hi\\x0A12:00 Forged line\\x7F");
  anna->SendLine("Q|");
  EXPECT_EQ(log.ReadLogText(), "Removing user anna");
  anna->SendLine("L|Sam|pw");
  EXPECT_EQ(log.ReadLogText(), "Autenticating user: Sam pass: ********");
  EXPECT_EQ(log.ReadLogText(), "User NOT autenticated Sam ip: 127.0.0.1");
  anna->SendLine("C|x\"y");
  EXPECT_EQ(log.ReadLogText(), "Unexpected message \"C|x\"y\"");
  EXPECT_EQ(log.ReadLogText(), "Gracefully disconnected 127.0.0.1");

  auto bob = std::make_unique<TLineClient>(server.Port);
  EXPECT_EQ(log.ReadLogText(), "Connected 127.0.0.1");
  bob->SendLine("L|bob|pw");
  EXPECT_EQ(log.ReadLogText(), "Autenticating user: bob pass: ********");
  EXPECT_EQ(log.ReadLogText(), "User autenticated bob ip: 127.0.0.1");
  bob->SendRawUntilClosed(std::string(70 * 1024, 'z'));
  EXPECT_EQ(log.ReadLogText(), "Dropping connection 127.0.0.1: line longer than 65536 bytes");
  EXPECT_EQ(log.ReadLogText(), "Brutally disconnecting bob IP: 127.0.0.1");
  EXPECT_EQ(log.ReadLogText(), "Removing user bob");

  log.Signal(SIGTERM);
  EXPECT_EQ(log.ReadLogText(), "Closing server!");
  EXPECT_EQ(log.Wait(), 0);
}

TEST(ServerProgram, SigintEndsItCleanlyWithUsersConnected) {
  TStartedServer server;
  TLineClient anna(server.Port);
  anna.SendLine("L|anna|pw");
  EXPECT_EQ(anna.ReadLine(), "O|anna");
  server.Process->Signal(SIGINT);
  std::string last;
  for (std::string text = server.Process->ReadLogText(); text != "<none>";
       text = server.Process->ReadLogText())
    last = text;
  EXPECT_EQ(last, "Closing server!");
  EXPECT_EQ(server.Process->Wait(), 0);
}

TEST(ServerProgram, DropsAUserWhoseOutputPilesUp) {
  // The flood of announcements would meet flood control and the game list's limits first.
  TStartedServer server(
      {"--no-flood-limit", "--max-games-per-user", "0", "--max-game-list-kib", "0"});
  TServerProcess& log = *server.Process;
  TLineClient talker(server.Port);
  talker.SendLine("L|talker|pw");
  EXPECT_EQ(talker.ReadLine(), "O|talker");
  TLineClient sleeper(server.Port, 4096);
  sleeper.SendLine("L|sleeper|pw");
  EXPECT_EQ(talker.ReadLine(), "E|sleeper");
  const int count = 200;
  std::thread flood([&] {
    for (int i = 0; i < count; ++i)
      talker.SendLine("G|m|1|" + std::string(60 * 1024, 'g'));
  });
  // The talker reads all along, its own announcements included, to the last one: only the
  // sleeper lets its output pile up.
  bool sleeperLeft = false;
  std::thread reader([&] {
    for (int announced = 0; announced < count || !sleeperLeft;) {
      auto line = talker.ReadLine();
      if (!line)
        break;
      if (*line == "X|sleeper")
        sleeperLeft = true;
      else
        ++announced;
    }
  });
  std::string text = log.ReadLogText();
  while (text != "<none>" &&
         text != "Dropping connection 127.0.0.1: more than 1048576 bytes of output waiting")
    text = log.ReadLogText();
  EXPECT_NE(text, "<none>");
  EXPECT_EQ(log.ReadLogText(), "Brutally disconnecting sleeper IP: 127.0.0.1");
  flood.join();
  reader.join();
  EXPECT_TRUE(sleeperLeft);
}

TEST(ServerProgram, APortInUseEndsItWithTheError) {
  TStartedServer first;
  TServerProcess second({"--listen", "127.0.0.1", "--port", std::to_string(first.Port)});
  EXPECT_EQ(second.ReadLogText(), "Starting server..");
  std::string error = second.ReadLogText();
  EXPECT_EQ(error.rfind("ERROR SERVER ", 0), 0u) << error;
  auto status = second.Wait();
  ASSERT_TRUE(status.has_value());
  EXPECT_NE(*status, 0);
}

TEST(ServerProgram, OptionsAndUsage) {
  TServerProcess help({"--help"});
  std::string usage;
  for (auto line = help.ReadLine(); line; line = help.ReadLine())
    usage += *line + "\n";
  EXPECT_NE(usage.find("--port N"), std::string::npos) << usage;
  EXPECT_NE(usage.find("--listen ADDR"), std::string::npos) << usage;
  EXPECT_NE(usage.find("50401"), std::string::npos) << usage;
  EXPECT_EQ(help.Wait(), 0);
  const std::vector<std::vector<std::string>> wrong = {
      {"--port"}, {"--port", "0"}, {"--port", "65536"}, {"--port", "12ab"}, {"--listen"}, {"-x"}};
  for (const auto& args : wrong) {
    TServerProcess bad(args);
    EXPECT_EQ(bad.ReadLine(1000), std::nullopt) << "no log output for " << args[0];
    EXPECT_EQ(bad.Wait(), 2) << args[0];
  }
}

} // namespace
