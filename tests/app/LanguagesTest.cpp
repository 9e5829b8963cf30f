#include "Languages.h"

#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

TEST(Languages, FirstShippedOfLanguageThenTheLocaleElseEnglish) {
    const struct {
        QStringList variables;  // NAME=value
        const char* chosen;
    } cases[] = {
        {{}, "en"},
        {{"LANG=de_DE.UTF-8"}, "de"},
        {{"LANG=fr_CA.UTF-8@euro"}, "fr"},
        {{"LANG=es"}, "es"},
        {{"LANG=pt_BR.UTF-8"}, "en"},
        {{"LANG=de_DE.UTF-8", "LC_MESSAGES=es_ES.UTF-8"}, "es"},
        {{"LANG=de_DE.UTF-8", "LC_MESSAGES=es_ES.UTF-8", "LC_ALL=fr_FR.UTF-8"}, "fr"},
        {{"LANG=de_DE.UTF-8", "LC_ALL="}, "de"},
        {{"LANG=de_DE.UTF-8", "LANGUAGE=pt_BR:es:fr"}, "es"},
        {{"LANG=de_DE.UTF-8", "LANGUAGE=pt_BR"}, "de"},
        {{"LANG=de_DE.UTF-8", "LANGUAGE=en_GB:de"}, "en"},
        {{"LANG=de_DE.UTF-8", "LANGUAGE="}, "de"},
        // As with gettext: the C locale is English, and LANGUAGE does not count then.
        {{"LANG=C.UTF-8", "LANGUAGE=de"}, "en"},
        {{"LC_ALL=POSIX", "LANG=de_DE.UTF-8"}, "en"},
        {{"LANGUAGE=de"}, "en"},
    };
    for (const auto& c : cases) {
        QProcessEnvironment environment;
        for (const QString& variable : c.variables) {
            environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        }
        EXPECT_EQ(languages::chosen(environment).toStdString(), c.chosen)
            << c.variables.join(u' ').toStdString();
    }
}

}  // namespace
