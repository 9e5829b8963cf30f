#include "PreferencesView.h"

#include "Attention.h"
#include "CapsuleSlider.h"
#include "DisplayText.h"
#include "ElidedPathLabel.h"
#include "NamedComboBox.h"
#include "ReadableColour.h"
#include "TrackFills.h"
#include "ValueLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr double footnoteScale = 0.85;

QFont footnoteFont(const QFont& base) {
    QFont font = base;
    font.setPointSizeF(std::max(7.0, base.pointSizeF() * footnoteScale));
    return font;
}

// Error texts quote what litra and the system said, which may look like markup.
QLabel* footnote(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setFont(footnoteFont(label->font()));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

constexpr const char* secondaryProperty = "glowdeckSecondary";

// Dimmer than the text, yet readable in a small size: applyColours colours it.
QLabel* secondary(QLabel* label) {
    label->setProperty(secondaryProperty, true);
    return label;
}

QGroupBox* section(const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    layout->setSpacing(8);
    return box;
}

// A title on the left and its value, selectable, on the right.
QLabel* statusRow(QGridLayout* grid, int row, const QString& title, const QString& name,
                  QWidget* parent) {
    auto* label = new QLabel(title, parent);
    auto* value = secondary(new QLabel(parent));
    value->setObjectName(name);
    value->setTextFormat(Qt::PlainText);
    value->setAlignment(Qt::AlignTrailing | Qt::AlignVCenter);
    value->setWordWrap(true);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(label, row, 0, Qt::AlignLeading | Qt::AlignTop);
    grid->addWidget(value, row, 1);
    return value;
}

// [title] [slider] [value], the titles and values of the rows lined up.
QHBoxLayout* lightRow(const QString& title, CapsuleSlider* slider, QLabel* value,
                      const QString& name, QWidget* parent) {
    auto* row = new QHBoxLayout;
    row->setSpacing(PreferencesView::lightRowSpacing);
    auto* label = new QLabel(title, parent);
    label->setFixedWidth(PreferencesView::labelWidth);
    label->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    label->setBuddy(slider);
    slider->setObjectName(name + QStringLiteral("Slider"));
    slider->setAccessibleName(title);
    value->setObjectName(name + QStringLiteral("Value"));
    value->setFixedWidth(PreferencesView::valueWidth);
    value->setAlignment(Qt::AlignTrailing | Qt::AlignVCenter);
    secondary(value);
    row->addWidget(label, 0, Qt::AlignVCenter);
    row->addWidget(slider, 1, Qt::AlignVCenter);
    row->addWidget(value, 0, Qt::AlignVCenter);
    return row;
}

// A red that reads on the window background, light or dark.
QColor errorColour(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128 ? QColor(0xff, 0x7b, 0x72)
                                                             : QColor(0xc0, 0x1c, 0x28);
}

}  // namespace

PreferencesView::PreferencesView(AppState* appState, CommandQueue* commands,
                                 LoginItemService loginItems, QWidget* parent)
    : QWidget(parent),
      form_(new PreferencesForm(appState, commands, std::move(loginItems),
                                this)) {
    setMinimumSize(minimumWidth, minimumHeight);
    build();
    applyColours();
    connect(form_, &PreferencesForm::changed, this, &PreferencesView::refresh);
    refresh();
}

void PreferencesView::build() {
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFocusPolicy(Qt::NoFocus);  // Tab goes to the controls, not to the frame
    auto* content = new QWidget(scroll);
    scroll->setWidget(content);
    scroll->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(20, 16, 20, 16);
    column->setSpacing(14);
    // Status first: it says what is wrong and what to do, and the window opens from there.
    column->addWidget(buildStatus(content));
    column->addWidget(buildLights(content));
    column->addWidget(buildGeneral(content));
    column->addWidget(buildPolling(content));
    column->addStretch(1);
}

