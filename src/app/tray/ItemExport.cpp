#include "ItemExport.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMetaClassInfo>
#include <QSystemTrayIcon>
#include <QtEndian>

namespace {

const QString itemPath = QStringLiteral("/StatusNotifierItem");
constexpr const char* itemInterface = "org.kde.StatusNotifierItem";
// Qt names the bus connection of its n-th tray icon after the item's service name.
constexpr int trayIconsLooked = 32;

QObject* itemAdaptorOf(QObject* item) {
    if (!item) {
        return nullptr;
    }
    for (QObject* child : item->children()) {
        const QMetaObject* meta = child->metaObject();
        const int info = meta->indexOfClassInfo("D-Bus Interface");
        if (info >= 0 && qstrcmp(meta->classInfo(info).value(), itemInterface) == 0) {
            return child;
        }
    }
    return nullptr;
}

ItemPixmaps pixmapsOf(const QIcon& icon) {
    ItemPixmaps pixmaps;
    for (const QSize size : icon.availableSizes()) {
        QImage image = icon.pixmap(size, 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        QByteArray pixels(static_cast<qsizetype>(image.sizeInBytes()), Qt::Uninitialized);
        auto* out = reinterpret_cast<quint32*>(pixels.data());
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                *out++ = qToBigEndian(line[x]);
            }
        }
        pixmaps.append({image.width(), image.height(), pixels});
    }
    return pixmaps;
}

}  // namespace

QDBusArgument& operator<<(QDBusArgument& out, const ItemPixmap& pixmap) {
    out.beginStructure();
    out << pixmap.width << pixmap.height << pixmap.pixels;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, ItemPixmap& pixmap) {
    in.beginStructure();
    in >> pixmap.width >> pixmap.height >> pixmap.pixels;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const ItemToolTip& tip) {
    out.beginStructure();
    out << tip.iconName << tip.pixmaps << tip.title << tip.text;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, ItemToolTip& tip) {
    in.beginStructure();
    in >> tip.iconName >> tip.pixmaps >> tip.title >> tip.text;
    in.endStructure();
    return in;
}

ItemAdaptor::ItemAdaptor(ItemExport* item) : QDBusAbstractAdaptor(item), item_(item) {}

QString ItemAdaptor::category() const {
    return QStringLiteral("Hardware");
}

QString ItemAdaptor::id() const {
    QObject* qt = itemAdaptorOf(item_->qtItem());
    return qt ? qt->property("Id").toString() : QCoreApplication::applicationName();
}

QString ItemAdaptor::title() const {
    return QGuiApplication::applicationDisplayName();
}

QString ItemAdaptor::status() const {
    QObject* qt = itemAdaptorOf(item_->qtItem());
    return qt ? qt->property("Status").toString() : QStringLiteral("Active");
}

QString ItemAdaptor::iconThemePath() const {
    return item_->iconThemePath();
}

QDBusObjectPath ItemAdaptor::menu() const {
    QObject* qt = itemAdaptorOf(item_->qtItem());
    return qt ? qt->property("Menu").value<QDBusObjectPath>() : QDBusObjectPath(QStringLiteral("/"));
}

bool ItemAdaptor::itemIsMenu() const {
    QObject* qt = itemAdaptorOf(item_->qtItem());
    return qt && qt->property("ItemIsMenu").toBool();
}

QString ItemAdaptor::iconName() const {
    return item_->icon().name();
}

ItemPixmaps ItemAdaptor::iconPixmap() const {
    return pixmapsOf(item_->icon());
}

ItemToolTip ItemAdaptor::toolTip() const {
    return {{}, {}, title(), item_->toolTip()};
}

// Clicks and the menu are Qt's: its item turns them into QSystemTrayIcon::activated.
void ItemAdaptor::ContextMenu(int x, int y) {
    QMetaObject::invokeMethod(itemAdaptorOf(item_->qtItem()), "ContextMenu", Q_ARG(int, x),
                              Q_ARG(int, y));
}

void ItemAdaptor::Activate(int x, int y) {
    QMetaObject::invokeMethod(itemAdaptorOf(item_->qtItem()), "Activate", Q_ARG(int, x),
                              Q_ARG(int, y));
}

void ItemAdaptor::SecondaryActivate(int x, int y) {
    QMetaObject::invokeMethod(itemAdaptorOf(item_->qtItem()), "SecondaryActivate",
                              Q_ARG(int, x), Q_ARG(int, y));
}

void ItemAdaptor::Scroll(int delta, const QString& orientation) {
    emit item_->scrolled(delta, orientation);
}

void ItemAdaptor::ProvideXdgActivationToken(const QString& token) {
    if (QObject* qt = itemAdaptorOf(item_->qtItem());
        qt && qt->metaObject()->indexOfMethod("ProvideXdgActivationToken(QString)") >= 0) {
        QMetaObject::invokeMethod(qt, "ProvideXdgActivationToken", Q_ARG(QString, token));
    }
}

ItemExport::ItemExport(QSystemTrayIcon* tray, QString iconThemePath)
    : QObject(tray), iconThemePath_(std::move(iconThemePath)), adaptor_(new ItemAdaptor(this)) {
    qDBusRegisterMetaType<ItemPixmap>();
    qDBusRegisterMetaType<ItemPixmaps>();
    qDBusRegisterMetaType<ItemToolTip>();
}

ItemExport::~ItemExport() {
    if (!connectionName_.isEmpty()) {
        QDBusConnection(connectionName_).unregisterObject(itemPath);
    }
}

bool ItemExport::adopt() {
    const QString prefix =
        QStringLiteral("org.kde.StatusNotifierItem-%1-").arg(QCoreApplication::applicationPid());
    for (int n = trayIconsLooked; n >= 1; --n) {
        QDBusConnection bus(prefix + QString::number(n));
        if (!bus.isConnected()) {
            continue;
        }
        QObject* registered = bus.objectRegisteredAt(itemPath);
        if (registered == this) {
            return true;
        }
        if (!itemAdaptorOf(registered)) {
            continue;
        }
        bus.unregisterObject(itemPath);
        if (!bus.registerObject(itemPath, this, QDBusConnection::ExportAdaptors)) {
            // Qt's item stays: the icon works, without the wheel.
            bus.registerObject(itemPath, registered);
            return false;
        }
        connectionName_ = bus.name();
        qtItem_ = registered;
        QObject* qt = itemAdaptorOf(registered);
        connect(qt, SIGNAL(NewMenu()), adaptor_, SIGNAL(NewMenu()), Qt::UniqueConnection);
        connect(qt, SIGNAL(NewStatus(QString)), adaptor_, SIGNAL(NewStatus(QString)),
                Qt::UniqueConnection);
        return true;
    }
    return false;
}

// Signals go out once the item is on the bus: relaying one works out its D-Bus signature, a
// cost not worth paying for an XEmbed tray.
void ItemExport::setIcon(const QIcon& icon) {
    icon_ = icon;
    if (!connectionName_.isEmpty()) {
        emit adaptor_->NewIcon();
    }
}

void ItemExport::setToolTip(const QString& text) {
    toolTip_ = text;
    if (!connectionName_.isEmpty()) {
        emit adaptor_->NewToolTip();
    }
}

QString glowdeckIconThemePath() {
    const QDir programDir(QCoreApplication::applicationDirPath());
    // bin/ beside share/, in the build tree and in an install.
    const QString path = QDir::cleanPath(programDir.filePath(QStringLiteral("../share/icons")));
    return QFileInfo::exists(path + QStringLiteral("/hicolor/symbolic/apps")) ? path : QString();
}
