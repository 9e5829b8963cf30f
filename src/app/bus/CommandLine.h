#pragma once

#include <QString>
#include <QStringList>

// What `glowdeck ARGUMENTS...` asks for, decided before any application object exists.
struct Invocation {
    enum class Kind { tray, verb, help, version, usageError };
    enum class Verb {
        none,
        toggle,
        on,
        off,
        brightness,
        temperature,
        refresh,
        preferences,
        status
    };

    Kind kind = Kind::tray;
    Verb verb = Verb::none;
    qint64 value = 0;  // the percentage or the kelvin value
    QString light;     // --light: that light alone; empty: every light
    bool json = false;
    QString text;  // help: the help text; usageError: the one-line reason

    friend bool operator==(const Invocation&, const Invocation&) = default;
};

// The whole argument vector, program name first. Parses only; runs nothing.
Invocation parseCommandLine(const QStringList& arguments);
