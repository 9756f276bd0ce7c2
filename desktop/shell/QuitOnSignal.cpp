#include "desktop/shell/QuitOnSignal.h"

#include "data/platform/QuitSignals.h"

#include <QApplication>
#include <QSocketNotifier>

namespace vorn {

QuitOnSignal::QuitOnSignal(QObject* parent) : QObject(parent) {
    const int fd = platform::watchQuitSignals();
    if (fd < 0)
        return;
    notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitOnSignal::handle);
}

QuitOnSignal::~QuitOnSignal() {
    delete notifier_;
    platform::unwatchQuitSignals();
}

void QuitOnSignal::handle() {
    platform::acknowledgeQuitSignal();
    // Dialogs first, then the main window, whose close posts and closes the calculation.
    QApplication::closeAllWindows();
}

} // namespace vorn
