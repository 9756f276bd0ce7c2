#include "data/platform/QuitSignals.h"

#ifdef _WIN32

namespace vorn::platform {

int watchQuitSignals() {
    return -1;
}
void acknowledgeQuitSignal() {}
void unwatchQuitSignals() {}

} // namespace vorn::platform

#else

#include <csignal>
#include <initializer_list>
#include <sys/socket.h>
#include <unistd.h>

namespace vorn::platform {

namespace {
// Written from the signal handler, read on the user-interface thread.
int gSignalFds[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(gSignalFds[0], &byte, 1);
}

void setAction(void (*handler)(int)) {
    struct sigaction sa = {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(sig, &sa, nullptr);
}
} // namespace

int watchQuitSignals() {
    if (gSignalFds[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalFds) != 0)
        return -1;
    setAction(onSignal);
    return gSignalFds[1];
}

void acknowledgeQuitSignal() {
    char byte;
    [[maybe_unused]] const ssize_t n = ::read(gSignalFds[1], &byte, 1);
}

void unwatchQuitSignals() {
    setAction(SIG_DFL);
    if (gSignalFds[0] >= 0) {
        ::close(gSignalFds[0]);
        ::close(gSignalFds[1]);
        gSignalFds[0] = gSignalFds[1] = -1;
    }
}

} // namespace vorn::platform

#endif