QGroupBox* PreferencesView::buildStatus(QWidget* content) {
    QGroupBox* status = section(tr("Status"), content);
    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    stateValue_ = statusRow(grid, 0, tr("State"), QStringLiteral("stateValue"), status);
    deviceCountValue_ =
        statusRow(grid, 1, tr("Devices"), QStringLiteral("deviceCountValue"), status);
    static_cast<QVBoxLayout*>(status->layout())->addLayout(grid);
    stateAdvice_ = new QLabel(status);
    stateAdvice_->setObjectName(QStringLiteral("stateAdvice"));
    stateAdvice_->setTextFormat(Qt::PlainText);
    stateAdvice_->setWordWrap(true);
    status->layout()->addWidget(stateAdvice_);
    stateDetail_ = secondary(footnote({}, QStringLiteral("stateDetail"), status));
    status->layout()->addWidget(stateDetail_);
    simulatedNote_ = footnote(tr("Simulated lights"), QStringLiteral("simulatedNote"), status);
    status->layout()->addWidget(simulatedNote_);
    permissionFix_ = secondary(footnote({}, QStringLiteral("permissionFix"), status));
    status->layout()->addWidget(permissionFix_);
    return status;
}

QGroupBox* PreferencesView::buildLights(QWidget* content) {
    QGroupBox* lights = section(tr("Lights"), content);
    auto* lightsLayout = static_cast<QVBoxLayout*>(lights->layout());
    buildApplyToRow(lights);
    brightnessSlider_ =
        new CapsuleSlider(PreferencesForm::brightnessRange, PreferencesForm::brightnessStep,
                          brightnessTrackFill(), trackHeight, thumbSize, lights);
    brightnessValue_ = new ValueLabel(lights);
    lightsLayout->addLayout(lightRow(tr("Brightness"), brightnessSlider_, brightnessValue_,
                                     QStringLiteral("brightness"), lights));
    temperatureSlider_ =
        new CapsuleSlider(form_->temperatureSliderRange(), PreferencesForm::temperatureStep,
                          temperatureTrackFill(), trackHeight, thumbSize, lights);
    temperatureValue_ = new ValueLabel(lights);
    lightsLayout->addLayout(lightRow(tr("Temperature"), temperatureSlider_, temperatureValue_,
                                     QStringLiteral("temperature"), lights));
    lightActionError_ = footnote({}, QStringLiteral("lightActionError"), lights);
    lightsLayout->addWidget(lightActionError_);
    noDevicesNote_ = secondary(footnote({}, QStringLiteral("noDevicesNote"), lights));
    lightsLayout->addWidget(noDevicesNote_);

    connect(brightnessSlider_, &CapsuleSlider::valueChangedByUser, form_,
            &PreferencesForm::setBrightnessSlider);
    connect(brightnessSlider_, &CapsuleSlider::editingChanged, form_,
            &PreferencesForm::brightnessEditingChanged);
    connect(temperatureSlider_, &CapsuleSlider::valueChangedByUser, form_,
            &PreferencesForm::setTemperatureSlider);
    connect(temperatureSlider_, &CapsuleSlider::editingChanged, form_,
            &PreferencesForm::temperatureEditingChanged);
    return lights;
}

void PreferencesView::buildApplyToRow(QGroupBox* lights) {
    auto* row = new QHBoxLayout;
    row->setSpacing(lightRowSpacing);
    auto* label = new QLabel(tr("Apply to"), lights);
    label->setFixedWidth(labelWidth);
    applyTo_ = new NamedComboBox(label->text(), lights);
    applyTo_->setObjectName(QStringLiteral("applyTo"));
    label->setBuddy(applyTo_);
    row->addWidget(label, 0, Qt::AlignVCenter);
    row->addWidget(applyTo_, 1, Qt::AlignVCenter);
    static_cast<QVBoxLayout*>(lights->layout())->addLayout(row);
    connect(applyTo_, &QComboBox::activated, form_,
            [this](int index) { form_->setAppliesTo(applyTo_->itemData(index).toString()); });
}

QGroupBox* PreferencesView::buildGeneral(QWidget* content) {
    QGroupBox* general = section(tr("General"), content);
    launchAtLogin_ = new QCheckBox(tr("Launch at login"), general);
    launchAtLogin_->setObjectName(QStringLiteral("launchAtLogin"));
    general->layout()->addWidget(launchAtLogin_);
    launchError_ = footnote({}, QStringLiteral("launchError"), general);
    general->layout()->addWidget(launchError_);
    buildTrayIconStyleRow(general);
    buildCameraRow(general);
    notify_ = new QCheckBox(tr("Notify me when the lights need me"), general);
    notify_->setObjectName(QStringLiteral("notify"));
    notify_->setToolTip(
        tr("No litra tool, one that cannot start, no permission for a light, or "
           "a light that keeps failing"));
    general->layout()->addWidget(notify_);
    connect(notify_, &QCheckBox::toggled, form_,
            [this](bool on) { form_->appState()->setNotify(on); });
    buildLitraRow(general);
    general->layout()->addWidget(saveErrorNote(AppState::litraPathKey, general));
    connect(launchAtLogin_, &QCheckBox::toggled, form_, &PreferencesForm::setLaunchAtLoginToggle);
    return general;
}

