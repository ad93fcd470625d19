// The lobby protocol's catalogue in one place: the type letter of every line, the sub-type
// words of the extension's F lines, and one struct per line whose fields are its parameters in
// order. Build(line) gives the text to send; Read<T>(msg) gives the line back, or nothing when
// the message is of another kind or a number in it does not parse. docs/protocol.md describes
// the same lines for people writing a client.
//
// Sections: letters | sub-types | numbers | the lines | building and reading
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <vector>

#include "net/message.h"

// ---- letters ------------------------------------------------------------------------------
// Some letters mean one thing from the client and another from the server (C, G).
namespace Msg {
// Client to server, in the lobby.
inline constexpr char Login = 'L';
inline constexpr char Quit = 'Q';
inline constexpr char Chat = 'C';
inline constexpr char Announce = 'G';
inline constexpr char Request = 'R';
// Client to server, the extension: waiting rooms.
inline constexpr char Join = 'J';
inline constexpr char Leave = 'K';
inline constexpr char Begin = 'B';
// Client to server, the extension: in a match.
inline constexpr char Move = 'M';
inline constexpr char Attack = 'A';
inline constexpr char EndTurn = 'T';
inline constexpr char Resign = 'Y';
inline constexpr char Whole = 'W';
// Server to client.
inline constexpr char Accepted = 'O';
inline constexpr char Denied = 'N';
inline constexpr char Entered = 'E';
inline constexpr char Present = 'U';
inline constexpr char Game = 'G';
inline constexpr char Said = 'C';
inline constexpr char Removed = 'H';
inline constexpr char Exited = 'X';
inline constexpr char Extension = 'F';
} // namespace Msg

// ---- sub-types ------------------------------------------------------------------------------
// The word that follows F. Clients that do not know a word ignore the line.
enum class TExt {
  Play,
  Created,
  Open,
  Entered,
  Joined,
  Left,
  Started,
  Ended,
  Refused,
  Cancelled,
  Start,
  Seat,
  Tree,
  Unit,
  Turn,
  Moved,
  Hit,
  Out,
  Over,
  Unknown,
};

std::string_view ExtWord(TExt Kind);
// The sub-type of an F line; Unknown for a word not in the catalogue or another letter.
TExt ExtOf(const TMsg& Message);

// The feature a client asks for with R before logging in, and its one version.
inline constexpr std::string_view PlayFeature = "play";
inline constexpr int32_t PlayVersion = 1;

// ---- numbers --------------------------------------------------------------------------------
// Numbers travel as decimal text: an optional "-", then digits, within 32 bits; nothing else.
std::optional<int32_t> ReadInt(std::string_view Text);
std::optional<uint32_t> ReadUint(std::string_view Text);

// ---- the lines ------------------------------------------------------------------------------
// Each struct names its letter (Type), for F lines its sub-type (Kind), and its parameters in
// order (Fields). A parameter is text, a number, a flag (0 or 1) or, last, a list that takes
// every remaining parameter. An empty text parameter vanishes in transit and reads back as ""
// only when it was the last one.

// Client to server, in the lobby.
struct TLoginRequest {
  static constexpr char Type = Msg::Login;
  std::string User, Password;
  static constexpr auto Fields() {
    return std::tuple{&TLoginRequest::User, &TLoginRequest::Password};
  }
};
struct TQuitRequest {
  static constexpr char Type = Msg::Quit;
  static constexpr auto Fields() { return std::tuple{}; }
};
struct TChatRequest {
  static constexpr char Type = Msg::Chat;
  std::string Text;
  static constexpr auto Fields() { return std::tuple{&TChatRequest::Text}; }
};
// Points stay text: the server reads what it can of them.
struct TAnnounceRequest {
  static constexpr char Type = Msg::Announce;
  std::string Map, Points, Name;
  static constexpr auto Fields() {
    return std::tuple{&TAnnounceRequest::Map, &TAnnounceRequest::Points, &TAnnounceRequest::Name};
  }
};
struct TFeatureRequest {
  static constexpr char Type = Msg::Request;
  std::string Feature, Value;
  static constexpr auto Fields() {
    return std::tuple{&TFeatureRequest::Feature, &TFeatureRequest::Value};
  }
};

