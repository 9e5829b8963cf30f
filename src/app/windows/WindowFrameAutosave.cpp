#include "WindowFrameAutosave.h"

#include "WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

namespace {

QSettings settingsStore() {
    return QSettings(QStringLiteral("Glowdeck"), QStringLiteral("Glowdeck"));
}

}  // namespace

WindowFrameAutosave::WindowFrameAutosave(QWidget* window, QString name)
    : QObject(window), window_(window), name_(std::move(name)) {
    pendingSave_.setSingleShot(true);
    pendingSave_.setInterval(moveSettleTime);
    connect(&pendingSave_, &QTimer::timeout, this, &WindowFrameAutosave::save);
    window->installEventFilter(this);
}

std::optional<QRect> WindowFrameAutosave::savedFrame() const {
    const QVariant value = settingsStore().value(name_);
    if (value.typeId() != QMetaType::QRect) {
        return std::nullopt;
    }
    const QRect frame = value.toRect();
    return frame.isValid() ? std::optional<QRect>(frame) : std::nullopt;
}

void WindowFrameAutosave::restore() {
    if (!window_) {
        return;
    }
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.append(screen->availableGeometry());
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QRect primaryArea = primary ? primary->availableGeometry() : QRect();
    // Before the first show the frame is not known yet; the window's own size stands in.
    window_->move(placement::initialPosition(savedFrame(), window_->frameGeometry().size(), screens,
                                             primaryArea));
}

void WindowFrameAutosave::save() {
    pendingSave_.stop();
    if (!window_) {
        return;
    }
    settingsStore().setValue(name_, window_->frameGeometry());
}

void WindowFrameAutosave::flush() {
    if (pendingSave_.isActive()) {
        save();
    }
}

bool WindowFrameAutosave::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        switch (event->type()) {
            case QEvent::Move:
                // Programmatic moves before the first show are not the user's placement. A drag
                // moves the window many times; the file is written once it rests.
                if (window_->isVisible()) {
                    pendingSave_.start();
                }
                break;
            case QEvent::Close:
            case QEvent::Hide:
                save();
                break;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}
