#include "app/quit_signals.h"

#include <QSocketNotifier>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace {

// The handler only writes a byte; the window thread reads it.
int signalSocket[2] = {-1, -1};

void OnQuitSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSocket[0], &byte, 1);
}

}  // namespace

void CatchQuitSignals() {
    if (signalSocket[0] >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSocket) != 0) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
}

void CloseOnQuitSignals(QWidget* window) {
    CatchQuitSignals();
    if (signalSocket[1] < 0) {
        return;
    }
    // A signal that came during start-up is waiting in the socket: the window
    // closes as soon as the event loop runs.
    auto* notifier = new QSocketNotifier(signalSocket[1], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(signalSocket[1], &byte, 1);
        window->close();
    });
}
#else
void CatchQuitSignals() {}
void CloseOnQuitSignals(QWidget*) {}
#endif
