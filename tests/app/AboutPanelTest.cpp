#include "AboutPanel.h"

#include <gtest/gtest.h>

#include <QTextBlock>

namespace {

// The links of a text, as "text" when it links to itself, else "text -> address".
QStringList linksIn(const QTextDocument& document) {
    QStringList links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QString text = it.fragment().text(), to = it.fragment().charFormat().anchorHref();
            if (it.fragment().charFormat().isAnchor()) {
                links << (text == to ? text : text + " -> " + to);
            }
        }
    }
    return links;
}

TEST(AboutPanel, MarksEveryWebAddressAndNothingElse) {
    const auto links = [](const QString& text) {
        QTextDocument document;
        document.setPlainText(text);
        addLinks(document);
        EXPECT_EQ(document.toPlainText(), text);
        return linksIn(document);
    };
    EXPECT_EQ(links("See https://a.org/litra."), QStringList{"https://a.org/litra"});
    EXPECT_EQ(links("(http://a.org/?b=1&c=2)"), QStringList{"http://a.org/?b=1&c=2"});
    EXPECT_EQ(links("http://a.org/Lamp_(desk), yes"), QStringList{"http://a.org/Lamp_(desk)"});
    EXPECT_EQ(links("www.a.org/b, then\nhttps://c.org"),
              (QStringList{"www.a.org/b -> https://www.a.org/b", "https://c.org"}));
    EXPECT_EQ(links("\U0001F4A1 https://a.org/l\u00e4mpe ok"),
              QStringList{"https://a.org/l\u00e4mpe -> https://a.org/l%C3%A4mpe"});
    EXPECT_EQ(links("http:// xhttps://a.org lights@a.org"), QStringList{}) << "no addresses";
    EXPECT_EQ(linksIn(*aboutPanelOptions().credits),
              (QStringList{litraProjectUrl().toString(), homepageUrl().toString()}));
}

}  // namespace
