#include "ui/launch_probe.h"

#include <QEvent>
#include <QFile>
#include <QObject>
#include <QWidget>

#include <chrono>

namespace p95 {

namespace {

class FirstPaint : public QObject {
public:
    FirstPaint(QWidget& window, QString file) : QObject(&window), m_file(std::move(file)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            const qint64 ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
            QFile out(m_file);
            if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
                out.write(QByteArray::number(ns) + '\n');
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QString m_file;
};

} // namespace

void installLaunchProbe(QWidget& window) {
    const QString file = qEnvironmentVariable("P95_LAUNCH_PROBE");
    if (file.isEmpty())
        return;
    window.installEventFilter(new FirstPaint(window, file));
}

} // namespace p95
