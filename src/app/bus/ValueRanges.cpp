#include "ValueRanges.h"

#include <QCoreApplication>

namespace valueRanges {

namespace {

QString text(const char* source, Language language) {
    return language == translated ? QCoreApplication::translate("ValueRanges", source)
                                  : QString::fromLatin1(source);
}

}  // namespace

QString percentageRange(Language language) {
    return text(QT_TRANSLATE_NOOP("ValueRanges", "a percentage from %1 to %2"), language)
        .arg(minimumPercentage)
        .arg(maximumPercentage);
}

QString kelvinRange(Language language) {
    return text(QT_TRANSLATE_NOOP("ValueRanges", "kelvin from %1 to %2 in steps of %3"), language)
        .arg(minimumKelvin)
        .arg(maximumKelvin)
        .arg(kelvinStep);
}

bool isPercentage(qint64 value) {
    return value >= minimumPercentage && value <= maximumPercentage;
}

bool isKelvin(qint64 value) {
    return value >= minimumKelvin && value <= maximumKelvin && value % kelvinStep == 0;
}

QString brightnessProblem(qint64 percentage) {
    return isPercentage(percentage) ? QString()
                                    : QStringLiteral("brightness takes %1, not %2")
                                          .arg(percentageRange())
                                          .arg(percentage);
}

QString temperatureProblem(qint64 kelvin) {
    return isKelvin(kelvin)
               ? QString()
               : QStringLiteral("temperature takes %1, not %2").arg(kelvinRange()).arg(kelvin);
}

}  // namespace valueRanges
