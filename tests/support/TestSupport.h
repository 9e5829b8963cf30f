#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace testsupport {

// The temporary home every test process runs in (HOME, XDG_CONFIG_HOME, XDG_STATE_HOME).
QString homeDir();

// Writes an executable shell script (the text after "#!/bin/sh\n") and returns its path.
QString writeScript(const QString& dir, const QString& name, const QByteArray& body);

// Writes bytes to a file, creating its folder.
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// Spins the event loop until the predicate holds or the time-out passes.
bool waitUntil(const std::function<bool()>& predicate, int timeoutMs = 10000);

}  // namespace testsupport
