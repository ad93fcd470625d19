// Private to the net library's .cpp files: SDL_net's declarations without the rest of SDL, and
// the one place that knows how to reach the operating-system descriptor behind an SDL_net socket.
//
// SDL_net.h includes SDL.h, which pulls in the video, mouse and keyboard headers. Marking SDL.h
// as already included and naming the few SDL headers SDL_net.h really needs keeps the server's
// build free of anything that draws.
#pragma once

#define _SDL_H
#include "SDL_endian.h"
#include "SDL_error.h"
#include "SDL_net.h"

#if defined(_SDL_video_h) || defined(_SDL_mouse_h) || defined(_SDL_events_h)
#error "SDL video headers reached the net library"
#endif
#include "SDL_stdinc.h"
#include "SDL_version.h"

namespace net_detail {

// The descriptor of an open SDL_net TCP socket, or -1 for none.
int DescriptorOf(TCPsocket Socket);

// Checks that Descriptor really is the IPv4 stream socket SDL_net opened for this handle: a
// listening one on Port when Listening, else one connected to Port (0 skips the port check).
// Sets the network error text and answers false when it is not.
bool VerifyDescriptor(int Descriptor, bool Listening, uint16_t Port);

// Makes the listening handle Socket listen on Host (network byte order) and Port instead of
// where SDL_net bound it: SDL_net can only listen on all interfaces. Sets the error text and
// answers false on failure; the handle stays usable as it was then.
bool RebindListener(TCPsocket Socket, uint32_t Host, uint16_t Port);

// Asks the system for its deepest queue of pending connections on a listening descriptor.
void DeepenListenQueue(int Descriptor);

} // namespace net_detail
