#pragma once
// Turns the lobby server's messages into changes of the login and lobby screens: chat lines,
// names in the user list, games in the game list, and the answer to a login.

class TMsg;

// Reads at most one line from Global.Conn and handles it. Every line read is written to
// standard output as "received " followed by the line. A connection found dead while the
// login or lobby screen is current is shown there as "Connection to server lost.".
void ParseMessage();
// Handles the messages that may come at any time (C, E, F, G, U, X); on the login screen also
// the answers to a login (ParseLogin). False for a message it does not recognise.
bool Parse(const TMsg& M);
// Handles the answer to a login: O switches to the lobby, N closes the connection and shows
// "Access denied: " and the reason. Anything else prints "Unexpected message" and gives false.
bool ParseLogin(const TMsg& M);

// The texts the parser shows.
inline constexpr const char* ACCESS_DENIED_TEXT = "Access denied: ";
inline constexpr const char* CONNECTION_LOST_TEXT = "Connection to server lost.";
