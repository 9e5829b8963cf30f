#include "PreferencesWindowController.h"

#include "BringToFront.h"
#include "PreferencesView.h"
#include "WindowFrameAutosave.h"

#include <QShortcut>
#include <QVBoxLayout>
#include <QWidget>

namespace {

constexpr Qt::WindowFlags windowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                        Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint;

}  // namespace

PreferencesWindowController::PreferencesWindowController(AppState* appState,
                                                         CommandQueue* commands,
                                                         QObject* parent)
    : QObject(parent), window_(std::make_unique<QWidget>(nullptr, windowFlags)) {
    view_ = new PreferencesView(appState, commands,
                                LoginItemService::mainAppService(), window_.get());

    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    window_->resize(PreferencesView::defaultSize);

    window_->setWindowTitle(tr("Preferences"));
    // A closed window is hidden, not deleted, and shown again by the next showWindow().
    window_->setAttribute(Qt::WA_DeleteOnClose, false);
    auto* closeShortcut = new QShortcut(QKeySequence::Close, window_.get());
    connect(closeShortcut, &QShortcut::activated, window_.get(), &QWidget::close);

    frameAutosave_ = new WindowFrameAutosave(window_.get(), QLatin1String(frameAutosaveName));
    frameAutosave_->restore();
}

PreferencesWindowController::~PreferencesWindowController() {
    // A move made just before quitting is still kept.
    frameAutosave_->flush();
}

void PreferencesWindowController::showWindow() {
    if (!window_->isVisible()) {
        view_->form().checkLitra();  // once as it opens, not on every refresh
    }
    bringToFront(window_.get());
}