void PreferencesView::buildTrayIconStyleRow(QGroupBox* general) {
    auto* styleRow = new QHBoxLayout;
    auto* styleLabel = new QLabel(tr("Tray icon"), general);
    trayIconStyle_ = new NamedComboBox(styleLabel->text(), general);
    trayIconStyle_->setObjectName(QStringLiteral("trayIconStyle"));
    for (TrayIconStyle style :
         {TrayIconStyle::automatic, TrayIconStyle::light, TrayIconStyle::dark}) {
        trayIconStyle_->addItem(trayIconStyleText(style), int(style));
    }
    styleLabel->setBuddy(trayIconStyle_);
    styleRow->addWidget(styleLabel, 0, Qt::AlignVCenter);
    styleRow->addWidget(trayIconStyle_, 0, Qt::AlignVCenter);
    styleRow->addStretch(1);
    static_cast<QVBoxLayout*>(general->layout())->addLayout(styleRow);
    general->layout()->addWidget(saveErrorNote(AppState::trayIconStyleKey, general));
    general->layout()->addWidget(secondary(
        footnote(tr("Light suits a dark panel and Dark a light one, where Automatic cannot tell."),
                 QStringLiteral("trayIconStyleNote"), general)));
    // After the items: adding the first one selects it, which is no choice of the user's.
    connect(trayIconStyle_, &QComboBox::currentIndexChanged, form_, [this](int index) {
        form_->setTrayIconStyle(TrayIconStyle(trayIconStyle_->itemData(index).toInt()));
    });
}

void PreferencesView::buildCameraRow(QGroupBox* general) {
    followCamera_ = new QCheckBox(tr("Turn lights on while a camera is in use"), general);
    followCamera_->setObjectName(QStringLiteral("followCamera"));
    general->layout()->addWidget(followCamera_);
    cameraUnavailable_ = secondary(footnote({}, QStringLiteral("cameraUnavailable"), general));
    general->layout()->addWidget(cameraUnavailable_);
    general->layout()->addWidget(saveErrorNote(AppState::followCameraKey, general));
    connect(followCamera_, &QCheckBox::toggled, form_, &PreferencesForm::setFollowCamera);
}

QGroupBox* PreferencesView::buildPolling(QWidget* content) {
    QGroupBox* polling = section(tr("Status Polling"), content);
    auto* pollRow = new QHBoxLayout;
    auto* pollLabel = new QLabel(tr("Refresh every"), polling);
    pollSlider_ = new QSlider(Qt::Horizontal, polling);
    pollSlider_->setObjectName(QStringLiteral("pollSlider"));
    pollSlider_->setAccessibleName(pollLabel->text());
    pollSlider_->setRange(int(PreferencesForm::pollIntervalRange.lower),
                          int(PreferencesForm::pollIntervalRange.upper));
    pollSlider_->setSingleStep(int(PreferencesForm::pollIntervalStep));
    pollLabel->setBuddy(pollSlider_);
    pollValue_ = new ValueLabel(polling);
    pollValue_->setObjectName(QStringLiteral("pollValue"));
    pollValue_->setFixedWidth(pollValueWidth);
    pollValue_->setAlignment(Qt::AlignTrailing | Qt::AlignVCenter);
    pollRow->addWidget(pollLabel, 0, Qt::AlignVCenter);
    pollRow->addWidget(pollSlider_, 1, Qt::AlignVCenter);
    pollRow->addWidget(pollValue_, 0, Qt::AlignVCenter);
    static_cast<QVBoxLayout*>(polling->layout())->addLayout(pollRow);
    polling->layout()->addWidget(saveErrorNote(AppState::pollIntervalKey, polling));
    polling->layout()->addWidget(
        secondary(footnote(tr("How often Glowdeck checks the current state of your lights."),
                           QStringLiteral("pollNote"), polling)));
    // After setRange, which moves the value into the range without the user.
    connect(pollSlider_, &QSlider::valueChanged, form_,
            [this](int seconds) { form_->setPollIntervalSeconds(double(seconds)); });
    return polling;
}

