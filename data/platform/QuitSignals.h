#pragma once
// The requests to end the program that come from outside it (logout, kill, Ctrl+C in a
// terminal) turned into a byte on a descriptor the event loop can watch: the self-pipe
// trick, since a signal handler may do next to nothing.

namespace vorn::platform {

// Starts watching SIGTERM, SIGHUP and SIGINT; returns the descriptor that becomes readable
// when one arrives, or -1 where there is none to watch (Windows: a window program has no
// console whose close would end it).
int watchQuitSignals();
// Takes the byte of one request off the descriptor.
void acknowledgeQuitSignal();
// Back to the default actions; the descriptor is closed.
void unwatchQuitSignals();

} // namespace vorn::platform
