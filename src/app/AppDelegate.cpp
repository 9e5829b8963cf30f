#include "AppDelegate.h"

#include "AboutDialog.h"
#include "AboutPanel.h"
#include "AppIcon.h"
#include "CameraWatcher.h"
#include "HotPlugSource.h"
#include "LitraController.h"
#include "LitraError.h"
#include "PollSleep.h"
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

// What escapes a task that nobody awaits would vanish; the flows turn the failures they expect
// into a status, so anything reaching here is unforeseen and at least leaves a trace.
void reportUnexpected() {
    qWarning("Glowdeck: %s", qPrintable(localizedDescription(std::current_exception())));
}

// Runs a flow that nobody awaits.
template <typename T>
QCoro::Task<> detached(QCoro::Task<T> flow) {
    try {
        co_await std::move(flow);
    } catch (...) {
        reportUnexpected();
    }
}

// Holds the delegate weakly: the loop neither keeps it alive nor touches it once it is gone.
QCoro::Task<> pollLoop(QPointer<AppDelegate> delegate,
                       std::shared_ptr<PollCancellation> cancellation, PollDuration interval) {
    while (!cancellation->isCancelled()) {
        co_await cancellation->sleep(interval);
        if (cancellation->isCancelled()) {
            break;
        }
        if (!delegate) {
            continue;
        }
        try {
            co_await delegate->refresh();
        } catch (...) {
            reportUnexpected();
        }
    }
}

}  // namespace

struct AppDelegate::PollTask {
    std::shared_ptr<PollCancellation> cancellation;
    QCoro::Task<> loop;
};

AppDelegate::AppDelegate(QObject* parent)
    : AppDelegate([this] { return makeLitraController(appState_.litraPath()); },
                  [] { return std::make_unique<TrayStatusIcon>(); }, parent) {
    setHotPlug(hidrawHotPlug, std::chrono::milliseconds(100));
}

AppDelegate::AppDelegate(ControllerFactory makeController, StatusIconFactory makeStatusIcon,
                         QObject* parent)
    : QObject(parent),
      makeController_(std::move(makeController)),
      makeStatusIcon_(std::move(makeStatusIcon)),
      commands_(
          &appState_, [this] { return controller_; }, [this] { return refresh(); }),
      cameraFolder_(QString::fromLatin1(CameraWatcher::systemFolder)) {
    plugGather_.setSingleShot(true);
    connect(&plugGather_, &QTimer::timeout, this, [this] { detached(refreshAfterPlug()); });
    connect(&appState_, &AppState::litraPathChanged, this, &AppDelegate::litraPathChanged);
}

void AppDelegate::setHotPlug(HotPlugFactory source, std::chrono::milliseconds gather) {
    makeHotPlug_ = std::move(source);
    plugGather_.setInterval(gather);
}

void AppDelegate::setCameraWatch(QString folder, CameraFollow::Timing timing) {
    cameraFolder_ = std::move(folder);
    cameraTiming_ = timing;
}

AppDelegate::~AppDelegate() {
    // Lets a sleeping loop end now instead of sleeping on after we are gone.
    applicationWillTerminate();
}

bool AppDelegate::isPolling() const {
    return pollTask_ && !pollTask_->loop.isReady();
}

void AppDelegate::applicationDidFinishLaunching() {
    setUp();
}

