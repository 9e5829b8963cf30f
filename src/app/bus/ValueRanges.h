#pragma once

#include <QString>

// The values that the command line and the bus pass on to the lights. litra's own clamping is
// not relied on: what is out of range is refused, so that nothing runs that was not asked for.
namespace valueRanges {

constexpr qint64 minimumPercentage = 1;
constexpr qint64 maximumPercentage = 100;
constexpr qint64 minimumKelvin = 100;
constexpr qint64 maximumKelvin = 100'000;
constexpr qint64 kelvinStep = 100;

// What brightness and temperature take, as the refusals name it: in English on the bus, in the
// user's language on the command line.
enum Language { english, translated };
QString percentageRange(Language language = english);
QString kelvinRange(Language language = english);

bool isPercentage(qint64 value);
bool isKelvin(qint64 value);

// Why the value is refused, naming the range; empty when it is accepted.
QString brightnessProblem(qint64 percentage);
QString temperatureProblem(qint64 kelvin);

}  // namespace valueRanges
