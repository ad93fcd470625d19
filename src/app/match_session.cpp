#include "app/match_session.h"

#include "net/protocol.h"

#include <algorithm>
#include <utility>

TMatchSession::TMatchSession(TSend Send, TClock Clock)
    : FSend(std::move(Send)), FClock(std::move(Clock)) {}

void TMatchSession::Send(const std::string& Line) const {
  if (FSend) {
    FSend(Line);
  }
}

void TMatchSession::OwnMatchBegun() {
  FMirror = TMatchMirror();
  FFollowing = true;
  FAwaitingBlock = true;
  FAskedWhole = false;
  FInBlock = false;
  FOver = false;
  FWinner = -1;
  FLost = false;
  FNotice.clear();
}

void TMatchSession::AskWhole() {
  FAwaitingBlock = true;
  if (!FAskedWhole) {
    FAskedWhole = true;
    Send(Build(TStateRequest{}));
  }
}

void TMatchSession::MatchLine(const TMsg& Line) {
  if (!FFollowing) {
    return;
  }
  const TExt kind = ExtOf(Line);
  // The result counts even while the copy is out of step.
  if (auto over = Read<TOverLine>(Line)) {
    FOver = true;
    FWinner = over->Winner;
  }
  if (kind == TExt::Start) {
    FInBlock = true;
  }
  if (FAwaitingBlock && !FInBlock) {
    return; // the copy is rebuilt only from a whole block
  }
  const bool endsBlock = FInBlock && kind == TExt::Turn;
  const TMatchMirror::TFeed fed = FMirror.Feed(Line);
  if (endsBlock || fed == TMatchMirror::TFeed::Bad) {
    FInBlock = false;
  }
  if (endsBlock && fed != TMatchMirror::TFeed::Bad) {
    // A block is the server's whole state: it is kept even when its checksum is not the
    // copy's, since asking again would bring the same block.
    FAwaitingBlock = false;
    FAskedWhole = false;
    FTurnClock = Now();
    if (OnReset) {
      OnReset(*FMirror.Game(), FMirror.YourSeat());
    }
    return;
  }
  switch (fed) {
  case TMatchMirror::TFeed::Ignored:
    return;
  case TMatchMirror::TFeed::Mismatch:
  case TMatchMirror::TFeed::Bad:
    AskWhole();
    return;
  case TMatchMirror::TFeed::Applied:
    break;
  }
  if (FInBlock) {
    return;
  }
  const std::optional<TMatchEvent> event = EventOf(Line);
  if (!event) {
    return;
  }
  if (event->Kind == TMatchEventKind::Turn) {
    FTurnClock = Now();
  }
  if (OnEvent) {
    OnEvent(*event);
  }
}

void TMatchSession::Refused(const std::string& Reason) {
  if (FFollowing) {
    FNotice = Reason;
    FNoticeClock = Now();
  }
}

void TMatchSession::ConnectionLost() {
  if (FFollowing) {
    FFollowing = false;
    FLost = true;
  }
}

void TMatchSession::Order(const TOrder& Order) {
  if (!FFollowing || FOver) {
    return;
  }
  switch (Order.Kind) {
  case TOrderKind::Move:
    Send(Build(TMoveOrder{Order.Unit, Order.X, Order.Y}));
    break;
  case TOrderKind::Attack:
    Send(Build(TAttackOrder{Order.Unit, Order.Target}));
    break;
  case TOrderKind::EndTurn:
    Send(Build(TEndTurnOrder{}));
    break;
  case TOrderKind::Leave:
    Resign();
    break;
  case TOrderKind::TimeOut:
    break; // only the server's clock ends a turn
  }
}

void TMatchSession::Resign() {
  if (FFollowing) {
    Send(Build(TResignRequest{}));
    FFollowing = false;
  }
}

double TMatchSession::SecondsLeft() const {
  if (FOver || FMirror.Game() == nullptr) {
    return 0;
  }
  return std::max(0.0, FMirror.SecondsLeft() - (Now() - FTurnClock));
}

std::string TMatchSession::ResultText() const {
  if (FWinner < 0) {
    return "Draw";
  }
  if (FWinner == Seat()) {
    return "You win";
  }
  const TPlayer* winner = Game() != nullptr ? SeatPlayer(*Game(), FWinner) : nullptr;
  return (winner != nullptr ? winner->Name : "Seat " + std::to_string(FWinner)) + " wins";
}

std::string TMatchSession::Notice() const {
  return !FNotice.empty() && Now() - FNoticeClock < NOTICE_SECONDS ? FNotice : std::string();
}
