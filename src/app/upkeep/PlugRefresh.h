#pragma once

#include <QCoroTask>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

class HotPlugSource;

// Refreshes when lights come or go, whatever the poll interval: a burst of plug-in events is
// gathered into one refresh, and events during that refresh ask for exactly one more.
class PlugRefresh : public QObject {
    Q_OBJECT
public:
    using Refresh = std::function<QCoro::Task<>()>;

    // Follows `source`, which it keeps; `gather` is how long a burst is gathered.
    PlugRefresh(std::unique_ptr<HotPlugSource> source, std::chrono::milliseconds gather,
                Refresh refresh, QObject* parent = nullptr);
    ~PlugRefresh() override;

private:
    void devicesChanged();
    QCoro::Task<> refreshAfterPlug();

    std::unique_ptr<HotPlugSource> source_;
    Refresh refresh_;
    QTimer gather_;
    bool refreshing_ = false;
    bool again_ = false;
};
