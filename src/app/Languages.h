#pragma once

#include <QString>
#include <QStringList>

class QProcessEnvironment;

// Glowdeck's translations are compiled in (translations/glowdeck_*.ts); English is the source.
namespace languages {

// The languages compiled in (translations/ as CMake lists them), English first; English holds
// only the plural forms.
QStringList shipped();

// The language to speak: the first of LANGUAGE's colon list that Glowdeck ships, else the locale's
// (LC_ALL, else LC_MESSAGES, else LANG); "de_AT.UTF-8@euro" matches de_AT, then de. As with
// gettext, a locale of C or POSIX, or none, is English and makes LANGUAGE count for nothing.
QString chosen(const QProcessEnvironment& environment, const QStringList& available);
// The same among the languages shipped, which are listed only when the locale asks for one.
QString chosen(const QProcessEnvironment& environment);

// Installs the chosen language's translator, and Qt's own for its standard texts where the
// system has them, into the running QCoreApplication.
void install();

}  // namespace languages
