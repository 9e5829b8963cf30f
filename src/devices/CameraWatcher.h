#pragma once

#include "CameraFollow.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <sys/types.h>

#include <map>
#include <optional>

class QSocketNotifier;

// Whether `name` is a video capture node: "video" and a number.
bool isCameraNode(const QString& name);
// A process holding a camera node of `folder` (a canonical path) open, by its /proc/PID/fd
// links, `likely` looked at first; 0 when there is none. The look stops at the first holder;
// processes that cannot be read are left out.
pid_t findCameraHolder(const QString& folder, pid_t likely = 0);

// Follows the cameras of one folder, /dev in the app: inotify on each node for opens and
// closes and on the folder for nodes that come and go, each event confirmed by counting the
// holders. Wakes for nothing else: its one timer runs only while a camera is being opened or
// released (CameraFollow's deadlines).
class CameraWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr const char* systemFolder = "/dev";

    // Throws GlowdeckError with unavailable()'s reason, or the kernel's for refusing the watch.
    CameraWatcher(const QString& folder, CameraFollow::Timing timing, QObject* parent = nullptr);
    ~CameraWatcher() override;

    // Why the cameras of `folder` cannot be followed; none when they can.
    static std::optional<QString> unavailable(const QString& folder);

    CameraFollow& follow() { return follow_; }

signals:
    void began();
    void ended();

private:
    void readEvents();
    void watchNode(const QString& name);
    // Looks for a holder, unless a node was just `opened`, and feeds the result to the decision.
    void check(bool opened = false);

    int fd_ = -1;
    QString folder_;
    QSocketNotifier* notifier_ = nullptr;
    QTimer deadline_;
    CameraFollow follow_;
    pid_t lastHolder_ = 0;
    int folderWatch_ = -1;
    std::map<int, QString> nodeWatches_;
};
