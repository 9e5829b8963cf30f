// What litra says reaches the tool tip, the menu and Preferences as written: never as markup,
// never with characters that hide or turn around what follows, the menu's line kept short.
#include "DisplayText.h"
#include "MenuEntries.h"
#include "StatusPresentation.h"

#include <gtest/gtest.h>

#include <QTextDocument>

namespace {

TEST(DisplayText, ShowsControlCharactersAndDropsDirectionOverrides) {
    const std::pair<QString, QString> cases[] = {
        {"busy\n", "busy"},
        {"two\nlines\r\n\n", "two\nlines"},
        {QString::fromUtf8("\x1b[31mred\a\0x", 11), QString::fromUtf8("␛[31mred␇␀x")},
        {QString::fromUtf8("abc \u202eNO :sthgil llA"), "abc NO :sthgil llA"},
        {QString::fromUtf8("a\u2066b\u2069c\u200fd\u0085e"), "abcde"},
        {"", ""},
    };
    for (const auto& [message, shown] : cases) {
        EXPECT_EQ(displayText(LightStatus::error(message)), "Error: " + shown)
            << message.toStdString();
    }
}

TEST(DisplayText, ToolTipNeverReadsAsMarkup) {
    for (const QString text :
         {"<b>bad</b>", "a<br>b", "<img src=\"/some/file.png\">", "&lt;x&gt;"}) {
        const QString tip = plainToolTip(text);
        EXPECT_FALSE(Qt::mightBeRichText(tip)) << text.toStdString();
        EXPECT_EQ(QString(tip).remove(QChar(0x2060)), text);
    }
}

TEST(DisplayText, MenuLineIsOneShortLine) {
    EXPECT_EQ(menuStatusLine("Error: litra exited 1: a\nb"), "Error: litra exited 1: a b");
    const QString line = menuStatusLine("Error: " + QString(500, 'x'));
    EXPECT_EQ(line.size(), 64);
    EXPECT_TRUE(line.endsWith(QChar(0x2026)));
    EXPECT_EQ(menuStatusLine(QString(62, 'x') + QString::fromUtf8("\U0001F4A1 more")).size(), 63)
        << "not between the halves of a character";
}

}  // namespace