// litra tool: [path in use, cut in the middle] [Choose…] [Reset], then its version line and
// any refusal.
void PreferencesView::buildLitraRow(QGroupBox* general) {
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(tr("litra tool"), general);
    litraPath_ = new ElidedPathLabel(general);
    litraPath_->setObjectName(QStringLiteral("litraPath"));
    litraPath_->setPlaceholder(tr("None"));
    litraChoose_ = new QPushButton(tr("Choose…"), general);
    litraChoose_->setObjectName(QStringLiteral("litraChoose"));
    label->setBuddy(litraChoose_);
    litraReset_ = new QPushButton(tr("Reset"), general);
    litraReset_->setObjectName(QStringLiteral("litraReset"));
    litraReset_->setToolTip(tr("Use the litra tool that came with Glowdeck"));
    row->addWidget(label);
    row->addWidget(litraPath_, 1);
    row->addWidget(litraChoose_);
    row->addWidget(litraReset_);
    static_cast<QVBoxLayout*>(general->layout())->addLayout(row);
    litraNote_ = secondary(footnote({}, QStringLiteral("litraNote"), general));
    general->layout()->addWidget(litraNote_);
    litraChoiceError_ = footnote({}, QStringLiteral("litraChoiceError"), general);
    general->layout()->addWidget(litraChoiceError_);
    connect(litraChoose_, &QPushButton::clicked, this, &PreferencesView::chooseLitra);
    connect(litraReset_, &QPushButton::clicked, form_, &PreferencesForm::resetLitraPath);
}

void PreferencesView::chooseLitra() {
    QString start = QDir::home().filePath(QStringLiteral(".local/bin"));
    if (form_->hasChosenLitra()) {
        start = QFileInfo(form_->litraPathText()).absolutePath();
    }
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Choose the litra tool"), QFileInfo(start).isDir() ? start : QDir::homePath());
    if (!path.isEmpty()) {
        form_->chooseLitraPath(path);
    }
}

void PreferencesView::refreshLitra() {
    const PreferencesForm& f = *form_;
    litraPath_->setPath(f.litraPathText());
    litraReset_->setEnabled(f.hasChosenLitra());
    litraNote_->setText(f.litraNote());
    litraNote_->setVisible(!f.litraNote().isEmpty());
    litraChoiceError_->setText(f.litraChoiceError().value_or(QString()));
    litraChoiceError_->setVisible(f.litraChoiceError().has_value());
    simulatedNote_->setVisible(f.isSimulated());
    permissionFix_->setVisible(f.lightNeedsPermission());
    if (f.lightNeedsPermission()) {
        permissionFix_->setText(f.permissionFixText());
    }
}

void PreferencesView::refresh() {
    refreshApplyTo();
    refreshLightSliders();
    refreshLightNotes();
    refreshGeneral();
    refreshPolling();
    refreshSaveErrors();
    refreshStatus();
    refreshLitra();
}

void PreferencesView::refreshApplyTo() {
    const PreferencesForm& f = *form_;
    const QSignalBlocker blocker(applyTo_);
    const auto choices = f.applyToChoices();
    bool same = applyTo_->count() == choices.size();
    for (qsizetype i = 0; same && i < choices.size(); ++i) {
        same = applyTo_->itemText(int(i)) == choices[i].first &&
               applyTo_->itemData(int(i)).toString() == choices[i].second;
    }
    if (!same) {
        applyTo_->clear();
        for (const auto& [title, serial] : choices) {
            applyTo_->addItem(title, serial);
        }
    }
    applyTo_->setCurrentIndex(std::max(0, applyTo_->findData(f.appliesTo())));
    applyTo_->setEnabled(f.hasDevices());
}

void PreferencesView::refreshLightSliders() {
    const PreferencesForm& f = *form_;
    auto showSlider = [&](CapsuleSlider* slider, QLabel* valueLabel, double value,
                          const QString& text) {
        slider->setValue(value);
        slider->setValueText(text);
        slider->setOpacity(f.lightSliderOpacity());
        slider->setEnabled(f.hasDevices());
        valueLabel->setText(text);
    };
    showSlider(brightnessSlider_, brightnessValue_, f.brightnessSlider(), f.brightnessText());
    temperatureSlider_->setRange(f.temperatureSliderRange());
    showSlider(temperatureSlider_, temperatureValue_, f.temperatureSlider(), f.temperatureText());
}

