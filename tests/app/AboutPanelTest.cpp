#include "AboutDialog.h"
#include "AboutPanel.h"
#include "AppIcon.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <utility>
#include <vector>

namespace {

using Link = std::pair<QString, QString>;  // the text marked, the address it links to

std::vector<Link> linksIn(const QTextDocument& document) {
    std::vector<Link> links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            if (!format.isAnchor()) {
                continue;
            }
            // Neighbouring fragments of one link are joined.
            if (!links.empty() && links.back().second == format.anchorHref() &&
                fragment.fragment().position() > 0) {
                links.back().first += fragment.fragment().text();
            } else {
                links.emplace_back(fragment.fragment().text(), format.anchorHref());
            }
        }
    }
    return links;
}

QStringList linesOf(const QTextDocument& document) {
    return document.toPlainText().split(QLatin1Char('\n'));
}

// Restores the application's window icon when it ends.
class WindowIconScope {
public:
    WindowIconScope() : saved_(QApplication::windowIcon()) {}
    ~WindowIconScope() { QApplication::setWindowIcon(saved_); }

private:
    QIcon saved_;
};

QImage imageOf(const QIcon& icon) {
    return icon.pixmap(QSize(32, 32)).toImage();
}

// ---- The credits

TEST(Credits, AreSixLinesEachEndedByANewline) {
    const AboutPanelOptions options = aboutPanelOptions();
    ASSERT_TRUE(options.credits);
    const QStringList lines = linesOf(*options.credits);
    ASSERT_EQ(lines.size(), 7) << options.credits->toPlainText().toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Toggle your Litra's!"));
    EXPECT_EQ(lines[1], QString());
    EXPECT_TRUE(lines[2].contains(QStringLiteral("Glowdeck")) &&
                lines[2].contains(QStringLiteral("litra command-line tool")) &&
                lines[2].endsWith(QLatin1Char('.')))
        << lines[2].toStdString();
    EXPECT_EQ(lines[3], litraProjectUrl().toString());
    EXPECT_EQ(lines[4], QString());
    EXPECT_EQ(lines[5], homepageUrl().toString());
    EXPECT_EQ(lines[6], QString()) << "the sixth line ends with a newline too";
}

TEST(Credits, AddressesAreTheProjectsOwnWebAddresses) {
    for (const QUrl& url : {litraProjectUrl(), homepageUrl()}) {
        EXPECT_TRUE(url.isValid()) << url.toString().toStdString();
        EXPECT_TRUE(url.scheme() == QStringLiteral("https") ||
                    url.scheme() == QStringLiteral("http"))
            << url.toString().toStdString();
        EXPECT_FALSE(url.host().isEmpty()) << url.toString().toStdString();
    }
    EXPECT_NE(litraProjectUrl(), homepageUrl());
}

TEST(Credits, BothAddressesAreLinksAndNothingElseIs) {
    const AboutPanelOptions options = aboutPanelOptions();
    const std::vector<Link> expected{
        {litraProjectUrl().toString(), litraProjectUrl().toString(QUrl::FullyEncoded)},
        {homepageUrl().toString(), homepageUrl().toString(QUrl::FullyEncoded)}};
    EXPECT_EQ(linksIn(*options.credits), expected);
}

TEST(Credits, WholeTextIsCentredInTheSystemFontAt11Points) {
    const AboutPanelOptions options = aboutPanelOptions();
    const QString systemFamily = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    int fragments = 0;
    for (QTextBlock block = options.credits->begin(); block.isValid(); block = block.next()) {
        EXPECT_EQ(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter)
            << "line " << block.blockNumber() + 1;
        // An empty line has no fragment; its own format still carries the font.
        EXPECT_DOUBLE_EQ(block.charFormat().font().pointSizeF(), 11.0)
            << "line " << block.blockNumber() + 1;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            ++fragments;
            const QFont font = it.fragment().charFormat().font();
            EXPECT_DOUBLE_EQ(font.pointSizeF(), 11.0) << it.fragment().text().toStdString();
            EXPECT_EQ(font.family(), systemFamily) << it.fragment().text().toStdString();
        }
    }
    EXPECT_GE(fragments, 4);
}

TEST(Credits, AreBuiltAfreshOnEveryCall) {
    AboutPanelOptions first = aboutPanelOptions();
    first.credits->setPlainText(QStringLiteral("changed"));
    const AboutPanelOptions second = aboutPanelOptions();
    EXPECT_NE(first.credits.get(), second.credits.get());
    EXPECT_EQ(linesOf(*second.credits).first(), QStringLiteral("Toggle your Litra's!"));
}

