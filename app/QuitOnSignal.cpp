#include "app/QuitOnSignal.h"

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace vorn {

namespace {
// Written from the signal handler, read on the user-interface thread (the self-pipe trick:
// a handler may only call async-signal-safe functions).
int gSignalFds[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(gSignalFds[0], &byte, 1);
}
} // namespace

QuitOnSignal::QuitOnSignal(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalFds) != 0)
        return;
    notifier_ = new QSocketNotifier(gSignalFds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitOnSignal::handle);
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(sig, &sa, nullptr);
}

QuitOnSignal::~QuitOnSignal() {
    struct sigaction sa = {};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(sig, &sa, nullptr);
    if (gSignalFds[0] >= 0) {
        ::close(gSignalFds[0]);
        ::close(gSignalFds[1]);
        gSignalFds[0] = gSignalFds[1] = -1;
    }
}

void QuitOnSignal::handle() {
    char byte;
    [[maybe_unused]] const ssize_t n = ::read(gSignalFds[1], &byte, 1);
    // Dialogs first, then the main window, whose close posts and closes the calculation.
    QApplication::closeAllWindows();
}

} // namespace vorn
