#pragma once

#include "PreferencesForm.h"

#include <QWidget>

#include <utility>
#include <vector>

class CapsuleSlider;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class ElidedPathLabel;
class QPushButton;
class QSlider;

// The Preferences form: the current state, light sliders, launch at login and the tray icon's
// style, and the poll interval, in four titled sections that scroll when the window is small. All
// behaviour lives in PreferencesForm; this widget draws it and forwards input to it.
class PreferencesView : public QWidget {
    Q_OBJECT
public:
    static constexpr int minimumWidth = 420;
    static constexpr int minimumHeight = 300;
    // Tall enough for every section with a light that needs permission.
    static constexpr QSize defaultSize{500, 660};
    static constexpr int lightRowSpacing = 12;
    static constexpr int labelWidth = 100;
    static constexpr int valueWidth = 64;
    static constexpr int pollValueWidth = 36;
    static constexpr double trackHeight = 18.0;
    static constexpr double thumbSize = 22.0;

    PreferencesView(AppState* appState, CommandQueue* commands,
                    LoginItemService loginItems, QWidget* parent = nullptr);

    PreferencesForm& form() { return *form_; }
    const PreferencesForm& form() const { return *form_; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void build();
    QGroupBox* buildStatus(QWidget* content);
    QGroupBox* buildLights(QWidget* content);
    void buildApplyToRow(QGroupBox* lights);
    QGroupBox* buildGeneral(QWidget* content);
    void buildTrayIconStyleRow(QGroupBox* general);
    void buildCameraRow(QGroupBox* general);
    void buildLitraRow(QGroupBox* general);
    QGroupBox* buildPolling(QWidget* content);
    void chooseLitra();
    void refresh();
    void refreshApplyTo();
    void refreshLightSliders();
    void refreshLightNotes();
    void refreshGeneral();
    void refreshPolling();
    void refreshSaveErrors();
    void refreshStatus();
    void refreshLitra();
    void applyColours();
    QLabel* saveErrorNote(const char* key, QWidget* parent);

    PreferencesForm* form_;

    QComboBox* applyTo_ = nullptr;
    CapsuleSlider* brightnessSlider_ = nullptr;
    QLabel* brightnessValue_ = nullptr;
    CapsuleSlider* temperatureSlider_ = nullptr;
    QLabel* temperatureValue_ = nullptr;
    QLabel* lightActionError_ = nullptr;
    QLabel* noDevicesNote_ = nullptr;
    QCheckBox* launchAtLogin_ = nullptr;
    QLabel* launchError_ = nullptr;
    QComboBox* trayIconStyle_ = nullptr;
    QCheckBox* followCamera_ = nullptr;
    QCheckBox* notify_ = nullptr;
    QLabel* cameraUnavailable_ = nullptr;
    QSlider* pollSlider_ = nullptr;
    QLabel* pollValue_ = nullptr;
    QLabel* stateValue_ = nullptr;
    QLabel* deviceCountValue_ = nullptr;
    ElidedPathLabel* litraPath_ = nullptr;
    QPushButton* litraChoose_ = nullptr;
    QPushButton* litraReset_ = nullptr;
    QLabel* litraNote_ = nullptr;
    QLabel* litraChoiceError_ = nullptr;
    QLabel* simulatedNote_ = nullptr;
    QLabel* stateAdvice_ = nullptr;
    QLabel* stateDetail_ = nullptr;
    QLabel* permissionFix_ = nullptr;
    // Under each stored setting: why its last change could not be saved.
    std::vector<std::pair<const char*, QLabel*>> saveErrorNotes_;
};
