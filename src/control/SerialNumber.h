#pragma once

#include "LitraDevice.h"
#include "LitraError.h"

#include <QString>

#include <vector>

// A serial number that cannot be handed to litra, or that names no light; the message says
// which and why.
class SerialNumberError : public GlowdeckError {
public:
    using GlowdeckError::GlowdeckError;
};

// Why `serial` cannot follow --serial-number on litra's command line: one that begins with "-"
// would be read as an option, and control characters have no place in a serial number.
// Empty when it can.
QString serialNumberProblem(const QString& serial);

// Why `serial` names none of `lights`, or serialNumberProblem(); empty when it names one.
QString unlistedSerialNumberProblem(const QString& serial, const std::vector<LitraDevice>& lights);

// A text shown back to the user inside a message: control characters escaped and a long one
// cut short, so that the message stays one readable line.
QString quotedArgument(const QString& text);