// Client to server, the extension.
struct TJoinRequest {
  static constexpr char Type = Msg::Join;
  int32_t Game = 0;
  static constexpr auto Fields() { return std::tuple{&TJoinRequest::Game}; }
};
struct TLeaveRequest {
  static constexpr char Type = Msg::Leave;
  static constexpr auto Fields() { return std::tuple{}; }
};
struct TBeginRequest {
  static constexpr char Type = Msg::Begin;
  static constexpr auto Fields() { return std::tuple{}; }
};
struct TMoveOrder {
  static constexpr char Type = Msg::Move;
  int32_t Unit = 0, X = 0, Y = 0;
  static constexpr auto Fields() {
    return std::tuple{&TMoveOrder::Unit, &TMoveOrder::X, &TMoveOrder::Y};
  }
};
struct TAttackOrder {
  static constexpr char Type = Msg::Attack;
  int32_t Unit = 0, Target = 0;
  static constexpr auto Fields() { return std::tuple{&TAttackOrder::Unit, &TAttackOrder::Target}; }
};
struct TEndTurnOrder {
  static constexpr char Type = Msg::EndTurn;
  static constexpr auto Fields() { return std::tuple{}; }
};
struct TResignRequest {
  static constexpr char Type = Msg::Resign;
  static constexpr auto Fields() { return std::tuple{}; }
};
struct TStateRequest {
  static constexpr char Type = Msg::Whole;
  static constexpr auto Fields() { return std::tuple{}; }
};

// Server to client, the lobby.
struct TLoginAccepted {
  static constexpr char Type = Msg::Accepted;
  std::string Name;
  static constexpr auto Fields() { return std::tuple{&TLoginAccepted::Name}; }
};
struct TLoginDenied {
  static constexpr char Type = Msg::Denied;
  std::string Reason;
  static constexpr auto Fields() { return std::tuple{&TLoginDenied::Reason}; }
};
struct TUserEntered {
  static constexpr char Type = Msg::Entered;
  std::string Name;
  static constexpr auto Fields() { return std::tuple{&TUserEntered::Name}; }
};
struct TUserPresent {
  static constexpr char Type = Msg::Present;
  std::string Name;
  static constexpr auto Fields() { return std::tuple{&TUserPresent::Name}; }
};
struct TGameAnnounced {
  static constexpr char Type = Msg::Game;
  int32_t Id = 0;
  std::string Name, Map;
  int32_t Points = 0;
  std::string Creator;
  static constexpr auto Fields() {
    return std::tuple{&TGameAnnounced::Id, &TGameAnnounced::Name, &TGameAnnounced::Map,
                      &TGameAnnounced::Points, &TGameAnnounced::Creator};
  }
};
struct TChatRelayed {
  static constexpr char Type = Msg::Said;
  std::string Name, Text;
  static constexpr auto Fields() { return std::tuple{&TChatRelayed::Name, &TChatRelayed::Text}; }
};
struct TGameRemoved {
  static constexpr char Type = Msg::Removed;
  int32_t Id = 0;
  static constexpr auto Fields() { return std::tuple{&TGameRemoved::Id}; }
};
struct TUserExited {
  static constexpr char Type = Msg::Exited;
  std::string Name;
  static constexpr auto Fields() { return std::tuple{&TUserExited::Name}; }
};

// Server to client, the extension: the lobby's side.
struct TPlayOffer {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Play;
  int32_t Version = PlayVersion;
  static constexpr auto Fields() { return std::tuple{&TPlayOffer::Version}; }
};
struct TGameCreated {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Created;
  int32_t Game = 0;
  static constexpr auto Fields() { return std::tuple{&TGameCreated::Game}; }
};
struct TGameOpen {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Open;
  int32_t Game = 0;
  static constexpr auto Fields() { return std::tuple{&TGameOpen::Game}; }
};
// A waiting room closed without its match: its creator left it. Comes before the game's H, so
// that those waiting tell it from the H that comes before a match starts.
struct TGameCancelled {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Cancelled;
  int32_t Game = 0;
  static constexpr auto Fields() { return std::tuple{&TGameCancelled::Game}; }
};
struct TGameEntered {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Entered;
  int32_t Game = 0;
  static constexpr auto Fields() { return std::tuple{&TGameEntered::Game}; }
};
struct TPlayerJoined {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Joined;
  int32_t Game = 0;
  std::string User;
  static constexpr auto Fields() { return std::tuple{&TPlayerJoined::Game, &TPlayerJoined::User}; }
};
struct TPlayerLeft {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Left;
  int32_t Game = 0;
  std::string User;
  static constexpr auto Fields() { return std::tuple{&TPlayerLeft::Game, &TPlayerLeft::User}; }
};
struct TMatchStarted {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Started;
  int32_t Game = 0;
  std::vector<std::string> Seats; // every seat's name, seat 0 first
  static constexpr auto Fields() { return std::tuple{&TMatchStarted::Game, &TMatchStarted::Seats}; }
};
struct TMatchEnded {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Ended;
  int32_t Game = 0;
  std::string Winner; // "" for a draw
  static constexpr auto Fields() { return std::tuple{&TMatchEnded::Game, &TMatchEnded::Winner}; }
};
struct TRefusal {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Refused;
  std::string Reason;
  static constexpr auto Fields() { return std::tuple{&TRefusal::Reason}; }
};

