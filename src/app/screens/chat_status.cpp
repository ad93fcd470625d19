#include "app/screens/chat_status.h"

#include "app/connection.h"
#include "app/event_listener.h"
#include "app/global.h"
#include "app/message_parser.h"
#include "app/screens/game_creation_status.h"
#include "app/screens/login_status.h"
#include "app/screens/screens.h"
#include "game/rules.h"
#include "gui/button.h"
#include "gui/desktop.h"
#include "gui/edit.h"
#include "gui/error_window.h"
#include "gui/layered.h"
#include "gui/list.h"
#include "gui/ui_loader.h"
#include "gui/window.h"
#include "net/protocol.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>

namespace {

const std::string PAGES_NAME = "lyd1";
// Room kept between the game list and the match controls' label below it.
constexpr std::int32_t GAME_LIST_GAP = 4;

// The window that holds W (the create-game window for its buttons), or none.
TUIWindow* WindowOf(TUIWidget* W) {
  for (TUIWidget* up = W != nullptr ? W->FParent : nullptr; up != nullptr; up = up->FParent) {
    if (auto* window = dynamic_cast<TUIWindow*>(up)) {
      return window;
    }
  }
  return nullptr;
}

std::string EditText(TUIWindow& Window, const std::string& Name) {
  auto* edit = Window.Find<TUIEdit>(Name);
  return edit != nullptr ? edit->FText : std::string();
}

void Send(const std::string& Message) {
  if (Global.Conn != nullptr) {
    Global.Conn->Send(Message);
  }
}

std::string Joined(const std::vector<std::string>& Names) {
  std::string text;
  for (const std::string& name : Names) {
    text += (text.empty() ? "" : ", ") + name;
  }
  return text;
}

// Removes row Index of List; the selection stays on the row it was on, or goes with it.
void RemoveRow(TUIList* List, std::size_t Index) {
  if (List != nullptr) {
    List->DeleteRow(Index);
  }
}

void ClearRows(TUIList* List) {
  if (List != nullptr) {
    List->Clear();
  }
}

} // namespace

TChatStatus::TChatStatus() : TClientScreen(UI_FILE) {
  ChatList = Desktop->Find<TUIList>("ChatList");
  UserList = Desktop->Find<TUIList>("UserList");
  GameList = Desktop->Find<TUIList>("GameList");
  Edit = Desktop->Find<TUIEdit>("ChatEdit");
  if (Edit != nullptr) {
    Edit->FOnEnter = [this](TUIWidget* Sender) { OnEnter(Sender); };
  }
  JoinButton = Desktop->Find<TUIButton>("JoinButton");
  MatchList = Desktop->Find<TUIList>("MatchList");
  if (GameList != nullptr) {
    GameList->FOnClick = [this](TUIWidget* Sender) { OnGameListClick(Sender); };
    GameList->FOnDoubleClick = [this](TUIWidget* Sender) { OnJoinClick(Sender); };
    FGameListHeight = GameList->FHeight;
    FGameListShortHeight = FGameListHeight;
    if (auto* label = Desktop->Find<TUIWidget>("MatchesLabel")) {
      FGameListShortHeight = std::max(0, label->FTop - GAME_LIST_GAP - GameList->FTop);
    }
  }
  AttachClicks<TChatStatus>({
      {"btnChat", &TChatStatus::OnChatClick},
      {"btnBuy", &TChatStatus::OnBuyClick},
      {"btnSell", &TChatStatus::OnSellClick},
      {"btnGames", &TChatStatus::OnGamesClick},
      {"btnQuit", &TChatStatus::OnQuitClick},
      {"CreateGameButton", &TChatStatus::OnCreateGameClick},
      {"JoinButton", &TChatStatus::OnJoinClick},
  });
  // The match controls show only on a server that plays matches (Enter).
  for (const char* name : {"JoinButton", "MatchList", "MatchesLabel", "JoinHint"}) {
    FMatchControls.emplace_back(Desktop->Find<TUIWidget>(name));
  }
  FPlainHint = TWidgetSlot(Desktop->Find<TUIWidget>("GamesHint"));
  ShowMatchControls(false);
}

void TChatStatus::Enter() {
  TClientScreen::Enter();
  SwitchPage("pagChat");
  WaitingResponse = false;
  ShowMatchControls(MatchesAvailable());
  CheckSelection();
}

