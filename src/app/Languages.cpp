#include "Languages.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QProcessEnvironment>
#include <QTranslator>

namespace languages {

namespace {

const QString folder = QStringLiteral(":/glowdeck/i18n");

// "de_AT.UTF-8@euro" to "de_AT", then "de".
QStringList candidates(const QString& entry) {
    QString name = entry.section(u'@', 0, 0).section(u'.', 0, 0);
    if (name.isEmpty()) {
        return {};
    }
    QStringList names{name};
    if (const qsizetype underscore = name.indexOf(u'_'); underscore > 0) {
        names << name.left(underscore);
    }
    return names;
}

}  // namespace

QStringList shipped() {
    QStringList names{QStringLiteral("en")};
    // Matched by hand: a name filter would compile a regular expression at every start.
    for (const QString& file : QDir(folder).entryList(QDir::Files)) {
        if (!file.startsWith(u"glowdeck_") || !file.endsWith(u".qm")) {
            continue;
        }
        const QString name = file.section(u'_', 1).section(u'.', 0, 0);
        if (!names.contains(name)) {
            names << name;
        }
    }
    return names;
}

namespace {

QString localeOf(const QProcessEnvironment& environment) {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (QString locale = environment.value(QLatin1String(variable)); !locale.isEmpty()) {
            return locale;
        }
    }
    return {};
}

bool speaksEnglishOnly(const QString& locale) {
    const QString base = locale.section(u'.', 0, 0);
    return locale.isEmpty() || base == u"C" || base == u"POSIX";
}

}  // namespace

QString chosen(const QProcessEnvironment& environment) {
    return speaksEnglishOnly(localeOf(environment)) ? QStringLiteral("en")
                                                    : chosen(environment, shipped());
}

QString chosen(const QProcessEnvironment& environment, const QStringList& available) {
    const QString locale = localeOf(environment);
    const QString english = QStringLiteral("en");
    if (speaksEnglishOnly(locale)) {
        return english;
    }
    QStringList entries = environment.value(QStringLiteral("LANGUAGE")).split(u':');
    entries << locale;
    for (const QString& entry : entries) {
        for (const QString& name : candidates(entry)) {
            if (available.contains(name)) {
                return name;
            }
        }
    }
    return english;
}

void install() {
    const QString language = chosen(QProcessEnvironment::systemEnvironment());
    // Lives as long as the application: installTranslator does not take ownership.
    static QTranslator glowdeck;
    if (glowdeck.load(QStringLiteral("glowdeck_") + language, folder)) {
        QCoreApplication::installTranslator(&glowdeck);
    }
    static QTranslator qt;
    if (language != u"en" && qt.load(QStringLiteral("qtbase_") + language,
                                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qt);
    }
}

}  // namespace languages
