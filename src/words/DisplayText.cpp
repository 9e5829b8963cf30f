#include "DisplayText.h"

#include <QCoreApplication>

#include <algorithm>
#include <climits>

QString displayText(const LightStatus& status) {
    // In English, as the bus and the JSON carry it; statusWords() translates it for people.
    switch (status.kind()) {
        case LightStatus::Case::allOn:
            return QStringLiteral(QT_TRANSLATE_NOOP("StatusWords", "All lights: On"));
        case LightStatus::Case::allOff:
            return QStringLiteral(QT_TRANSLATE_NOOP("StatusWords", "All lights: Off"));
        case LightStatus::Case::mixed:
            return QStringLiteral(QT_TRANSLATE_NOOP("StatusWords", "Lights: Mixed"));
        case LightStatus::Case::noDevices:
            return QStringLiteral(QT_TRANSLATE_NOOP("StatusWords", "No Litra devices found"));
        case LightStatus::Case::error:
            return QStringLiteral("Error: ") + displayable(status.message());
    }
    return {};
}

QString deviceCountText(qint64 deviceCount) {
    const auto count = static_cast<int>(std::min(deviceCount, qint64{INT_MAX}));
    return QCoreApplication::translate("StatusMenu", "%n device(s) connected", nullptr, count);
}

QString missingPermissionText() {
    return QCoreApplication::translate(
        "StatusWords", "A light is connected, but you do not have permission to use it.");
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
