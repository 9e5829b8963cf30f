#include "PanelStatus.h"

#include "StatusWords.h"

#include <QCoreApplication>

#include <cmath>

namespace {

QString stateName(LightStatus::Case kind) {
    switch (kind) {
        case LightStatus::Case::allOn:
            return QStringLiteral("on");
        case LightStatus::Case::allOff:
            return QStringLiteral("off");
        case LightStatus::Case::mixed:
            return QStringLiteral("mixed");
        case LightStatus::Case::noDevices:
            return QStringLiteral("none");
        case LightStatus::Case::error:
            break;
    }
    return QStringLiteral("error");
}

// "Sim Panel SIM-0001: on, 48 %"; what the light does not report is left out.
QString lightLine(const QVariantMap& light) {
    QStringList names;
    for (const char* key : {"name", "serial_number"}) {
        if (const QString value = light.value(QLatin1String(key)).toString(); !value.isEmpty()) {
            names << value;
        }
    }
    QStringList facts;
    if (light.contains(QStringLiteral("on"))) {
        facts << (light.value(QStringLiteral("on")).toBool()
                      ? QCoreApplication::translate("PanelStatus", "on")
                      : QCoreApplication::translate("PanelStatus", "off"));
    }
    if (light.contains(QStringLiteral("brightness"))) {
        facts << QStringLiteral("%1 %").arg(light.value(QStringLiteral("brightness")).toInt());
    }
    const QString name =
        names.isEmpty() ? QCoreApplication::translate("PanelStatus", "Light") : names.join(u' ');
    return facts.isEmpty() ? name : name + QStringLiteral(": ") + facts.join(QStringLiteral(", "));
}

}  // namespace

PanelStatus panelStatus(const LightStatus& status, const QList<QVariantMap>& lights) {
    const StatusWords words = statusWords(status);
    PanelStatus panel;
    panel.state = stateName(status.kind());
    panel.text = words.headline;
    QStringList tooltip{words.headline};
    if (!words.advice.isEmpty()) {
        tooltip << words.advice;
    }
    double brightnessSum = 0.0;
    int brightnessCount = 0;
    for (const QVariantMap& light : lights) {
        tooltip << lightLine(light);
        if (light.contains(QStringLiteral("brightness"))) {
            brightnessSum += light.value(QStringLiteral("brightness")).toDouble();
            ++brightnessCount;
        }
    }
    panel.tooltip = tooltip.join(u'\n');
    if (brightnessCount > 0) {
        panel.percentage = int(std::lround(brightnessSum / brightnessCount));
    }
    return panel;
}
