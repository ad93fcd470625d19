// Start-up of the socket library and the small helpers both programs share.
#pragma once

#include <cstdint>
#include <string>

// Starts the socket library once per process (later calls do nothing) and makes writes to a
// peer that has gone fail quietly instead of raising SIGPIPE. Throws std::runtime_error
// "Could not initialize SDL Net" when the library cannot start. Every socket and socket set
// calls it, and both programs call it first thing.
void InitNetwork();

// The socket library's last error text.
std::string GetLastNetworkError();

// The host part of an address as dotted text. Host is the library's 32-bit host field as
// stored (network byte order): its bytes in memory order, first octet first.
std::string IPToString(uint32_t Host);
