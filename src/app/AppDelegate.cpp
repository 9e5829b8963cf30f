#include "AppDelegate.h"

#include "AboutDialog.h"
#include "AboutPanel.h"
#include "AppIcon.h"
#include "CameraLights.h"
#include "CameraWatcher.h"
#include "Detached.h"
#include "HotPlugSource.h"
#include "LitraController.h"
#include "LitraError.h"
#include "PlugRefresh.h"
#include "PollLoop.h"
#include "PreferencesView.h"
#include "PreferencesWindowController.h"
#include "StatusMenu.h"
#include "StatusPresentation.h"
#include "TrayStatusIcon.h"
#include "WheelAdjuster.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QPointer>
#include <QShortcut>

namespace {

// How long a burst of plug-in events is gathered into one refresh.
constexpr std::chrono::milliseconds plugGather(100);

}  // namespace

AppDelegate::AppDelegate(QObject* parent)
    : AppDelegate([this] { return makeLitraController(appState_.litraPath()); },
                  [] { return std::make_unique<TrayStatusIcon>(); }, parent) {
    makeHotPlug_ = hidrawHotPlug;
}

AppDelegate::AppDelegate(ControllerFactory makeController, StatusIconFactory makeStatusIcon,
                         QObject* parent)
    : QObject(parent),
      makeController_(std::move(makeController)),
      makeStatusIcon_(std::move(makeStatusIcon)),
      commands_(
          &appState_, [this] { return controller_; }, [this] { return refresh(); }),
      polling_(std::make_unique<PollLoop>([this] { return refresh(); })) {
    connect(&appState_, &AppState::litraPathChanged, this, &AppDelegate::litraPathChanged);
}

AppDelegate::~AppDelegate() {
    // Lets a sleeping loop end now instead of sleeping on after we are gone.
    applicationWillTerminate();
}

bool AppDelegate::isPolling() const {
    return polling_->isRunning();
}

void AppDelegate::applicationDidFinishLaunching() {
    setUp();
}

void AppDelegate::applicationWillTerminate() {
    polling_->stop();
    plugRefresh_.reset();
    cameraLights_.reset();
    if (controller_) {
        controller_->stop();  // a hung litra must not outlive us
    }
}

void AppDelegate::makeController() {
    try {
        controller_ = makeController_();
    } catch (...) {
        appState_.setStatus(LightStatus::error(localizedDescription(std::current_exception())));
    }
}

// The newly chosen litra takes over at once; what the old one still runs is stopped.
void AppDelegate::litraPathChanged() {
    // Let go first: stopping delivers what the old one still ran, which is then dropped.
    if (const std::shared_ptr<LitraController> old = std::exchange(controller_, nullptr)) {
        old->stop();
    }
    makeController();
    if (!controller_) {
        // Nothing to ask: what the old litra found is gone.
        appState_.publish(
            LightsSnapshot::of(appState_.status(), {}, false, appState_.temperatureRange()));
    }
    detached(refresh());
}

void AppDelegate::startFirstRefresh() {
    if (std::exchange(firstRefreshStarted_, true)) {
        return;
    }
    makeController();
    // Its answer is read from the event loop, after what the start still does.
    detached(refresh());
}

void AppDelegate::setUp() {
    // The first query's child runs while the menu and the icon are made.
    startFirstRefresh();

    statusMenu_ = std::make_unique<StatusMenu>();
    connect(statusMenu_.get(), &StatusMenu::aboutToShow, this, &AppDelegate::updateMenu);
    connect(statusMenu_.get(), &StatusMenu::actionChosen, this, &AppDelegate::perform);
    connect(statusMenu_.get(), &StatusMenu::lightChosen, this,
            [this](const QString& serial) { commands_.submit(LightCommand::toggle(serial)); });
    // Tray hosts that mirror the menu over D-Bus may never say that it is about to show, so
    // the menu follows the state; one that is open stays as it was opened. A menu that only Qt
    // shows is brought up to date as it opens, not at every change.
    connect(&appState_, &AppState::changed, this, [this] {
        updateStatusItem(appState_.status());
        if (!statusMenu_->menu()->isVisible() &&
            !(statusItem_ && statusItem_->menuShownOnlyByQt())) {
            updateMenu();
        }
    });
    updateMenu();
    statusItem_ = makeStatusIcon_();
    connect(statusItem_.get(), &StatusIcon::clicked, this, &AppDelegate::statusItemClicked);
    // The wheel sets what Preferences' sliders set, for the lights they apply to.
    wheel_ = std::make_unique<WheelAdjuster>(&appState_, &commands_, [this] {
        return preferencesWindow_ ? preferencesWindow_->view()->form().appliesTo() : QString();
    });
    connect(statusItem_.get(), &StatusIcon::turned, wheel_.get(), &WheelAdjuster::turn);
    connect(wheel_.get(), &WheelAdjuster::pendingChanged, this,
            [this] { updateStatusItem(appState_.status()); });
    statusItem_->setContextMenu(statusMenu_->menu());

    updateStatusItem(appState_.status());
    startPolling();

    if (std::unique_ptr<HotPlugSource> source = makeHotPlug_ ? makeHotPlug_() : nullptr) {
        plugRefresh_ = std::make_unique<PlugRefresh>(std::move(source), plugGather,
                                                     [this] { return refresh(); });
    }
    cameraLights_ = std::make_unique<CameraLights>(appState_, commands_,
                                                   QString::fromLatin1(CameraWatcher::systemFolder),
                                                   CameraFollow::Timing{});
}