void TChatStatus::ShowMatchControls(bool Shown) {
  for (TWidgetSlot& slot : FMatchControls) {
    slot.Show(Shown);
  }
  FPlainHint.Show(!Shown);
  if (GameList != nullptr) {
    GameList->SetHeight(Shown ? FGameListShortHeight : FGameListHeight);
  }
}

void TChatStatus::AddChatList(const std::string& S) {
  if (ChatList == nullptr) {
    return;
  }
  ChatList->AppendWrapped(S);
  if (ChatList->FStrings.size() > MAX_CHAT_LINES) {
    ChatList->DeleteFirstRows(ChatList->FStrings.size() - MAX_CHAT_LINES);
  }
}

void TChatStatus::AddGame(const std::string& ID, const std::string& Name,
                          const std::string& MapName, const std::string& Points,
                          const std::string& MainUser) {
  AppendGame(TLobbyGame::Announced(ID, Name, MapName, Points, MainUser));
}

void TChatStatus::AppendGame(const TLobbyGame& Game) {
  if (GameList != nullptr) {
    GameList->FStrings.push_back(GameLine(Game));
  }
  if (!MatchesAvailable() && Game.MainUser == Global.UserName) {
    OwnGameEntered();
  }
}

std::string TChatStatus::GameLine(const TLobbyGame& Game) const {
  std::string line = Game.Number + " " + Game.Name + "  MAP: " + Game.MapName +
                     " POINTS: " + Game.Points + " USER: " + Game.MainUser;
  if (MatchesAvailable()) {
    line += Game.Open ? "  PLAYERS: " + std::to_string(Game.Players().size()) + "/" +
                            std::to_string(MaxSeats)
                      : "  (cannot be joined)";
  }
  return line;
}

std::string TChatStatus::MatchRow(const TLobbyMatch& Match) {
  return std::to_string(Match.Number) + (Match.Name.empty() ? "" : " " + Match.Name) +
         "  PLAYERS: " + Joined(Match.Seats);
}

bool TChatStatus::Joinable(const TLobbyGame& Game) const {
  return MatchesAvailable() && Game.Open && Game.Players().size() < MaxSeats &&
         Game.Number != std::to_string(Lobby()->OwnGame());
}

const TLobbyGame* TChatStatus::SelectedGame() const {
  if (GameList == nullptr || Lobby() == nullptr || GameList->FIndex < 0) {
    return nullptr;
  }
  const auto index = static_cast<std::size_t>(GameList->FIndex);
  return index < Lobby()->Games().size() ? &Lobby()->Games()[index] : nullptr;
}

void TChatStatus::CheckSelection() {
  const TLobbyGame* game = SelectedGame();
  const bool joinable = game != nullptr && Joinable(*game);
  if (!joinable && GameList != nullptr && MatchesAvailable()) {
    GameList->FIndex = -1;
  }
  if (JoinButton != nullptr) {
    JoinButton->FEnabled = joinable;
  }
}

void TChatStatus::OnGameListClick(TUIWidget*) {
  CheckSelection();
}

void TChatStatus::OnJoinClick(TUIWidget*) {
  const TLobbyGame* game = SelectedGame();
  if (game == nullptr || !Joinable(*game) || WaitingResponse || Lobby()->OwnGame() != NO_GAME) {
    return;
  }
  if (const auto number = ReadInt(game->Number)) {
    Send(Build(TJoinRequest{*number}));
    WaitingResponse = true;
  }
}

void TChatStatus::ChatLine(const std::string& Line) {
  AddChatList(Line);
}

void TChatStatus::ServerNotice(const std::string&) {
  WaitingResponse = false;
}

void TChatStatus::Refused(const std::string& Reason) {
  WaitingResponse = false;
  if (Active) {
    Desktop->AddModal(std::make_unique<TUIErrorWindow>(Reason));
  }
}

void TChatStatus::UserAdded(const std::string& Name) {
  if (UserList != nullptr) {
    UserList->FStrings.push_back(Name);
  }
}

void TChatStatus::UserRemoved(std::size_t Index) {
  RemoveRow(UserList, Index);
}

void TChatStatus::UsersCleared() {
  ClearRows(UserList);
}

void TChatStatus::GameAdded(const TLobbyGame& Game) {
  AppendGame(Game);
}

void TChatStatus::GameReplaced(std::size_t Index, const TLobbyGame& Game) {
  if (GameList != nullptr && Index < GameList->FStrings.size()) {
    GameList->FStrings[Index] = GameLine(Game);
  }
  CheckSelection();
}

