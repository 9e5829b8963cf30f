#include "AboutPanel.h"

#include "AppIcon.h"

#include <QApplication>
#include <QFontDatabase>
#include <QRegularExpression>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

namespace {

// Characters that end a sentence rather than an address when they come last.
const QString trailingPunctuation = QStringLiteral(".,;:!?'\"");

// Drops a closing bracket at the end unless the address opened it, as in a wiki address.
qsizetype trimmedLength(const QString& candidate) {
    qsizetype length = candidate.size();
    while (length > 0) {
        const QChar last = candidate.at(length - 1);
        if (trailingPunctuation.contains(last)) {
            --length;
            continue;
        }
        if (last == QLatin1Char(')')) {
            const QStringView head = QStringView(candidate).first(length);
            if (head.count(QLatin1Char('(')) < head.count(QLatin1Char(')'))) {
                --length;
                continue;
            }
        }
        break;
    }
    return length;
}

std::optional<QUrl> urlOf(const QString& address) {
    QString withScheme = address;
    if (address.startsWith(QLatin1String("www."), Qt::CaseInsensitive)) {
        withScheme.prepend(QStringLiteral("https://"));
    }
    QUrl url(withScheme, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        return std::nullopt;
    }
    return url;
}

// The six lines of the credits, each ended by a newline.
QString creditsText() {
    return QCoreApplication::translate("AboutPanel", "Toggle your Litras!") + QLatin1Char('\n') +
           QLatin1Char('\n') +
           QCoreApplication::translate("AboutPanel",
                                       "Glowdeck is built on the litra command-line tool.") +
           QLatin1Char('\n') + litraProjectUrl().toString() + QLatin1Char('\n') +
           QLatin1Char('\n') + homepageUrl().toString() + QLatin1Char('\n');
}

}  // namespace

QUrl litraProjectUrl() {
    return QUrl(QStringLiteral(GLOWDECK_LITRA_PROJECT_URL));
}

QUrl homepageUrl() {
    return QUrl(QStringLiteral(GLOWDECK_HOMEPAGE_URL));
}

AboutPanelOptions aboutPanelOptions(const QString& appIconSvg) {
    AboutPanelOptions options;

    auto credits = std::make_unique<QTextDocument>();
    credits->setPlainText(creditsText());
    QTextCursor whole(credits.get());
    whole.select(QTextCursor::Document);
    QTextCharFormat font;
    QFont systemFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    systemFont.setPointSizeF(creditsPointSize);
    font.setFont(systemFont);
    whole.mergeCharFormat(font);
    // Empty lines have no text to carry the font; their height follows the block's own format.
    whole.mergeBlockCharFormat(font);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    whole.mergeBlockFormat(centred);
    addLinks(*credits);
    options.credits = std::move(credits);

    QIcon icon = loadAppIcon(appIconSvg);
    if (icon.isNull()) {
        icon = QApplication::windowIcon();
    }
    if (!icon.isNull()) {
        options.applicationIcon = icon;
    }
    return options;
}

AboutPanelOptions aboutPanelOptions() {
    return aboutPanelOptions(QLatin1String(appIconPath));
}

void addLinks(QTextDocument& text) {
    static const QRegularExpression address(
        QStringLiteral(R"((?<![\w@.])(?:https?://|www\.)[^\s<>"]+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QString plain = text.toPlainText();
    QRegularExpressionMatchIterator matches = address.globalMatch(plain);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        const QString candidate = match.captured(0).left(trimmedLength(match.captured(0)));
        const std::optional<QUrl> url = urlOf(candidate);
        if (!url) {
            continue;
        }
        QTextCursor cursor(&text);
        cursor.setPosition(static_cast<int>(match.capturedStart(0)));
        cursor.setPosition(static_cast<int>(match.capturedStart(0) + candidate.size()),
                           QTextCursor::KeepAnchor);
        QTextCharFormat link;
        link.setAnchor(true);
        link.setAnchorHref(url->toString(QUrl::FullyEncoded));
        cursor.mergeCharFormat(link);
    }
}