void AppDelegate::applicationWillTerminate() {
    cancelPolling();
    hotPlug_.reset();
    plugGather_.stop();
    camera_.reset();
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

void AppDelegate::setUp() {
    makeController();
    // The first query runs on the worker while the menu and the icon are made; its answer is
    // handed back through the event loop, after them.
    detached(refresh());

    statusMenu_ = std::make_unique<StatusMenu>();
    connect(statusMenu_.get(), &StatusMenu::aboutToShow, this, &AppDelegate::updateMenu);
    connect(statusMenu_.get(), &StatusMenu::actionChosen, this, &AppDelegate::perform);
    connect(statusMenu_.get(), &StatusMenu::lightChosen, this,
            [this](const QString& serial) { commands_.submit(LightCommand::toggle(serial)); });
    // Tray hosts that mirror the menu over D-Bus may never say that it is about to show, so
    // the menu follows the state; one that is open stays as it was opened.
    connect(&appState_, &AppState::changed, this, [this] {
        updateStatusItem(appState_.status());
        if (!statusMenu_->menu()->isVisible()) {
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

    if (makeHotPlug_ && (hotPlug_ = makeHotPlug_())) {
        connect(hotPlug_.get(), &HotPlugSource::devicesChanged, this, &AppDelegate::devicesChanged);
    }
    appState_.setCameraUnavailable(CameraWatcher::unavailable(cameraFolder_));
    connect(&appState_, &AppState::changed, this, &AppDelegate::followCameraSetting);
    connect(&commands_, &CommandQueue::lightsSetByUser, this, [this] {
        if (camera_) {
            camera_->follow().userChangedLights();
        }
    });
    followCameraSetting();
}

// A burst of plug-in events is gathered into one refresh; events during that refresh ask for
// exactly one more.
void AppDelegate::devicesChanged() {
    if (plugRefreshing_) {
        plugAgain_ = true;
    } else if (!plugGather_.isActive()) {
        plugGather_.start();
    }
}

QCoro::Task<> AppDelegate::refreshAfterPlug() {
    QPointer<AppDelegate> self(this);
    plugRefreshing_ = true;
    do {
        plugAgain_ = false;
        co_await refresh();
        if (!self) {
            co_return;
        }
    } while (plugAgain_ && hotPlug_);
    plugRefreshing_ = false;
}

// Follows the option, and whether the cameras can be followed at all.
void AppDelegate::followCameraSetting() {
    const bool wanted = appState_.followCamera() && !appState_.cameraUnavailable();
    if (wanted == bool(camera_)) {
        return;
    }
    camera_.reset();
    if (wanted) {
        try {
            camera_ = std::make_unique<CameraWatcher>(cameraFolder_, cameraTiming_);
            connect(camera_.get(), &CameraWatcher::began, this, &AppDelegate::cameraBegan);
            connect(camera_.get(), &CameraWatcher::ended, this, &AppDelegate::cameraEnded);
        } catch (...) {
            appState_.setCameraUnavailable(localizedDescription(std::current_exception()));
            return;
        }
    }
    if (appState_.cameraInUse()) {
        appState_.setCameraInUse(false);
    }
}

void AppDelegate::cameraBegan() {
    appState_.setCameraInUse(true);
    commands_.submitStep([delegate = QPointer<AppDelegate>(this)](
                             LitraController& controller) -> QCoro::Task<> {
        const std::vector<LitraDevice> before = co_await controller.devices();
        co_await controller.on();
        if (delegate && delegate->camera_) {
            delegate->camera_->follow().remember(CameraFollow::switchOffFor(before));
        }
    });
}

void AppDelegate::cameraEnded() {
    appState_.setCameraInUse(false);
    std::vector<QString> switchOff = camera_->follow().switchOffAtEnd();
    if (switchOff.empty()) {
        return;
    }
    commands_.submitStep(
        [switchOff = std::move(switchOff)](LitraController& controller) -> QCoro::Task<> {
            for (const QString& serial : switchOff) {
                co_await controller.off(serial);
            }
        });
}

void AppDelegate::cancelPolling() {
    if (pollTask_) {
        // Hold it: cancelling resumes the loop, which may end and let go of its own share.
        std::shared_ptr<PollCancellation> cancellation = pollTask_->cancellation;
        cancellation->cancel();
    }
}

void AppDelegate::startPolling() {
    cancelPolling();
    const PollDuration interval = pollSleepDuration(appState_.pollIntervalSeconds());
    auto cancellation = std::make_shared<PollCancellation>();
    QCoro::Task<> loop = pollLoop(QPointer<AppDelegate>(this), cancellation, interval);
    pollTask_ = std::make_unique<PollTask>(PollTask{std::move(cancellation), std::move(loop)});
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
    // A refresh assigns several fields; the menu is set only when its entries change.
    auto shown = menuEntries(appState_.status(), appState_.deviceCount(), appState_.lights(),
                             appState_.lightNeedsPermission());
    if (menuShows_ == shown) {
        return;
    }
    statusMenu_->setEntries(shown);
    menuShows_ = std::move(shown);
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
