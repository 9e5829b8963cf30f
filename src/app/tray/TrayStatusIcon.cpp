#include "TrayStatusIcon.h"

#include "AppState.h"
#include "MonochromeIcon.h"
#include "TrayAvailability.h"
#include "TrayWatcherFollower.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>

#include <cstdio>

namespace {

constexpr auto trayCheckInterval = std::chrono::seconds(1);

}  // namespace

TrayStatusIcon::TrayStatusIcon(QObject* parent) : StatusIcon(parent) {
    connect(&panelHints_, &PanelHints::changed, this, &TrayStatusIcon::redrawIcon);
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
    new TrayWatcherFollower(tray_.get());
    tray_->setContextMenu(menu_);
    if (!presentation_.symbolName.isEmpty()) {
        applyIcon();
        tray_->setToolTip(presentation_.toolTip);
        tray_->show();
    }
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
    }
    // Shown with its first symbol, not empty before it.
    if (!tray_->isVisible()) {
        tray_->show();
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
    tray_->setIcon(shownSymbol_.isEmpty() ? QIcon() : iconFor(shownSymbol_));
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
    // Installed, each symbol is a symbolic icon of the theme too (src/app/CMakeLists.txt). A
    // tray host that loads it by that name draws it in the panel's own colour.
    QString themeName = QStringLiteral("glowdeck-%1-symbolic")
                            .arg(QString(symbolName).replace(QLatin1Char('.'), QLatin1Char('-')));
    if (!QIcon::hasThemeIcon(themeName)) {
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
    style_ = style;
    redrawIcon();
}
