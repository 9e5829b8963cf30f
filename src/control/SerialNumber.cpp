#include "SerialNumber.h"

#include "LitraError.h"

#include <algorithm>

namespace {

constexpr qsizetype shownLimit = 40;

bool isControl(QChar c) {
    return c.category() == QChar::Other_Control;
}

}  // namespace

QString quotedArgument(const QString& text) {
    QString shown;
    for (const QChar c : text.left(shownLimit)) {
        shown += isControl(c) ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0')) : c;
    }
    if (text.size() > shownLimit) {
        shown += QChar(0x2026);  // …
    }
    return u'"' + shown + u'"';
}

QString serialNumberProblem(const QString& serial) {
    if (serial.startsWith(u'-')) {
        return errorMessage(errorText::leadingDash, quotedArgument(serial));
    }
    if (std::any_of(serial.begin(), serial.end(), isControl)) {
        return errorMessage(errorText::controlCharacter, quotedArgument(serial));
    }
    return {};
}

QString unlistedSerialNumberProblem(const QString& serial, const std::vector<LitraDevice>& lights) {
    if (QString problem = serialNumberProblem(serial); !problem.isEmpty()) {
        return problem;
    }
    const bool listed = std::any_of(lights.begin(), lights.end(), [&](const LitraDevice& light) {
        return light.serial_number == serial;
    });
    const QString shown =
        serial.size() > shownLimit ? serial.left(shownLimit) + QChar(0x2026) : serial;
    return listed ? QString() : errorMessage(errorText::unlisted, shown);
}
