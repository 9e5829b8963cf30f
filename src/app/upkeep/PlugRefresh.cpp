#include "PlugRefresh.h"

#include "Detached.h"
#include "HotPlugSource.h"

#include <QPointer>

PlugRefresh::PlugRefresh(std::unique_ptr<HotPlugSource> source, std::chrono::milliseconds gather,
                         Refresh refresh, QObject* parent)
    : QObject(parent), source_(std::move(source)), refresh_(std::move(refresh)) {
    gather_.setSingleShot(true);
    gather_.setInterval(gather);
    connect(&gather_, &QTimer::timeout, this, [this] { detached(refreshAfterPlug()); });
    connect(source_.get(), &HotPlugSource::devicesChanged, this, &PlugRefresh::devicesChanged);
}

PlugRefresh::~PlugRefresh() = default;

void PlugRefresh::devicesChanged() {
    if (refreshing_) {
        again_ = true;
    } else if (!gather_.isActive()) {
        gather_.start();
    }
}

QCoro::Task<> PlugRefresh::refreshAfterPlug() {
    QPointer<PlugRefresh> self(this);
    refreshing_ = true;
    do {
        again_ = false;
        co_await refresh_();
        if (!self) {
            co_return;
        }
    } while (again_);
    refreshing_ = false;
}
