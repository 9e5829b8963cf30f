#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QIcon>
#include <QList>
#include <QMetaType>
#include <QPointer>
#include <QString>

class QSystemTrayIcon;

// An icon as a StatusNotifierItem carries it: ARGB32 pixels in network byte order.
struct ItemPixmap {
    int width = 0;
    int height = 0;
    QByteArray pixels;
};
using ItemPixmaps = QList<ItemPixmap>;

struct ItemToolTip {
    QString iconName;
    ItemPixmaps pixmaps;
    QString title;
    QString text;
};

Q_DECLARE_METATYPE(ItemPixmap)
Q_DECLARE_METATYPE(ItemToolTip)

class ItemExport;

// Glowdeck's org.kde.StatusNotifierItem interface.
class ItemAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ iconThemePath)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(ItemPixmaps IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ noName)
    Q_PROPERTY(ItemPixmaps OverlayIconPixmap READ noPixmap)
    Q_PROPERTY(QString AttentionIconName READ noName)
    Q_PROPERTY(ItemPixmaps AttentionIconPixmap READ noPixmap)
    Q_PROPERTY(QString AttentionMovieName READ noName)
    Q_PROPERTY(ItemToolTip ToolTip READ toolTip)
public:
    explicit ItemAdaptor(ItemExport* item);

    QString category() const;
    QString id() const;
    QString title() const;
    QString status() const;
    int windowId() const { return 0; }
    QString iconThemePath() const;
    QDBusObjectPath menu() const;
    bool itemIsMenu() const;
    QString iconName() const;
    ItemPixmaps iconPixmap() const;
    QString noName() const { return {}; }
    ItemPixmaps noPixmap() const { return {}; }
    ItemToolTip toolTip() const;

public slots:
    void ContextMenu(int x, int y);
    void Activate(int x, int y);
    void SecondaryActivate(int x, int y);
    void Scroll(int delta, const QString& orientation);
    void ProvideXdgActivationToken(const QString& token);

signals:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewMenu();
    void NewToolTip();
    void NewStatus(const QString& status);

private:
    ItemExport* item_;
};

// Qt exports a tray icon as a StatusNotifierItem without the wheel: its Scroll does nothing.
// This takes the item Qt registered off its bus connection and registers Glowdeck's own in
// its place, on the same connection and under the same name, so that Qt still registers it with
// the watcher and exports the menu; clicks and the menu go to Qt's item as before. The icon and
// tool tip are Glowdeck's own, with the title, category and icon theme path Qt does not send.
class ItemExport : public QObject {
    Q_OBJECT
public:
    // `iconThemePath`: where hosts find the symbolic icons that `setIcon`'s icons name.
    ItemExport(QSystemTrayIcon* tray, QString iconThemePath);
    ~ItemExport() override;

    // Puts Glowdeck's item in place of Qt's, again after Qt registered its own anew (an icon
    // shown again); false while Qt's icon is not a StatusNotifierItem (an XEmbed tray).
    bool adopt();
    void setIcon(const QIcon& icon);
    void setToolTip(const QString& text);

    QObject* qtItem() const { return qtItem_; }
    const QString& iconThemePath() const { return iconThemePath_; }
    const QIcon& icon() const { return icon_; }
    const QString& toolTip() const { return toolTip_; }

signals:
    void scrolled(int delta, const QString& orientation);

private:
    QString connectionName_;
    QPointer<QObject> qtItem_;
    QString iconThemePath_;
    QIcon icon_;
    QString toolTip_;
    ItemAdaptor* adaptor_;
};

// The folder of icon themes beside the program (build tree) or in its prefix that holds
// Glowdeck's symbolic icons; empty when there is none.
QString glowdeckIconThemePath();
