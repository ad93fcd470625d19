#include "app/screens/game_creation_status.h"

#include "app/connection.h"
#include "app/global.h"
#include "app/lobby_state.h"
#include "app/screens/chat_status.h"
#include "app/screens/game_status.h"
#include "app/screens/screens.h"
#include "game/rules.h"
#include "gui/button.h"
#include "gui/desktop.h"
#include "gui/error_window.h"
#include "gui/label.h"
#include "gui/list.h"
#include "net/protocol.h"

#include <memory>

namespace {

constexpr const char* ALONE_TEXT = "Alone, you play against the computer. Start when ready.";
constexpr const char* CREATOR_TEXT = "Start the game when everyone is here.";
constexpr const char* STARTING_TEXT = "Starting the match...";

void Send(const std::string& Line) {
  if (Global.Conn != nullptr) {
    Global.Conn->Send(Line);
  }
}

void SetCaption(TUILabel* Label, const std::string& Text) {
  if (Label != nullptr) {
    Label->FCaption = Text;
  }
}

// The status line for those who wait for the creator.
std::string WaitingForText(const std::string& Creator) {
  return "Waiting for " + Creator + " to start";
}

} // namespace

TGameCreationStatus::TGameCreationStatus() : TClientScreen(UI_FILE) {
  AttachClicks<TGameCreationStatus>({
      {"GameStartButton", &TGameCreationStatus::OnGameStartButtonClick},
      {"GameExitButton", &TGameCreationStatus::OnGameExitButtonClick},
      {"RoomStartButton", &TGameCreationStatus::OnGameStartButtonClick},
      {"RoomExitButton", &TGameCreationStatus::OnGameExitButtonClick},
  });
  GameLabel = Desktop->Find<TUILabel>("RoomGameLabel");
  MapLabel = Desktop->Find<TUILabel>("RoomMapLabel");
  PlayersLabel = Desktop->Find<TUILabel>("RoomPlayersLabel");
  PlayerList = Desktop->Find<TUIList>("RoomPlayerList");
  StatusLabel = Desktop->Find<TUILabel>("RoomStatusLabel");
  StartButton = Desktop->Find<TUIButton>("RoomStartButton");
  FStartSlot = TWidgetSlot(StartButton);
  FPlainRoom = TWidgetSlot(Desktop->Find<TUIWidget>("GameCreationWindow"));
  FMatchRoom = TWidgetSlot(Desktop->Find<TUIWidget>("WaitingRoomWindow"));
  FMatchRoom.Show(false);
}

void TGameCreationStatus::Enter() {
  TClientScreen::Enter();
  FInMatchRoom = Lobby() != nullptr && Lobby()->OwnGame() != NO_GAME;
  FStartAsked = false;
  FPlainRoom.Show(!FInMatchRoom || FMatchRoom.Get() == nullptr);
  FMatchRoom.Show(FInMatchRoom);
  if (FInMatchRoom) {
    ShowRoom();
  }
}

void TGameCreationStatus::ShowRoom() {
  const TLobbyState& lobby = *Lobby();
  const TLobbyGame& room = lobby.OwnRoom();
  SetCaption(GameLabel, "Game " + room.Number + (room.Name.empty() ? "" : ": " + room.Name));
  SetCaption(MapLabel, "Map: " + room.MapName + "   Points: " + room.Points);
  const std::vector<std::string> players = room.Players();
  SetCaption(PlayersLabel,
             "Players (" + std::to_string(players.size()) + "/" + std::to_string(MaxSeats) + ")");
  if (PlayerList != nullptr) {
    PlayerList->Clear();
    for (std::size_t seat = 0; seat < players.size(); ++seat) {
      const bool mine = static_cast<std::int32_t>(seat) == lobby.OwnSeat();
      PlayerList->FStrings.push_back("Seat " + std::to_string(seat) + ": " + players[seat] +
                                     (mine ? "  (you)" : ""));
    }
  }
  const bool creator = lobby.OwnGameCreator();
  const bool starting = lobby.OwnMatchStarted() || FStartAsked;
  FStartSlot.Show(creator);
  if (StartButton != nullptr) {
    StartButton->FEnabled = !starting;
  }
  if (starting) {
    SetCaption(StatusLabel, STARTING_TEXT);
  } else if (creator) {
    SetCaption(StatusLabel, room.Joiners.empty() ? ALONE_TEXT : CREATOR_TEXT);
  } else {
    SetCaption(StatusLabel, WaitingForText(room.MainUser));
  }
}

void TGameCreationStatus::OnGameStartButtonClick(TUIWidget*) {
  if (!FInMatchRoom) {
    if (GameStatus != nullptr) {
      ChangeListener(GameStatus);
    }
    return;
  }
  const TLobbyState& lobby = *Lobby();
  if (!lobby.OwnGameCreator() || lobby.OwnMatchStarted() || FStartAsked) {
    return;
  }
  Send(Build(TBeginRequest{}));
  FStartAsked = true;
  ShowRoom();
}

void TGameCreationStatus::OnGameExitButtonClick(TUIWidget*) {
  if (FInMatchRoom) {
    TLobbyState& lobby = *Lobby();
    if (lobby.OwnMatchStarted()) {
      return;
    }
    if (lobby.OwnGame() != NO_GAME) {
      Send(Build(TLeaveRequest{}));
      lobby.LeaveOwnGame();
    }
  }
  if (ChatStatus != nullptr) {
    ChangeListener(ChatStatus);
  }
}

void TGameCreationStatus::BackToLobby() {
  if (Active && ChatStatus != nullptr) {
    ChangeListener(ChatStatus);
  }
}

void TGameCreationStatus::OwnGameChanged() {
  if (Active && FInMatchRoom) {
    ShowRoom();
  }
}

void TGameCreationStatus::OwnMatchBegun() {
  OwnGameChanged();
}

void TGameCreationStatus::OwnGameCancelled() {
  if (FInMatchRoom) {
    BackToLobby();
  }
}

void TGameCreationStatus::Refused(const std::string& Reason) {
  if (!Active) {
    return;
  }
  FStartAsked = false;
  if (FInMatchRoom && Lobby()->OwnGame() != NO_GAME) {
    ShowRoom();
  }
  Desktop->AddModal(std::make_unique<TUIErrorWindow>(Reason));
}

void TGameCreationStatus::ConnectionLost() {
  if (FInMatchRoom) {
    BackToLobby();
  }
}
