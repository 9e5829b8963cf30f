#include "LitraError.h"

GlowdeckError::GlowdeckError(QString message)
    : message_(std::move(message)), utf8_(message_.toUtf8()) {}

LitraError::LitraError(Kind kind, qint32 code, QString detail, QString message)
    : GlowdeckError(std::move(message)), kind_(kind), code_(code), detail_(std::move(detail)) {}

LitraError LitraError::nonZeroExit(qint32 code, QString stderrText) {
    QString message = QStringLiteral("litra exited %1: %2").arg(code).arg(stderrText);
    return {Kind::nonZeroExit, code, std::move(stderrText), std::move(message)};
}

LitraError LitraError::decode(QString reason) {
    QString message = QStringLiteral("Failed to parse litra output: ") + reason;
    return {Kind::decode, 0, std::move(reason), std::move(message)};
}

LitraError LitraError::binaryMissing() {
    return {Kind::binaryMissing, 0, {}, QStringLiteral("Bundled litra binary missing")};
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
