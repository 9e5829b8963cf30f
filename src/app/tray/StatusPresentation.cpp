#include "StatusPresentation.h"

#include "AppState.h"
#include "StatusWords.h"

#include <QCoreApplication>

namespace {

QString symbolNameFor(LightStatus::Case kind) {
    switch (kind) {
        case LightStatus::Case::allOn:
            return QStringLiteral("lightbulb.fill");
        case LightStatus::Case::allOff:
            return QStringLiteral("lightbulb");
        case LightStatus::Case::mixed:
            return QStringLiteral("lightbulb.led");
        case LightStatus::Case::noDevices:
        case LightStatus::Case::error:
            break;
    }
    return QStringLiteral("lightbulb.min.badge.exclamationmark");
}

}  // namespace

StatusPresentation presentationFor(const LightStatus& status, bool cameraInUse,
                                   bool lightNeedsPermission) {
    const StatusWords words = statusWords(status, lightNeedsPermission);
    QString text = words.headline;
    if (!words.advice.isEmpty()) {
        text += u'\n' + words.advice;
    }
    if (cameraInUse) {
        text += u'\n' + QCoreApplication::translate("StatusPresentation", "Camera in use");
    }
    return {symbolNameFor(status.kind()), plainToolTip(text)};
}

QString plainToolTip(const QString& text) {
    // A word joiner, which shows nothing, after '<' and '&' keeps them from starting a tag or
    // an entity.
    QString plain;
    plain.reserve(text.size());
    for (const QChar c : text) {
        plain += c;
        if (c == u'<' || c == u'&') {
            plain += QChar(0x2060);
        }
    }
    return plain;
}

QString symbolResourcePath(const QString& symbolName) {
    return QStringLiteral(":/glowdeck/icons/") + symbolName + QStringLiteral(".svg");
}

QString smallSymbolResourcePath(const QString& symbolName) {
    return QStringLiteral(":/glowdeck/icons/16/") + symbolName + QStringLiteral(".svg");
}