void TChatStatus::GameRemoved(std::size_t Index) {
  RemoveRow(GameList, Index);
  CheckSelection();
}

void TChatStatus::GamesCleared() {
  ClearRows(GameList);
  FOwnGameWaiting = false;
  CheckSelection();
}

void TChatStatus::MatchAdded(const TLobbyMatch& Match) {
  if (MatchList != nullptr) {
    MatchList->FStrings.push_back(MatchRow(Match));
  }
}

void TChatStatus::MatchRemoved(std::size_t Index) {
  RemoveRow(MatchList, Index);
}

void TChatStatus::MatchesCleared() {
  ClearRows(MatchList);
}

void TChatStatus::OwnGameEntered() {
  WaitingResponse = false;
  FOwnGameWaiting = true;
  MoveOnToOwnGame();
}

void TChatStatus::OwnGameCancelled() {
  FOwnGameWaiting = false;
}

void TChatStatus::ConnectionLost() {
  WaitingResponse = false;
  FOwnGameWaiting = false;
  if (LoginStatus == nullptr || !LoginStatus->Active) {
    Desktop->AddModal(std::make_unique<TUIErrorWindow>(CONNECTION_LOST_TEXT));
  }
}

void TChatStatus::BeforeFrame() {
  TClientScreen::BeforeFrame();
  MoveOnToOwnGame();
}

void TChatStatus::MoveOnToOwnGame() {
  if (FOwnGameWaiting && Active) {
    FOwnGameWaiting = false;
    // On a server that plays matches the room may have gone meanwhile (or its match begun).
    const bool roomGone =
        MatchesAvailable() && (Lobby()->OwnGame() == NO_GAME || Lobby()->OwnMatchStarted());
    if (GameCreationStatus != nullptr && !roomGone) {
      ChangeListener(GameCreationStatus);
    }
  }
}

void TChatStatus::OnQuitClick(TUIWidget*) {
  if (LoginStatus != nullptr) {
    ChangeListener(LoginStatus);
  }
}

void TChatStatus::OnEnter(TUIWidget*) {
  if (Edit == nullptr) {
    return;
  }
  Send(Build(TChatRequest{Edit->FText}));
  Edit->FText.clear();
}

void TChatStatus::OnChatClick(TUIWidget*) {
  SwitchPage("pagChat");
}

void TChatStatus::OnBuyClick(TUIWidget*) {
  SwitchPage("pagBuy");
}

void TChatStatus::OnSellClick(TUIWidget*) {
  SwitchPage("pagSell");
}

void TChatStatus::OnGamesClick(TUIWidget*) {
  SwitchPage("pagGames");
}

void TChatStatus::OnCreateGameClick(TUIWidget*) {
  std::unique_ptr<TUIWindow> window;
  try {
    window = LoadWidgetAs<TUIWindow>(CREATE_GAME_UI_FILE, "CreateGameWindow");
  } catch (const std::exception& E) {
    std::fprintf(stderr, "%s: %s\n", CREATE_GAME_UI_FILE, E.what());
  }
  if (window == nullptr) {
    return;
  }
  if (auto* abort = window->Find<TUIButton>("AbortButton")) {
    abort->FOnClick = [this](TUIWidget* Sender) { OnAbortGameWinClick(Sender); };
  }
  if (auto* create = window->Find<TUIButton>("CreateButton")) {
    create->FOnClick = [this](TUIWidget* Sender) { OnCreateGameWinClick(Sender); };
  }
  Desktop->AddModal(std::move(window));
}

void TChatStatus::OnAbortGameWinClick(TUIWidget* Sender) {
  if (TUIWindow* window = WindowOf(Sender)) {
    window->RequestDestroy();
  }
}

void TChatStatus::OnCreateGameWinClick(TUIWidget* Sender) {
  TUIWindow* window = WindowOf(Sender);
  if (window == nullptr) {
    return;
  }
  Send(Build(TAnnounceRequest{EditText(*window, "MapEdit"), EditText(*window, "PointEdit"),
                              EditText(*window, "GameNameEdit")}));
  window->RequestDestroy();
  WaitingResponse = true;
}

std::string TChatStatus::CursorTexture() const {
  return WaitingResponse ? HOURGLASS_TEXTURE : POINTER_TEXTURE;
}

void TChatStatus::SwitchPage(const std::string& Page) {
  if (auto* pages = Desktop->Find<TUILayered>(PAGES_NAME)) {
    pages->SwitchPage(Page);
  }
}