void AppDelegate::startPolling() {
    polling_->start(appState_.pollIntervalSeconds());
}

QCoro::Task<> AppDelegate::refresh() {
    QPointer<AppDelegate> self(this);
    std::shared_ptr<LitraController> controller = controller_;
    if (!controller) {
        emit refreshFinished();
        co_return;
    }

    // One query gives the status, the count and the figures, so that they always agree.
    std::vector<LitraDevice> devices;
    LightStatus status = LightStatus::noDevices();
    try {
        devices = co_await controller->devices();
        status = LitraController::foldStatus(devices);
    } catch (...) {
        status = LightStatus::error(localizedDescription(std::current_exception()));
    }
    if (!self || controller != controller_) {
        co_return;  // a litra since replaced answered
    }

    // After a miss, whether a light is there that the user may not use.
    const bool miss = status.isError() || status.kind() == LightStatus::Case::noDevices;
    if (!miss) {
        lightAccess_.forget();
    }
    const bool needsPermission = miss && lightAccess_.lacksPermissionAfter(status);
    appState_.publish(LightsSnapshot::of(std::move(status), std::move(devices), needsPermission,
                                         appState_.temperatureRange()));
    emit refreshFinished();
}

void AppDelegate::updateStatusItem(const LightStatus& status) {
    if (!statusItem_) {
        return;
    }
    statusItem_->setStyle(appState_.trayIconStyle());
    StatusPresentation presentation =
        presentationFor(status, appState_.cameraInUse(), appState_.lightNeedsPermission());
    if (const QString turned = wheel_ ? wheel_->pendingText() : QString(); !turned.isEmpty()) {
        presentation.toolTip += u'\n' + turned;
    }
    if (presentation != shownPresentation_) {
        statusItem_->setPresentation(presentation);
        shownPresentation_ = std::move(presentation);
    }
}

void AppDelegate::updateMenu() {
    if (!statusMenu_) {
        return;
    }
    statusMenu_->setEntries(menuEntries(appState_.status(), appState_.deviceCount(),
                                        appState_.lights(), appState_.lightNeedsPermission()));
}

void AppDelegate::showMenu() {
    updateMenu();
}

void AppDelegate::statusItemClicked(StatusIcon::Click click) {
    if (click == StatusIcon::Click::right) {
        showMenu();
        return;
    }
    commands_.submit(LightCommand::toggle());
}

void AppDelegate::perform(MenuAction action) {
    switch (action) {
        case MenuAction::openAbout:
            openAbout();
            break;
        case MenuAction::openPreferences:
            openPreferences();
            break;
        case MenuAction::toggleLights:
            statusItemClicked(StatusIcon::Click::left);
            break;
        case MenuAction::refresh:
            refreshAction();
            break;
        case MenuAction::quit:
            quit();
            break;
        case MenuAction::toggleLight:
        case MenuAction::none:
            break;
    }
}

void AppDelegate::refreshAction() {
    detached(refresh());
}

void AppDelegate::quit() {
    QCoreApplication::quit();
}

// For each of Glowdeck's windows: the application icon, drawn when the first window opens (the
// tray icon does not show it), and Ctrl+, and Ctrl+Q, which work wherever a window has focus.
void AppDelegate::prepareWindow(QWidget* window) {
    if (QApplication::windowIcon().isNull()) {
        QApplication::setWindowIcon(loadAppIcon());
    }
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma), window), &QShortcut::activated,
            this, &AppDelegate::openPreferences);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), window), &QShortcut::activated, this,
            &AppDelegate::quit);
}

PreferencesWindowController* AppDelegate::preferencesWindow() {
    if (!preferencesWindow_) {
        preferencesWindow_ = std::make_unique<PreferencesWindowController>(&appState_, &commands_);
        prepareWindow(preferencesWindow_->window());
    }
    return preferencesWindow_.get();
}

void AppDelegate::openAbout() {
    if (!aboutDialog_) {
        aboutDialog_ = std::make_unique<AboutDialog>();
        prepareWindow(aboutDialog_.get());
    }
    aboutDialog_->setOptions(aboutPanelOptions());
    aboutDialog_->present();
}

void AppDelegate::openPreferences() {
    preferencesWindow()->showWindow();
}
