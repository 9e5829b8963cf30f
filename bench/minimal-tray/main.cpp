// The floor for a tray program: one icon, one menu, no work. Glowdeck's start-up, idle CPU and
// memory are measured against it.

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::black);
        painter.drawEllipse(QRectF(4, 2, 14, 14));
        painter.drawRect(QRectF(8, 16, 6, 4));
    }

    QMenu menu;
    menu.addAction(QStringLiteral("Quit"), &app, &QApplication::quit);
    QSystemTrayIcon tray{QIcon(pixmap)};
    tray.setContextMenu(&menu);
    tray.setToolTip(QStringLiteral("Minimal tray"));
    tray.show();
    return app.exec();
}
