#include "app/screens/chat_status.h"

#include "app/connection.h"
#include "app/event_listener.h"
#include "app/global.h"
#include "app/message_parser.h"
#include "app/screens/game_creation_status.h"
#include "app/screens/login_status.h"
#include "app/screens/screens.h"
#include "gui/button.h"
#include "gui/desktop.h"
#include "gui/edit.h"
#include "gui/error_window.h"
#include "gui/layered.h"
#include "gui/list.h"
#include "gui/ui_loader.h"
#include "gui/window.h"
#include "net/protocol.h"

#include <cstdio>
#include <exception>
#include <memory>

namespace {

const std::string PAGES_NAME = "lyd1";

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

std::string GameLine(const std::string& ID, const std::string& Name, const std::string& MapName,
                     const std::string& Points, const std::string& MainUser) {
  return ID + " " + Name + "  MAP: " + MapName + " POINTS: " + Points + " USER: " + MainUser;
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
  const struct {
    const char* Name;
    void (TChatStatus::*Handler)(TUIWidget*);
  } buttons[] = {
      {"btnChat", &TChatStatus::OnChatClick}, {"btnBuy", &TChatStatus::OnBuyClick},
      {"btnSell", &TChatStatus::OnSellClick}, {"btnGames", &TChatStatus::OnGamesClick},
      {"btnQuit", &TChatStatus::OnQuitClick}, {"CreateGameButton", &TChatStatus::OnCreateGameClick},
  };
  for (const auto& b : buttons) {
    if (auto* button = Desktop->Find<TUIButton>(b.Name)) {
      button->FOnClick = [this, h = b.Handler](TUIWidget* Sender) { (this->*h)(Sender); };
    }
  }
}

void TChatStatus::Enter() {
  TClientScreen::Enter();
  SwitchPage("pagChat");
  WaitingResponse = false;
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
  if (GameList != nullptr) {
    GameList->FStrings.push_back(GameLine(ID, Name, MapName, Points, MainUser));
  }
  if (MainUser == Global.UserName) {
    WaitingResponse = false;
    FOwnGameWaiting = true;
    MoveOnToOwnGame();
  }
}

void TChatStatus::ChatLine(const std::string& Line) {
  AddChatList(Line);
}

void TChatStatus::ServerNotice(const std::string&) {
  WaitingResponse = false;
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
  AddGame(Game.Number, Game.Name, Game.MapName, Game.Points, Game.MainUser);
}

void TChatStatus::GameReplaced(std::size_t Index, const TLobbyGame& Game) {
  if (GameList != nullptr && Index < GameList->FStrings.size()) {
    GameList->FStrings[Index] =
        GameLine(Game.Number, Game.Name, Game.MapName, Game.Points, Game.MainUser);
  }
}

void TChatStatus::GameRemoved(std::size_t Index) {
  RemoveRow(GameList, Index);
}

void TChatStatus::GamesCleared() {
  ClearRows(GameList);
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
    if (GameCreationStatus != nullptr) {
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