// ---- Link marking

struct LinkCase {
    const char* name;
    QString text;
    std::vector<Link> links;
};

class AddLinks : public testing::TestWithParam<LinkCase> {};

TEST_P(AddLinks, MarksEveryWebAddress) {
    QTextDocument document;
    document.setPlainText(GetParam().text);
    addLinks(document);
    EXPECT_EQ(linksIn(document), GetParam().links);
    EXPECT_EQ(document.toPlainText(), GetParam().text) << "the text itself is left as it was";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AddLinks,
    testing::Values(
        LinkCase{"NoAddress", QStringLiteral("Toggle your Litra's!"), {}},
        LinkCase{"WholeLine",
                 QStringLiteral("https://glowdeck.example.org"),
                 {{"https://glowdeck.example.org", "https://glowdeck.example.org"}}},
        LinkCase{"SentenceFullStopIsNotPartOfIt",
                 QStringLiteral("See https://glowdeck.example.org/litra."),
                 {{"https://glowdeck.example.org/litra", "https://glowdeck.example.org/litra"}}},
        LinkCase{"EnclosingBracketsAreNotPartOfIt",
                 QStringLiteral("(http://example.org/a?b=1&c=2)"),
                 {{"http://example.org/a?b=1&c=2", "http://example.org/a?b=1&c=2"}}},
        LinkCase{"BracketsOfTheAddressStay",
                 QStringLiteral("http://example.org/wiki/Lamp_(desk), yes"),
                 {{"http://example.org/wiki/Lamp_(desk)", "http://example.org/wiki/Lamp_(desk)"}}},
        LinkCase{"TwoOnOneLineAndWwwTakenAsHttps",
                 QStringLiteral("www.example.org/a, then https://b.example.org"),
                 {{"www.example.org/a", "https://www.example.org/a"},
                  {"https://b.example.org", "https://b.example.org"}}},
        LinkCase{"OnSeveralLines",
                 QStringLiteral("a\nhttps://one.example.org\n\nhttps://two.example.org\n"),
                 {{"https://one.example.org", "https://one.example.org"},
                  {"https://two.example.org", "https://two.example.org"}}},
        LinkCase{
            "AfterCharactersOutsideTheBasicPlane",
            QStringLiteral("\U0001F4A1\U0001F4A1 https://example.org/l\u00e4mpe ok"),
            {{QStringLiteral("https://example.org/l\u00e4mpe"), "https://example.org/l%C3%A4mpe"}}},
        LinkCase{"SchemeWithoutHostIsSkipped", QStringLiteral("http:// is not an address"), {}},
        LinkCase{"InsideAWordIsNotAnAddress", QStringLiteral("xhttps://example.org"), {}},
        LinkCase{"MailAddressIsNotAWebAddress", QStringLiteral("mail lights@example.org"), {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AddLinksFormatting, KeepsTheFontAndAlignmentOfTheText) {
    const AboutPanelOptions options = aboutPanelOptions();
    for (QTextBlock block = options.credits->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isAnchor()) {
                EXPECT_DOUBLE_EQ(it.fragment().charFormat().font().pointSizeF(), 11.0);
                EXPECT_EQ(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                          Qt::AlignHCenter);
            }
        }
    }
}

// ---- The icon

enum class IconSource { appIcon, windowIcon, none };

struct IconCase {
    const char* name;
    QByteArray appIconFile;  // empty: no such file
    bool hasWindowIcon;
    IconSource expected;
};

class ApplicationIcon : public testing::TestWithParam<IconCase> {};

TEST_P(ApplicationIcon, FallsBackFromAppIconToTheWindowIconToNone) {
    const WindowIconScope restore;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString path = dir.filePath(QStringLiteral("missing.svg"));
    if (!GetParam().appIconFile.isEmpty()) {
        path = dir.filePath(QStringLiteral("AppIcon.svg"));
        testsupport::writeFile(path, GetParam().appIconFile);
    }
    QPixmap windowPixmap(32, 32);
    windowPixmap.fill(Qt::magenta);
    QApplication::setWindowIcon(GetParam().hasWindowIcon ? QIcon(windowPixmap) : QIcon());

    const AboutPanelOptions options = aboutPanelOptions(path);

    switch (GetParam().expected) {
        case IconSource::appIcon:
            ASSERT_TRUE(options.applicationIcon);
            EXPECT_EQ(imageOf(*options.applicationIcon), imageOf(loadAppIcon(path)));
            EXPECT_NE(imageOf(*options.applicationIcon), imageOf(QIcon(windowPixmap)));
            break;
        case IconSource::windowIcon:
            ASSERT_TRUE(options.applicationIcon);
            EXPECT_EQ(imageOf(*options.applicationIcon), imageOf(QIcon(windowPixmap)));
            break;
        case IconSource::none:
            EXPECT_FALSE(options.applicationIcon);
            break;
    }
    EXPECT_TRUE(options.credits) << "the credits are there whatever the icon";
}

const QByteArray greenSquare =
    R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 8 8"><rect width="8" height="8" fill="#0a0"/></svg>)";

INSTANTIATE_TEST_SUITE_P(
    Sources, ApplicationIcon,
    testing::Values(
        IconCase{"AppIconWinsOverTheWindowIcon", greenSquare, true, IconSource::appIcon},
        IconCase{"AppIconWithoutWindowIcon", greenSquare, false, IconSource::appIcon},
        IconCase{"MissingAppIconGivesTheWindowIcon", {}, true, IconSource::windowIcon},
        IconCase{"BrokenAppIconGivesTheWindowIcon", "<svg", true, IconSource::windowIcon},
        IconCase{"NeitherGivesNone", {}, false, IconSource::none}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AppIcon, TheShippedArtworkLoads) {
    const QIcon icon = loadAppIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage image = icon.pixmap(QSize(64, 64)).toImage();
    ASSERT_FALSE(image.isNull());
    // Drawn, not blank: the corner is transparent, the middle is not.
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_GT(qAlpha(image.pixel(32, 32)), 0);
}

// ---- The dialog

// Records the addresses handed to the desktop's browser.
class BrowserStandIn : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

class AboutDialogTest : public testing::Test {
protected:
    void SetUp() override {
        QApplication::setApplicationDisplayName(QStringLiteral("Glowdeck"));
        QApplication::setApplicationVersion(QStringLiteral("1.2.3"));
    }
    void TearDown() override {
        QApplication::setApplicationDisplayName(QString());
        QApplication::setApplicationVersion(QString());
    }
};

TEST_F(AboutDialogTest, ShowsIconNameVersionAndTheCreditsWithTheirLinks) {
    AboutDialog dialog;
    dialog.setOptions(aboutPanelOptions());
    dialog.present();

    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(dialog.iconLabel()->isVisible());
    EXPECT_FALSE(dialog.iconLabel()->pixmap().isNull());
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("name"))->text(), "Glowdeck");
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("version"))->text(), "Version 1.2.3");

    QLabel* credits = dialog.creditsLabel();
    EXPECT_TRUE(credits->isVisible());
    EXPECT_TRUE(credits->openExternalLinks());
    EXPECT_TRUE(credits->alignment() & Qt::AlignHCenter);
    // What the label shows still holds the attributes and links of the credits.
    QTextDocument shown;
    shown.setHtml(credits->text());
    EXPECT_EQ(linesOf(shown).mid(0, 6), linesOf(*aboutPanelOptions().credits).mid(0, 6));
    EXPECT_EQ(linksIn(shown), linksIn(*aboutPanelOptions().credits));
    for (QTextBlock block = shown.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            EXPECT_DOUBLE_EQ(it.fragment().charFormat().font().pointSizeF(), 11.0);
        }
        if (!block.text().isEmpty()) {
            EXPECT_EQ(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        }
    }
}

TEST_F(AboutDialogTest, WithoutAnIconShowsNone) {
    AboutDialog dialog;
    AboutPanelOptions options = aboutPanelOptions();
    options.applicationIcon.reset();
    dialog.setOptions(options);
    dialog.present();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_FALSE(dialog.iconLabel()->isVisible());
    EXPECT_TRUE(dialog.creditsLabel()->isVisible());
}

TEST_F(AboutDialogTest, LinksOpenInTheBrowser) {
    BrowserStandIn browser;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &browser, "open");

    AboutDialog dialog;
    dialog.setOptions(aboutPanelOptions());
    dialog.present();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));

    // Tab moves from link to link inside the credits; Return follows the one in focus.
    QLabel* credits = dialog.creditsLabel();
    credits->setFocus(Qt::TabFocusReason);
    QTest::keyClick(credits, Qt::Key_Tab);
    QTest::keyClick(credits, Qt::Key_Return);
    QTest::keyClick(credits, Qt::Key_Tab);
    QTest::keyClick(credits, Qt::Key_Return);

    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    EXPECT_EQ(browser.opened, (QList<QUrl>{litraProjectUrl(), homepageUrl()}));
}

}  // namespace

#include "AboutPanelTest.moc"
