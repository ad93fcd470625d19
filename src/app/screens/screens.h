#pragma once
// The client's four screens. Each is created once at start-up and kept for the whole run; the
// screens and the message parser switch between them with ChangeListener. None until created.

class TLoginStatus;
class TChatStatus;
class TGameCreationStatus;
class TGameStatus;

extern TLoginStatus* LoginStatus;
extern TChatStatus* ChatStatus;
extern TGameCreationStatus* GameCreationStatus;
extern TGameStatus* GameStatus;
