#include "DisplayText.h"

#include <QCoreApplication>

QString displayText(const LightStatus& status) {
    switch (status.kind()) {
        case LightStatus::Case::allOn:
            return QStringLiteral("All lights: On");
        case LightStatus::Case::allOff:
            return QStringLiteral("All lights: Off");
        case LightStatus::Case::mixed:
            return QStringLiteral("Lights: Mixed");
        case LightStatus::Case::noDevices:
            return QStringLiteral("No Litra devices found");
        case LightStatus::Case::error:
            return QStringLiteral("Error: ") + displayable(status.message());
    }
    return {};
}

QString deviceCountText(qint64 deviceCount) {
    const QString format = deviceCount == 1
                               ? QCoreApplication::translate("StatusMenu", "%1 device connected")
                               : QCoreApplication::translate("StatusMenu", "%1 devices connected");
    return format.arg(deviceCount);
}

QString missingPermissionText() {
    return QStringLiteral("A light is connected, but you do not have permission to use it.");
}

QString displayable(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && (text[end - 1] == u'\n' || text[end - 1] == u'\r')) {
        --end;
    }
    QString shown;
    shown.reserve(end);
    for (const QChar c : QStringView(text).first(end)) {
        const char16_t u = c.unicode();
        if (u == u'\n' || u == u'\t') {
            shown += c;
        } else if (u < 0x20) {
            shown += QChar(0x2400 + u);  // the control picture: NUL shows as ␀, ESC as ␛
        } else if (u == 0x7f) {
            shown += QChar(0x2421);  // ␡
        } else if ((u < 0x80 || u >= 0xa0) && c.category() != QChar::Other_Format) {
            shown += c;
        }
        // Left out: C1 controls, and format characters (direction overrides and isolates,
        // marks, invisible joiners), which could make the text read as something else.
    }
    return shown;
}
