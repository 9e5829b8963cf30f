#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM (a logout), SIGINT (Ctrl-C) and SIGHUP into QCoreApplication::quit(), so that
// they end Glowdeck the same orderly way as its Quit item. One per process.
class QuitOnSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitOnSignals(QObject* parent = nullptr);
    ~QuitOnSignals() override;

private:
    QSocketNotifier* notifier_ = nullptr;
};