// Server to client, the extension: the match block and the events of a match.
struct TStartLine {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Start;
  int32_t Game = 0;
  std::string Map;
  int32_t Columns = 0, Rows = 0, YourSeat = 0, Seats = 0;
  static constexpr auto Fields() {
    return std::tuple{&TStartLine::Game, &TStartLine::Map,      &TStartLine::Columns,
                      &TStartLine::Rows, &TStartLine::YourSeat, &TStartLine::Seats};
  }
};
struct TSeatLine {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Seat;
  int32_t Seat = 0;
  std::string Name;
  static constexpr auto Fields() { return std::tuple{&TSeatLine::Seat, &TSeatLine::Name}; }
};
struct TTreeLine {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Tree;
  int32_t X = 0, Y = 0;
  static constexpr auto Fields() { return std::tuple{&TTreeLine::X, &TTreeLine::Y}; }
};
struct TUnitLine {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Unit;
  int32_t Id = 0, Seat = 0;
  std::string UnitKind; // "viking" or "tank"
  int32_t X = 0, Y = 0, Health = 0;
  bool Moved = false, Attacked = false;
  static constexpr auto Fields() {
    return std::tuple{&TUnitLine::Id,    &TUnitLine::Seat,    &TUnitLine::UnitKind,
                      &TUnitLine::X,     &TUnitLine::Y,       &TUnitLine::Health,
                      &TUnitLine::Moved, &TUnitLine::Attacked};
  }
};
struct TTurnLine {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Turn;
  int32_t Seat = 0, Round = 0, SecondsLeft = 0;
  uint32_t Checksum = 0;
  static constexpr auto Fields() {
    return std::tuple{&TTurnLine::Seat, &TTurnLine::Round, &TTurnLine::SecondsLeft,
                      &TTurnLine::Checksum};
  }
};
struct TMovedLine {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Moved;
  int32_t Unit = 0, X = 0, Y = 0;
  static constexpr auto Fields() {
    return std::tuple{&TMovedLine::Unit, &TMovedLine::X, &TMovedLine::Y};
  }
};
struct THitLine {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Hit;
  int32_t Attacker = 0, Target = 0, HealthLeft = 0;
  static constexpr auto Fields() {
    return std::tuple{&THitLine::Attacker, &THitLine::Target, &THitLine::HealthLeft};
  }
};
struct TOutLine {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Out;
  int32_t Seat = 0;
  static constexpr auto Fields() { return std::tuple{&TOutLine::Seat}; }
};
struct TOverLine {
  static constexpr char Type = Msg::Extension;
  static constexpr TExt Kind = TExt::Over;
  int32_t Winner = 0; // -1 for a draw
  static constexpr auto Fields() { return std::tuple{&TOverLine::Winner}; }
};

// ---- building and reading -------------------------------------------------------------------

namespace protocol_detail {

template <class T>
concept ExtensionLine = requires {
  T::Kind;
};

template <class T>
constexpr int FirstParameter() {
  return ExtensionLine<T> ? 2 : 1;
}

inline void Put(TSArray& Out, const std::string& Value) {
  Out.push_back(Value);
}
inline void Put(TSArray& Out, int32_t Value) {
  Out.push_back(std::to_string(Value));
}
inline void Put(TSArray& Out, uint32_t Value) {
  Out.push_back(std::to_string(Value));
}
inline void Put(TSArray& Out, bool Value) {
  Out.push_back(Value ? "1" : "0");
}
inline void Put(TSArray& Out, const std::vector<std::string>& Values) {
  Out.insert(Out.end(), Values.begin(), Values.end());
}

// Reads token Index of Message into Value and moves Index on; false when it does not parse.
bool Take(const TMsg& Message, int& Index, std::string& Value);
bool Take(const TMsg& Message, int& Index, int32_t& Value);
bool Take(const TMsg& Message, int& Index, uint32_t& Value);
bool Take(const TMsg& Message, int& Index, bool& Value);
bool Take(const TMsg& Message, int& Index, std::vector<std::string>& Values);

} // namespace protocol_detail

// The text of Line, ready for MSG's receivers (without the 0x00 terminator).
template <class T>
std::string Build(const T& Line) {
  TSArray params;
  if constexpr (protocol_detail::ExtensionLine<T>)
    params.emplace_back(ExtWord(T::Kind));
  std::apply([&](auto... Field) { (protocol_detail::Put(params, Line.*Field), ...); }, T::Fields());
  return MSG(T::Type, params);
}

// Message as a T: nothing when its letter (or sub-type) is another, or a number, a flag or a
// required parameter is missing or does not parse. Parameters beyond the line's are ignored.
template <class T>
std::optional<T> Read(const TMsg& Message) {
  if (Message.GetType() != T::Type)
    return std::nullopt;
  if constexpr (protocol_detail::ExtensionLine<T>) {
    if (ExtOf(Message) != T::Kind)
      return std::nullopt;
  }
  T line{};
  int index = protocol_detail::FirstParameter<T>();
  bool ok = std::apply(
      [&](auto... Field) { return (protocol_detail::Take(Message, index, line.*Field) && ...); },
      T::Fields());
  if (!ok)
    return std::nullopt;
  return line;
}
