#pragma once

#include "CameraFollow.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <map>
#include <optional>

class QSocketNotifier;

// Whether `name` is a video capture node: "video" and a number.
bool isCameraNode(const QString& name);
// The processes holding a camera node of `folder` (a canonical path) open, by their
// /proc/PID/fd links; processes that cannot be read are left out.
int countCameraHolders(const QString& folder);

// Follows the cameras of one folder, /dev in the app: inotify on each node for opens and
// closes and on the folder for nodes that come and go, each event confirmed by counting the
// holders. Wakes for nothing else: its one timer runs only while a camera is being opened or
// released (CameraFollow's deadlines).
class CameraWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr const char* systemFolder = "/dev";

    // Throws GlowdeckError with unavailable()'s reason.
    CameraWatcher(const QString& folder, CameraFollow::Timing timing, QObject* parent = nullptr);
    ~CameraWatcher() override;

    // Why the cameras of `folder` cannot be followed; none when they can.
    static std::optional<QString> unavailable(const QString& folder);

    CameraFollow& follow() { return follow_; }
    // As last counted.
    int holders() const { return holders_; }
    // Whether a camera is being opened or released: a deadline is set.
    bool isWaiting() const { return deadline_.isActive(); }

signals:
    void began();
    void ended();
    // After every count.
    void checked();

private:
    void readEvents();
    void watchNode(const QString& name);
    // Counts the holders, at least `atLeast`, and feeds the count to the decision.
    void check(int atLeast = 0);

    int fd_ = -1;
    QString folder_;
    QSocketNotifier* notifier_ = nullptr;
    QTimer deadline_;
    CameraFollow follow_;
    int holders_ = 0;
    int folderWatch_ = -1;
    std::map<int, QString> nodeWatches_;
};
