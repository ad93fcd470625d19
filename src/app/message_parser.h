#pragma once
// Turns the lobby server's messages into changes of the lobby state (Global.Lobby), whose
// screens show them, and handles the answer to a login on the login screen.

#include <chrono>
#include <cstddef>

class TMsg;

// The most time one frame spends on server messages; what is left waits for the next frame.
inline constexpr std::chrono::microseconds MESSAGE_TIME_BUDGET{3000};

// Reads at most one line from Global.Conn and handles it. Every line read is written to
// standard output as "received " followed by the line. A connection found dead is reported to
// the lobby state, whose screens tell the user.
void ParseMessage();
// Handles, as ParseMessage does, the lines that have arrived, oldest first, until none is left
// or Budget has passed by Global.Clock; at least one when any is waiting. Answers how many it
// handled (the end of a dead connection counts as one).
std::size_t ParseMessages(std::chrono::microseconds Budget = MESSAGE_TIME_BUDGET);
// Handles the messages that may come at any time (C, E, F, G, H, U, X); on the login screen
// also the answers to a login (ParseLogin). False for a message it does not recognise.
bool Parse(const TMsg& M);
// Handles the answer to a login: O switches to the lobby, N closes the connection and shows
// "Access denied: " and the reason. Anything else prints "Unexpected message" and gives false.
bool ParseLogin(const TMsg& M);

// The texts the parser shows.
inline constexpr const char* ACCESS_DENIED_TEXT = "Access denied: ";
inline constexpr const char* CONNECTION_LOST_TEXT = "Connection to server lost.";
