#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <optional>

// Keeps a top-level window's frame in Glowdeck's settings store under `name`: written when the
// window has moved (once a drag comes to rest) and when it is closed or hidden, read back by
// restore() on the next run.
class WindowFrameAutosave : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds moveSettleTime{300};

    WindowFrameAutosave(QWidget* window, QString name);

    // Moves the window to its saved place when that is reachable on a screen now, else centres
    // it on the primary screen.
    void restore();
    void save();
    // Saves now when a move is still waiting to be saved; for the end of the run.
    void flush();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The frame stored under the name; none when there is none or it is not a frame.
    std::optional<QRect> savedFrame() const;

    QPointer<QWidget> window_;
    QString name_;
    QTimer pendingSave_;
};
