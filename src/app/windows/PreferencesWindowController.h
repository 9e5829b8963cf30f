#pragma once

#include "PreferencesForm.h"

#include <QObject>
#include <QSize>

#include <memory>

class AppState;
class PreferencesView;
class QWidget;
class WindowFrameAutosave;

// The Preferences window: one top-level window hosting the Preferences form, made once and
// kept for the whole run. It can be resized, closed and minimised, not maximised; closing hides
// it. Its position is kept under frameAutosaveName.
class PreferencesWindowController : public QObject {
    Q_OBJECT
public:
    static constexpr const char* frameAutosaveName = "GlowdeckPreferences";

    // The form uses the login item of the running Glowdeck binary.
    PreferencesWindowController(AppState* appState, CommandQueue* commands,
                                QObject* parent = nullptr);
    ~PreferencesWindowController() override;

    QWidget* window() const { return window_.get(); }
    PreferencesView* view() const { return view_; }

    // Shows the window, also when it was minimised or behind others, in front with the focus.
    // Opening it asks the litra tool in use for its version.
    void showWindow();

private:
    std::unique_ptr<QWidget> window_;
    PreferencesView* view_;
    WindowFrameAutosave* frameAutosave_;
};
