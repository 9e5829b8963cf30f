#include "ValueRanges.h"

namespace valueRanges {

QString percentageRange() {
    return QStringLiteral("a percentage from %1 to %2")
        .arg(minimumPercentage)
        .arg(maximumPercentage);
}

QString kelvinRange() {
    return QStringLiteral("kelvin from %1 to %2 in steps of %3")
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
