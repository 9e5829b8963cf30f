// A burst of light calls on the running Glowdeck, as a held-down hotkey or a runaway script
// makes one: sends `count` calls of `method` without waiting, then waits for every answer and
// prints how many succeeded, how many were refused and when the last answer came.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

namespace {

class Burst : public QObject {
    Q_OBJECT
public:
    Burst(int count, QString method) : count_(count), method_(std::move(method)) {}

    void send() {
        clock_.start();
        // A line every ten seconds, so that a burst cut short still tells how far it got.
        connect(&progress_, &QTimer::timeout, this, [this] {
            std::printf("after %.0f s: %d answered, %d refused\n", double(clock_.elapsed()) / 1000.0,
                        ok_, failed_);
            std::fflush(stdout);
        });
        progress_.start(10'000);
        QDBusConnection bus = QDBusConnection::sessionBus();
        for (int i = 0; i < count_; ++i) {
            QDBusMessage call = QDBusMessage::createMethodCall(
                QStringLiteral("org.glowdeck.Glowdeck"), QStringLiteral("/org/glowdeck/Glowdeck"),
                QStringLiteral("org.glowdeck.Glowdeck"), method_);
            if (method_ == QLatin1String("SetBrightness")) {
                call << 1 + i % 100;
            }
            call << QString();
            bus.callWithCallback(call, this, SLOT(answered()), SLOT(refused(QDBusError)),
                                 answerTimeoutMs);
        }
    }

private slots:
    void answered() { count(ok_); }
    void refused(const QDBusError& error) {
        if (failed_ == 0) {
            std::printf("first error: %s: %s\n", qPrintable(error.name()),
                        qPrintable(error.message()));
        }
        count(failed_);
    }

private:
    static constexpr int answerTimeoutMs = 600'000;

    void count(int& tally) {
        ++tally;
        if (ok_ + failed_ == count_) {
            std::printf("%d calls: %d answered, %d refused; last answer after %.1f s\n", count_,
                        ok_, failed_, double(clock_.elapsed()) / 1000.0);
            QCoreApplication::quit();
        }
    }

    int count_;
    QString method_;
    int ok_ = 0;
    int failed_ = 0;
    QElapsedTimer clock_;
    QTimer progress_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    Burst burst(args.value(1, QStringLiteral("10000")).toInt(),
                args.value(2, QStringLiteral("Toggle")));
    QTimer::singleShot(0, &burst, &Burst::send);
    return app.exec();
}

#include "main.moc"
