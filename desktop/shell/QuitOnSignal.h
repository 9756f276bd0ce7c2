#pragma once
#include <QObject>

class QSocketNotifier;

namespace vorn {

// Turns SIGTERM, SIGHUP and SIGINT (logout, kill, Ctrl+C in a terminal) into an ordinary
// close of every window, so the open calculation is posted and closed as on Exit. Where the
// system has no such signals (Windows) it does nothing.
class QuitOnSignal : public QObject {
    Q_OBJECT
public:
    explicit QuitOnSignal(QObject* parent = nullptr);
    ~QuitOnSignal() override;

private:
    void handle();

    QSocketNotifier* notifier_ = nullptr;
};

} // namespace vorn
