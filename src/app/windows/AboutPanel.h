#pragma once

#include <QCoreApplication>
#include <QIcon>
#include <QString>
#include <QTextDocument>
#include <QUrl>

#include <memory>
#include <optional>

// What the About dialog shows besides the application's name and version.
struct AboutPanelOptions {
    // Centred, in the system font at creditsPointSize, every web address a link.
    std::unique_ptr<QTextDocument> credits;
    // "AppIcon", else the application's window icon; none when neither can be had.
    std::optional<QIcon> applicationIcon;
};

inline constexpr double creditsPointSize = 11.0;

// The address of the litra tool's project page and of Glowdeck's own site, as configured at
// build time.
QUrl litraProjectUrl();
QUrl homepageUrl();

// Builds the options afresh on every call. `appIconSvg` is where "AppIcon" is read from.
AboutPanelOptions aboutPanelOptions(const QString& appIconSvg);
AboutPanelOptions aboutPanelOptions();

// Marks every web address in the text as a link to it: http:// and https:// addresses, and
// ones starting with "www." (taken as https). Punctuation that ends a sentence is left out.
void addLinks(QTextDocument& text);
