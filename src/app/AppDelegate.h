#pragma once

#include "AppState.h"
#include "CommandQueue.h"
#include "LightAccess.h"
#include "MenuEntries.h"
#include "PreferencesForm.h"
#include "StatusIcon.h"

#include <QCoroTask>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class AboutDialog;
class CameraLights;
class HotPlugSource;
class QWidget;
class LightStatus;
class LitraController;
class PlugRefresh;
class PollLoop;
class PreferencesWindowController;
class StatusMenu;
class WheelAdjuster;

// Owns everything that lives for the whole run and wires it together: the state, the
// controller, the tray icon with its menu, the windows, and the parts that keep the state
// current (the polling loop, the refresh after a plug-in, the lights that follow a camera).
// Start-up is setUp(), shut-down applicationWillTerminate(). Everything here runs on the GUI
// thread.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    using ControllerFactory = std::function<std::shared_ptr<LitraController>()>;
    using StatusIconFactory = std::function<std::unique_ptr<StatusIcon>()>;

    // The litra chosen in Preferences, else the one shipped, and the icon in the system tray.
    explicit AppDelegate(QObject* parent = nullptr);
    // A failing controller factory throws; its error is what the icon then shows. A new litra
    // path in the state makes a new controller.
    AppDelegate(ControllerFactory makeController, StatusIconFactory makeStatusIcon,
                QObject* parent = nullptr);
    ~AppDelegate() override;

    AppState& appState() { return appState_; }
    // Empty until launch, and for good when it could not be created.
    const std::shared_ptr<LitraController>& controller() const { return controller_; }
    StatusIcon* statusItem() const { return statusItem_.get(); }
    // Whether the polling loop's task is still running: a stopped loop ends at its next check.
    bool isPolling() const;
    // The Preferences window, made at the first call and the same one after that.
    PreferencesWindowController* preferencesWindow();
    // Every light command goes through it, whoever gives it.
    CommandQueue& commands() { return commands_; }

    // Makes the controller and starts the first refresh, unless done already: called ahead of
    // the rest of the start, its child runs meanwhile.
    void startFirstRefresh();
    // The launch sequence: controller, icon and menu, first drawing, polling, first refresh.
    void setUp();
    // Stops a running loop and starts one with the poll interval as it is now.
    void startPolling();
    // Queries the lights once and stores the status, count and figures from that answer.
    QCoro::Task<> refresh();
    void updateStatusItem(const LightStatus& status);
    // Brings the menu up to date with the state at this moment; the tray host shows it.
    void showMenu();

public slots:
    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    void statusItemClicked(StatusIcon::Click click);
    void refreshAction();
    void quit();
    void openAbout();
    void openPreferences();

signals:
    // Every refresh() sends it when it ends, also one that had no controller to ask.
    void refreshFinished();

private:
    void perform(MenuAction action);
    void makeController();
    void litraPathChanged();
    void prepareWindow(QWidget* window);
    void updateMenu();

    AppState appState_;
    ControllerFactory makeController_;
    StatusIconFactory makeStatusIcon_;
    std::shared_ptr<LitraController> controller_;
    CommandQueue commands_;
    std::unique_ptr<StatusMenu> statusMenu_;  // outlives the icon that shows it
    std::unique_ptr<StatusIcon> statusItem_;
    std::unique_ptr<WheelAdjuster> wheel_;
    std::optional<StatusPresentation> shownPresentation_;
    std::unique_ptr<PreferencesWindowController> preferencesWindow_;
    std::unique_ptr<AboutDialog> aboutDialog_;
    LightAccess lightAccess_;

    // Plug-in events come from udev in the app; without a source, polling alone sees lights.
    std::function<std::unique_ptr<HotPlugSource>()> makeHotPlug_;
    std::unique_ptr<PollLoop> polling_;
    std::unique_ptr<PlugRefresh> plugRefresh_;
    std::unique_ptr<CameraLights> cameraLights_;
    bool firstRefreshStarted_ = false;
};
