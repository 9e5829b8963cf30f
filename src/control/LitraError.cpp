#include "LitraError.h"

#include <cstring>

namespace {

// What the tool says is shown in a tool tip, a menu line and under the sliders. A tool that
// writes megabytes must not make those unreadable or slow to lay out.
QString quoted(const QString& text) {
    return cutShort(text, 501);
}

}  // namespace

QString cutShort(const QString& text, qsizetype longest) {
    if (text.size() <= longest) {
        return text;
    }
    const qsizetype cut = text.at(longest - 2).isHighSurrogate() ? longest - 2 : longest - 1;
    return text.left(cut) + QChar(0x2026);  // …
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

GlowdeckError::GlowdeckError(QString message)
    : message_(std::move(message)), utf8_(message_.toUtf8()) {}

LitraError LitraError::nonZeroExit(qint32 code, const QString& stderrText) {
    return LitraError(QStringLiteral("litra exited %1: %2").arg(code).arg(quoted(stderrText)));
}

LitraError LitraError::decode(const QString& reason) {
    return LitraError(QStringLiteral("Failed to parse litra output: ") + quoted(reason));
}

LitraError LitraError::killed(const QString& signalName) {
    return LitraError(QStringLiteral("litra was killed by %1").arg(signalName));
}

LitraError LitraError::noToolChosen() {
    return LitraError(QStringLiteral("No litra tool chosen yet"));
}

LitraError LitraError::binaryMissing() {
    return LitraError(QStringLiteral("Bundled litra binary missing"));
}

QString localizedDescription(const std::exception& error) {
    if (const auto* ours = dynamic_cast<const GlowdeckError*>(&error)) {
        return ours->localizedDescription();
    }
    return QString::fromUtf8(error.what());
}

QString localizedDescription(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return localizedDescription(e);
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}