void PreferencesView::refreshLightNotes() {
    const PreferencesForm& f = *form_;
    lightActionError_->setText(displayable(f.lightActionError().value_or(QString())));
    lightActionError_->setVisible(f.lightActionError().has_value());
    noDevicesNote_->setText(f.lightsNote().value_or(QString()));
    noDevicesNote_->setVisible(f.lightsNote().has_value());
}

void PreferencesView::refreshGeneral() {
    const PreferencesForm& f = *form_;
    {
        const QSignalBlocker blocker(launchAtLogin_);
        launchAtLogin_->setChecked(f.launchAtLogin());
    }
    launchError_->setText(f.launchError().value_or(QString()));
    launchError_->setVisible(f.launchError().has_value());
    {
        const QSignalBlocker blocker(trayIconStyle_);
        trayIconStyle_->setCurrentIndex(trayIconStyle_->findData(int(f.trayIconStyle())));
    }
    {
        const QSignalBlocker blocker(notify_);
        notify_->setChecked(f.appState()->notify());
    }
    const QSignalBlocker blocker(followCamera_);
    const auto& unavailable = f.appState()->cameraUnavailable();
    followCamera_->setChecked(f.followCamera() && !unavailable);
    followCamera_->setEnabled(!unavailable);
    cameraUnavailable_->setText(displayable(unavailable.value_or(QString())));
    cameraUnavailable_->setVisible(unavailable.has_value());
}

void PreferencesView::refreshPolling() {
    {
        const QSignalBlocker blocker(pollSlider_);
        const double seconds = form_->appState()->pollIntervalSeconds();
        pollSlider_->setValue(int(std::clamp<qint64>(wholeNumber(seconds), pollSlider_->minimum(),
                                                     pollSlider_->maximum())));
    }
    pollValue_->setText(form_->pollIntervalText());
}

void PreferencesView::refreshSaveErrors() {
    for (const auto& [key, note] : saveErrorNotes_) {
        const std::optional<QString> error = form_->appState()->saveError(key);
        note->setText(error.value_or(QString()));
        note->setVisible(error.has_value());
    }
}

void PreferencesView::refreshStatus() {
    const StatusWords words = form_->stateWords();
    stateValue_->setText(words.headline);
    stateAdvice_->setText(words.advice);
    stateAdvice_->setVisible(!words.advice.isEmpty());
    stateDetail_->setText(words.detail);
    stateDetail_->setVisible(!words.detail.isEmpty());
    deviceCountValue_->setText(form_->deviceCountText());
}

QLabel* PreferencesView::saveErrorNote(const char* key, QWidget* parent) {
    QLabel* note = footnote({}, QLatin1String(key) + QStringLiteral("SaveError"), parent);
    note->hide();
    saveErrorNotes_.emplace_back(key, note);
    return note;
}

void PreferencesView::applyColours() {
    const QColor dim = secondaryTextColour(palette().color(QPalette::WindowText),
                                           palette().color(QPalette::Window));
    for (QLabel* label : findChildren<QLabel*>()) {
        if (label->property(secondaryProperty).toBool()) {
            QPalette p = label->palette();
            p.setColor(QPalette::WindowText, dim);
            label->setPalette(p);
        }
    }
    const QColor red = errorColour(palette());
    std::vector<QLabel*> labels{lightActionError_, launchError_, litraChoiceError_};
    for (const auto& note : saveErrorNotes_) {
        labels.push_back(note.second);
    }
    for (QLabel* label : labels) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, red);
        label->setPalette(p);
    }
}

void PreferencesView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        form_->appear();
        // Keyboard users start where the state asks them to act: at Choose… while there is no
        // tool that runs, else at the first control that can be used now.
        if (!window()->focusWidget()) {
            const Attention attention = attentionFor(form_->appState()->status(), false, 0);
            if (attention == Attention::noTool || attention == Attention::toolCannotStart) {
                litraChoose_->setFocus(Qt::OtherFocusReason);
            } else {
                focusNextPrevChild(true);
            }
        }
    }
}

void PreferencesView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        applyColours();
    }
    QWidget::changeEvent(event);
}
