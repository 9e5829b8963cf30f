#include "StatusMenu.h"

#include "AppState.h"
#include "DisplayText.h"

#include <QAction>
#include <QMenu>

namespace {

MenuAction actionOf(const QAction* item) {
    return static_cast<MenuAction>(item->data().toInt());
}

// A lone "&" in an item's text would mark a mnemonic; status texts are shown as they are.
QString itemText(const QString& title) {
    return QString(title).replace(u'&', QStringLiteral("&&"));
}
constexpr const char* serialProperty = "glowdeckSerial";

void apply(QAction* item, const MenuEntry& entry) {
    item->setText(itemText(entry.title));
    item->setEnabled(entry.enabled);
    item->setCheckable(entry.checkable);
    item->setChecked(entry.checked);
    item->setProperty(serialProperty, entry.serial);
    item->setToolTip(entry.serial.isEmpty() ? QString() : displayable(entry.serial));
}

}  // namespace

StatusMenu::StatusMenu(QObject* parent) : QObject(parent), menu_(std::make_unique<QMenu>()) {
    menu_->setToolTipsVisible(true);
    connect(menu_.get(), &QMenu::aboutToShow, this, &StatusMenu::aboutToShow);
    connect(menu_.get(), &QMenu::triggered, this, [this](QAction* item) {
        const MenuAction action = actionOf(item);
        if (action == MenuAction::none) {
            return;
        }
        // The menu may be rebuilt by what the action does; let it finish with the item first.
        const QString serial = item->property(serialProperty).toString();
        QMetaObject::invokeMethod(
            this,
            [this, action, serial] {
                if (action == MenuAction::toggleLight) {
                    emit lightChosen(serial);
                } else {
                    emit actionChosen(action);
                }
            },
            Qt::QueuedConnection);
    });
}

StatusMenu::~StatusMenu() {
    // Removing the items first lets a menu exported over D-Bus free what it made for each;
    // destroyed with its items in place, it leaves those behind.
    menu_->clear();
}

bool StatusMenu::hasLayoutOf(const std::vector<MenuEntry>& entries) const {
    const QList<QAction*> items = menu_->actions();
    if (items.size() != static_cast<qsizetype>(entries.size())) {
        return false;
    }
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i]->isSeparator() != entries[i].separator ||
            actionOf(items[i]) != entries[i].action) {
            return false;
        }
    }
    return true;
}

void StatusMenu::setEntries(const std::vector<MenuEntry>& entries) {
    // A refresh assigns several fields, each a call here; the same entries change nothing.
    if (entries == shown_) {
        return;
    }
    if (hasLayoutOf(entries)) {
        // Only the items that change: each change is an event to the menu and its exports.
        const QList<QAction*> items = menu_->actions();
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (!entries[i].separator && !(entries[i] == shown_[i])) {
                apply(items[i], entries[i]);
            }
        }
        shown_ = entries;
        return;
    }
    shown_ = entries;
    menu_->clear();
    for (const MenuEntry& entry : entries) {
        if (entry.separator) {
            menu_->addSeparator();
            continue;
        }
        QAction* item = menu_->addAction(QString());
        item->setData(static_cast<int>(entry.action));
        apply(item, entry);
    }
}

