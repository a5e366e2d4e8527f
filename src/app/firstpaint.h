#pragma once
// What a start-up measured or checked does at its first paint: print the wall-clock time
// (nanoseconds since the epoch, to compare with the time the script started the process) and the
// peak memory of the process so far (VmHWM, kB), then quit. The same code for the program (with
// KIRUNE_EXIT_AFTER_FIRST_PAINT set), the start-up bench's programs and the bare window, so all
// are measured the same way.

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace kirune {

inline long long PeakMemoryKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Reports once the first paint event of `watched` has been handled (the rest of that paint
// pass and the flush to the screen come first: the report waits for the event loop's next turn).
class FirstPaintReporter : public QObject {
public:
    explicit FirstPaintReporter(QWidget* watched) : QObject(watched) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            object->removeEventFilter(this);
            QWidget* window = static_cast<QWidget*>(object)->window();
            QTimer::singleShot(0, [window] {
                // For a look at what was painted: KIRUNE_SCREENSHOT_FILE=shot.png.
                const QString shot = qEnvironmentVariable("KIRUNE_SCREENSHOT_FILE");
                if (!shot.isEmpty())
                    window->grab().save(shot);
                timespec now{};
                clock_gettime(CLOCK_REALTIME, &now);
                std::printf("first-paint %lld %lld\n",
                            static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                            PeakMemoryKb());
                std::fflush(stdout);
                QApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool seen_ = false;
};

} // namespace kirune
