#include "StatusWords.h"

#include "DisplayText.h"
#include "LitraError.h"

#include <QCoreApplication>

namespace {

constexpr qsizetype longestHeadline = 120;

struct Words {
    Q_DECLARE_TR_FUNCTIONS(StatusWords)
};

QString firstLine(const QString& text) {
    for (const QString& line : text.split(u'\n')) {
        if (!line.trimmed().isEmpty()) {
            return line.trimmed();
        }
    }
    return {};
}

// The tool's reason after "litra exited N: ", without the "Error:" it may start with itself.
QString exitHeadline(const QString& message) {
    const qsizetype colon = message.indexOf(QLatin1String(": "));
    if (colon < 0) {
        return firstLine(message);
    }
    QString reason = firstLine(message.mid(colon + 2));
    if (reason.startsWith(QLatin1String("error:"), Qt::CaseInsensitive)) {
        reason = reason.mid(6).trimmed();
    }
    return message.left(colon + 2) + reason;
}

QString errorHeadline(const QString& message) {
    if (message.startsWith(QLatin1String("litra exited "))) {
        return exitHeadline(message);
    }
    // The decoder's account of what it read is for Preferences alone.
    static const QLatin1String parse("Failed to parse litra output");
    if (message.startsWith(parse)) {
        return parse;
    }
    return firstLine(message);
}

QString errorAdvice(const QString& message) {
    switch (failureKind(message)) {
        case FailureKind::noTool:
            return Words::tr("Choose it in Preferences, General: litra tool");
        case FailureKind::shippedToolMissing:
            return Words::tr("Reinstall Glowdeck, or choose a litra tool in Preferences");
        case FailureKind::toolNotExecutable:
            return Words::tr("Make the tool executable, or choose another in Preferences");
        case FailureKind::toolCannotStart:
            return Words::tr("Choose the litra tool again in Preferences");
        case FailureKind::notLitra:
            return Words::tr("Is it the litra tool? Choose the right one in Preferences");
        case FailureKind::hung:
            return Words::tr("Unplug the lights and plug them in again, then Refresh");
        case FailureKind::crashed:
            return Words::tr("Choose Refresh; if it happens again, update litra");
        case FailureKind::failed:
            return Words::tr("Check that the lights are plugged in, then Refresh");
        case FailureKind::other:
            break;
    }
    return Words::tr("Choose Refresh to try again; details in Preferences");
}

}  // namespace

QString shownText(const LightStatus& status) {
    return status.isError()
               ? Words::tr("Error: %1").arg(displayable(translatedError(status.message())))
               : QCoreApplication::translate("StatusWords",
                                             displayText(status).toLatin1().constData());
}

StatusWords statusWords(const LightStatus& status, bool lightNeedsPermission) {
    const QString whole = shownText(status);
    StatusWords words;
    if (lightNeedsPermission &&
        (status.isError() || status.kind() == LightStatus::Case::noDevices)) {
        words.headline = missingPermissionText();
        words.advice = Words::tr("Load Glowdeck's udev rule, as Preferences (Status) shows");
        words.detail = whole;
        return words;
    }
    switch (status.kind()) {
        case LightStatus::Case::error:
            words.headline =
                cutShort(Words::tr("Error: %1")
                             .arg(translatedError(errorHeadline(displayable(status.message())))),
                         longestHeadline);
            words.advice = errorAdvice(status.message());
            break;
        case LightStatus::Case::noDevices:
            words.headline = whole;
            words.advice = Words::tr("Plug a light in; Glowdeck sees it at once");
            break;
        default:
            words.headline = whole;
            break;
    }
    if (words.headline != whole) {
        words.detail = whole;
    }
    return words;
}

LightStatus statusFromDisplayText(const QString& text) {
    for (const LightStatus& status : {LightStatus::allOn(), LightStatus::allOff(),
                                      LightStatus::mixed(), LightStatus::noDevices()}) {
        if (text == displayText(status)) {
            return status;
        }
    }
    static const QLatin1String error("Error: ");
    return LightStatus::error(text.startsWith(error) ? text.mid(error.size()) : text);
}
