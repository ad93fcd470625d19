// The lobby's answers to every message, driven over real connections.
#include "running_lobby.h"

#include "net/message.h"

namespace {

using namespace test_support;
using Lines = std::vector<std::string>;

class LobbyProtocol : public ::testing::Test {
protected:
  TRunningLobby Lobby;
};

TEST_F(LobbyProtocol, LoginSendsOwnNameThenEarlierUsersThenGames) {
  auto anna = LogIn(Lobby.Port, "anna");
  anna->SendLine("G|forest|10|Evening match");
  EXPECT_EQ(anna->ReadLine(), "G|101|Evening match|forest|10|anna");
  auto bob = LogIn(Lobby.Port, "bob");
  EXPECT_EQ(anna->ReadLine(), "E|bob");
  auto carl = LogIn(Lobby.Port, "carl");
  EXPECT_EQ(ReadLines(*carl, 3), (Lines{"U|anna", "U|bob", "G|101|Evening match|forest|10|anna"}));
  EXPECT_EQ(anna->ReadLine(), "E|carl");
  EXPECT_EQ(ReadLines(*bob, 3), (Lines{"U|anna", "G|101|Evening match|forest|10|anna", "E|carl"}));
}

TEST_F(LobbyProtocol, RefusedLoginKeepsTheConnectionForAnotherTry) {
  TLineClient client(Lobby.Port);
  client.SendLine("L|Sam|pw");
  EXPECT_EQ(client.ReadLine(), "N|Invalid user/pass");
  client.SendLine("L|Server|pw");
  EXPECT_EQ(client.ReadLine(), "N|Invalid user/pass");
  client.SendLine("L|sam|pw");
  EXPECT_EQ(client.ReadLine(), "O|sam");
}

TEST_F(LobbyProtocol, LoginNeedsExactlyTwoParameters) {
  TLineClient client(Lobby.Port);
  for (const char* line : {"L|anna", "L|", "L|a|b|c", "L||pw"}) {
    client.SendLine(line);
    EXPECT_EQ(client.ReadLine(), "N|Enter user and passwd.") << line;
  }
  client.SendLine("L|anna|pw");
  EXPECT_EQ(client.ReadLine(), "O|anna");
}

TEST_F(LobbyProtocol, ChatGoesToEveryoneTheSenderIncluded) {
  auto anna = LogIn(Lobby.Port, "anna");
  auto bob = LogIn(Lobby.Port, "bob");
  EXPECT_EQ(ReadLines(*bob, 1), (Lines{"U|anna"}));
  EXPECT_EQ(anna->ReadLine(), "E|bob");
  bob->SendLine(MSG('C', {"hello|world"}));
  bob->SendLine(MSG('C', {""}));
  bob->SendLine("C|only|the first");
  for (TLineClient* client : {anna.get(), bob.get()})
    EXPECT_EQ(ReadLines(*client, 3), (Lines{"C|bob|hello&pipe;world", "C|bob|", "C|bob|only"}));
}

TEST_F(LobbyProtocol, GamesAreNumberedFrom101AndAnnouncedToAll) {
  auto [anna, bob] = LogInPair(Lobby.Port, "anna", "bob");
  anna->SendLine("G|forest|10|Evening match");
  bob->SendLine("G|desert|-3|Second");
  // Each connection's lines come in order; the two announcements may come either way round.
  Lines seen = ReadLines(*anna, 2);
  std::sort(seen.begin(), seen.end());
  EXPECT_TRUE(seen == (Lines{"G|101|Evening match|forest|10|anna", "G|102|Second|desert|-3|bob"}) ||
              seen == (Lines{"G|101|Second|desert|-3|bob", "G|102|Evening match|forest|10|anna"}))
      << seen[0] << " / " << seen[1];
  Lines bobSaw = ReadLines(*bob, 2);
  std::sort(bobSaw.begin(), bobSaw.end());
  EXPECT_EQ(bobSaw, seen);
}

TEST_F(LobbyProtocol, EmptyNamesAndBadPointsAreAnnouncedWholeAndUnshifted) {
  auto anna = LogIn(Lobby.Port, "anna");
  const std::pair<std::string, std::string> cases[] = {
      {MSG('G', {"forest", "10", ""}), "G|101|(unnamed)|forest|10|anna"},
      {"G|", "G|102|(unnamed)|(none)|0|anna"},
      {MSG('G', {"map", "ten", "x"}), "G|103|x|map|0|anna"},
      {MSG('G', {"map", "2147483648", "x"}), "G|104|x|map|0|anna"},
      {MSG('G', {"map", "-2147483649", "x"}), "G|105|x|map|0|anna"},
      {MSG('G', {"map", "2147483647", "x"}), "G|106|x|map|2147483647|anna"},
      {MSG('G', {"a|b", "7", "c|d"}), "G|107|c&pipe;d|a&pipe;b|7|anna"},
  };
  for (const auto& [sent, announced] : cases) {
    anna->SendLine(sent);
    EXPECT_EQ(anna->ReadLine(), announced) << sent;
    EXPECT_EQ(TMsg(announced).NumParam(), 5);
  }
}

TEST_F(LobbyProtocol, QuitRemovesTheUsersGamesNewestFirstThenTellsTheOthers) {
  auto [anna, bob] = LogInPair(Lobby.Port, "anna", "bob");
  anna->SendLine("G|m|1|first");
  anna->SendLine("G|m|2|second");
  EXPECT_EQ(ReadLines(*bob, 2), (Lines{"G|101|first|m|1|anna", "G|102|second|m|2|anna"}));
  EXPECT_EQ(ReadLines(*anna, 2), (Lines{"G|101|first|m|1|anna", "G|102|second|m|2|anna"}));
  anna->SendLine("Q|");
  EXPECT_EQ(ReadLines(*bob, 3), (Lines{"H|102", "H|101", "X|anna"}));
  EXPECT_EQ(ReadLines(*anna, 2), (Lines{"H|102", "H|101"}));
  // The connection stays open and may log in again; it hears no X about itself.
  anna->SendLine("L|anna|pw");
  EXPECT_EQ(anna->ReadLine(), "O|anna");
  EXPECT_EQ(anna->ReadLine(), "U|bob");
  EXPECT_EQ(bob->ReadLine(), "E|anna");
}

TEST_F(LobbyProtocol, AnyOtherMessageFromAUserLogsItOut) {
  auto bob = LogIn(Lobby.Port, "bob");
  for (const char* line : {"L|anna|pw", "R|", "Z|what", "", "|x"}) {
    auto anna = LogIn(Lobby.Port, "anna");
    EXPECT_EQ(anna->ReadLine(), "U|bob");
    EXPECT_EQ(bob->ReadLine(), "E|anna");
    anna->SendLine(line);
    EXPECT_EQ(bob->ReadLine(), "X|anna") << "after '" << line << "'";
    anna->SendLine("L|anna|again");
    EXPECT_EQ(anna->ReadLine(), "O|anna") << "the connection stays open";
    anna->SendLine("Q|");
    EXPECT_EQ(bob->ReadLine(), "E|anna");
    EXPECT_EQ(bob->ReadLine(), "X|anna");
  }
}

TEST_F(LobbyProtocol, ReconnectingUnderTheSameNameGivesTwoUsers) {
  auto [first, second] = LogInPair(Lobby.Port, "anna", "anna");
  first->SendLine("C|one");
  EXPECT_EQ(second->ReadLine(), "C|anna|one");
  second->SendLine("Q|");
  EXPECT_EQ(first->ReadLine(), "C|anna|one");
  EXPECT_EQ(first->ReadLine(), "X|anna");
}

TEST_F(LobbyProtocol, RIsIgnoredBeforeLogin) {
  TLineClient client(Lobby.Port);
  client.SendLine("R|");
  client.SendLine("R|with|params");
  client.SendLine("L|anna|pw");
  EXPECT_EQ(client.ReadLine(), "O|anna") << "R got no answer and the connection stayed open";
}

TEST_F(LobbyProtocol, UnexpectedMessageBeforeLoginClosesTheConnection) {
  for (const char* line : {"C|hi", "Q|", "G|m|1|g", "", "|L"}) {
    TLineClient client(Lobby.Port);
    // Nothing after the offending line is served.
    client.SendRaw(std::string(line) + '\0' + "L|anna|pw" + '\0');
    EXPECT_TRUE(client.WaitClosed()) << line;
    EXPECT_EQ(client.ReadLine(0), std::nullopt) << line;
  }
  auto still = LogIn(Lobby.Port, "carl");
}

TEST_F(LobbyProtocol, DisconnectRemovesGamesThenUser) {
  auto [anna, bob] = LogInPair(Lobby.Port, "anna", "bob");
  bob->SendLine("G|m|1|g1");
  bob->SendLine("G|m|1|g2");
  EXPECT_EQ(ReadLines(*anna, 2), (Lines{"G|101|g1|m|1|bob", "G|102|g2|m|1|bob"}));
  bob->Close();
  EXPECT_EQ(ReadLines(*anna, 3), (Lines{"H|102", "H|101", "X|bob"}));
  auto carl = LogIn(Lobby.Port, "carl");
  EXPECT_EQ(carl->ReadLine(), "U|anna") << "no game of bob is left";
  carl->SendLine("C|hi");
  EXPECT_EQ(carl->ReadLine(), "C|carl|hi");
}

TEST_F(LobbyProtocol, LinesSentTogetherAreEachServed) {
  auto anna = LogIn(Lobby.Port, "anna");
  anna->SendRaw(std::string("C|a\0C|b\0C|c\0", 12));
  EXPECT_EQ(ReadLines(*anna, 3), (Lines{"C|anna|a", "C|anna|b", "C|anna|c"}));
}

} // namespace
