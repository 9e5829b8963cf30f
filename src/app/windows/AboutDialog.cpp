#include "AboutDialog.h"

#include "AboutPanel.h"
#include "BringToFront.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

// A window of its own rather than a dialog: a parentless dialog is kept above every Glowdeck
// window (transient for the application), so Preferences opened after it stayed behind it.
AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      icon_(new QLabel(this)),
      name_(new QLabel(this)),
      version_(new QLabel(this)),
      credits_(new QLabel(this)) {
    setWindowTitle(tr("About %1").arg(QGuiApplication::applicationDisplayName()));

    icon_->setObjectName(QStringLiteral("icon"));
    icon_->setAlignment(Qt::AlignCenter);
    icon_->setFixedSize(iconSize, iconSize);

    name_->setObjectName(QStringLiteral("name"));
    name_->setAlignment(Qt::AlignCenter);
    QFont nameFont = name_->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.3);
    name_->setFont(nameFont);

    version_->setObjectName(QStringLiteral("version"));
    version_->setAlignment(Qt::AlignCenter);

    credits_->setObjectName(QStringLiteral("credits"));
    credits_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    credits_->setTextFormat(Qt::RichText);
    credits_->setTextInteractionFlags(Qt::TextBrowserInteraction);
    // Links go to the desktop's default browser.
    credits_->setOpenExternalLinks(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 16);
    layout->setSpacing(6);
    layout->addWidget(icon_, 0, Qt::AlignHCenter);
    layout->addSpacing(6);
    layout->addWidget(name_);
    layout->addWidget(version_);
    layout->addSpacing(10);
    layout->addWidget(credits_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutDialog::setOptions(const AboutPanelOptions& options) {
    name_->setText(QGuiApplication::applicationDisplayName());
    const QString version = QCoreApplication::applicationVersion();
    version_->setText(version.isEmpty() ? QString() : tr("Version %1").arg(version));
    version_->setVisible(!version.isEmpty());

    if (options.applicationIcon) {
        icon_->setPixmap(
            options.applicationIcon->pixmap(QSize(iconSize, iconSize), devicePixelRatioF()));
        icon_->show();
    } else {
        icon_->clear();
        icon_->hide();
    }

    credits_->setText(options.credits ? options.credits->toHtml() : QString());
}

void AboutDialog::present() {
    bringToFront(this);
}
