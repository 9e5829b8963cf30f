#pragma once

#include "MenuEntries.h"

#include <QObject>

#include <memory>
#include <vector>

class QMenu;

// The tray icon's menu, kept in step with a list of entries. Items are updated in place when
// the layout stays the same (tray hosts that mirror the menu over D-Bus then see only what
// changed) and rebuilt when it does not.
class StatusMenu : public QObject {
    Q_OBJECT
public:
    explicit StatusMenu(QObject* parent = nullptr);
    ~StatusMenu() override;

    QMenu* menu() const { return menu_.get(); }
    // Shows the entries, touching only the items that differ from what it shows now.
    void setEntries(const std::vector<MenuEntry>& entries);

signals:
    void aboutToShow();
    // Sent from the event loop after the item was chosen, once the menu is done with it.
    void actionChosen(MenuAction action);
    // The same for a light's own item.
    void lightChosen(const QString& serial);

private:
    bool hasLayoutOf(const std::vector<MenuEntry>& entries) const;

    std::unique_ptr<QMenu> menu_;
    std::vector<MenuEntry> shown_;  // what the items show, entry by entry
};
