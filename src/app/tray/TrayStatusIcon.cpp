#include "TrayStatusIcon.h"

#include "AppState.h"
#include "MonochromeIcon.h"
#include "TrayAvailability.h"
#include "TrayWatcherFollower.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QWheelEvent>
#include <QMenu>

#include <cstdio>

namespace {

constexpr auto trayCheckInterval = std::chrono::seconds(1);

}  // namespace

TrayStatusIcon::TrayStatusIcon(QObject* parent)
    : StatusIcon(parent), iconThemePath_(glowdeckIconThemePath()) {
    connect(&panelHints_, &PanelHints::changed, this, &TrayStatusIcon::redrawIcon);
    connect(&panelHints_, &PanelHints::changed, this, &TrayStatusIcon::watchIconWindow);
    trayWait_.setInterval(trayCheckInterval);
    connect(&trayWait_, &QTimer::timeout, this, &TrayStatusIcon::checkForTray);
    if (isSystemTrayAvailableNow()) {
        install();
    } else {
        std::fputs("Glowdeck: waiting for a system tray to appear\n", stderr);
        std::fflush(stderr);
        trayWait_.start();
    }
}

TrayStatusIcon::~TrayStatusIcon() = default;

void TrayStatusIcon::checkForTray() {
    if (isSystemTrayAvailableNow()) {
        trayWait_.stop();
        install();
    }
}

// Once shown, Qt itself follows the tray away and back (a panel restart).
void TrayStatusIcon::install() {
    tray_ = std::make_unique<QSystemTrayIcon>();
    connect(tray_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                switch (reason) {
                    case QSystemTrayIcon::Trigger:
                    case QSystemTrayIcon::MiddleClick:
                    // The second press of a double click arrives only as the double click.
                    case QSystemTrayIcon::DoubleClick:
                        emit clicked(Click::left);
                        break;
                    case QSystemTrayIcon::Context:
                        emit clicked(Click::right);
                        break;
                    default:
                        break;
                }
            });
    itemExport_ = new ItemExport(tray_.get(), iconThemePath_);
    connect(itemExport_, &ItemExport::scrolled, this,
            [this](int delta, const QString& orientation) {
                const bool shift =
                    QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
                emit turned(wheel_.fromHost(delta, orientation, shift));
            });
    auto* follower = new TrayWatcherFollower(tray_.get());
    connect(follower, &TrayWatcherFollower::shownAgain, itemExport_, &ItemExport::adopt);
    tray_->setContextMenu(menu_);
    if (!presentation_.symbolName.isEmpty()) {
        applyIcon();
        tray_->setToolTip(presentation_.toolTip);
        itemExport_->setToolTip(presentation_.toolTip);
        showTray();
    }
}

void TrayStatusIcon::showTray() {
    tray_->show();
    exported_ = itemExport_->adopt();
    watchIconWindow();
}

// In an XEmbed tray the icon is a window of Qt's, which gets the wheel itself; a tray that
// restarts gets a new one, which docking (a panel hint) tells of.
void TrayStatusIcon::watchIconWindow() {
    if (!tray_ || exported_) {
        return;
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qstrcmp(window->metaObject()->className(), "QSystemTrayIconSys") == 0) {
            window->installEventFilter(this);
            iconWindow_ = window;
        }
    }
}

bool TrayStatusIcon::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        emit turned(wheel_.fromAngle(wheel->angleDelta(),
                                     wheel->modifiers().testFlag(Qt::ShiftModifier)));
        return true;
    }
    return StatusIcon::eventFilter(watched, event);
}

void TrayStatusIcon::setPresentation(const StatusPresentation& presentation) {
    const bool toolTipChanged = presentation.toolTip != presentation_.toolTip;
    presentation_ = presentation;
    if (!tray_) {
        return;
    }
    if (presentation_.symbolName != shownSymbol_) {
        applyIcon();
    }
    if (toolTipChanged) {
        tray_->setToolTip(presentation_.toolTip);
        itemExport_->setToolTip(presentation_.toolTip);
    }
    // Shown with its first symbol, not empty before it.
    if (!tray_->isVisible()) {
        showTray();
    }
}

void TrayStatusIcon::setContextMenu(QMenu* menu) {
    menu_ = menu;
    if (tray_) {
        tray_->setContextMenu(menu);
    }
}

void TrayStatusIcon::applyIcon() {
    shownSymbol_ = presentation_.symbolName;
    // Asked at every symbol: a tray that restarted may have brought other colours.
    const QColor ink = iconInk(style_, panelHints_.tone());
    if (ink != iconInk_) {
        iconInk_ = ink;
        icons_.clear();
    }
    const QIcon icon = shownSymbol_.isEmpty() ? QIcon() : iconFor(shownSymbol_);
    tray_->setIcon(icon);
    itemExport_->setIcon(icon);
}

void TrayStatusIcon::redrawIcon() {
    if (tray_ && !shownSymbol_.isEmpty() &&
        iconInk(style_, panelHints_.tone()) != iconInk_) {
        applyIcon();
    }
}

QIcon TrayStatusIcon::iconFor(const QString& symbolName) {
    auto found = icons_.constFind(symbolName);
    if (found != icons_.constEnd()) {
        return *found;
    }
    // Each symbol is a symbolic icon too, in the icon folder beside the program that the item
    // names to the host, and installed in hicolor (src/app/CMakeLists.txt). A tray host that
    // loads it by that name draws it in the panel's own colour.
    QString themeName = QStringLiteral("glowdeck-%1-symbolic")
                            .arg(QString(symbolName).replace(QLatin1Char('.'), QLatin1Char('-')));
    // Our own folder first: asking the theme reads every index.theme it inherits.
    const bool inOwnFolder =
        !iconThemePath_.isEmpty() &&
        QFileInfo::exists(iconThemePath_ + QStringLiteral("/hicolor/symbolic/apps/") + themeName +
                          QStringLiteral(".svg"));
    if (!inOwnFolder && !QIcon::hasThemeIcon(themeName)) {
        themeName.clear();
    }
    // The ink tells the rim: only the grey has one.
    QIcon icon = monochromeIcon(symbolResourcePath(symbolName), iconInk_, themeName,
                                smallSymbolResourcePath(symbolName),
                                iconRim(style_, panelHints_.tone()));
    icons_.insert(symbolName, icon);
    return icon;
}

void TrayStatusIcon::setStyle(TrayIconStyle style) {
    if (style != style_) {
        style_ = style;
        redrawIcon();
    }
}
