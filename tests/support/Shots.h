// What the screenshot programs and window tests share: a widget saved as
// NAME.png once its pending events are done, and a wait that keeps the
// event loop running.
#pragma once

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>

// The folder the pictures go to: the program's first argument, else this
// one; made if missing.
inline QDir ShotsFolder(int argc, char* argv[])
{
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QDir().mkpath(dir.absolutePath());
    return dir;
}

// The same, for pictures whose windows carry the tool's name in their
// titles as on a user's desktop.
inline QDir TitledShotsFolder(int argc, char* argv[])
{
    QApplication::setApplicationDisplayName(QStringLiteral("DTU参数配置工具"));
    return ShotsFolder(argc, argv);
}

inline void SaveShot(QWidget* w, const QDir& dir, const QString& name)
{
    QApplication::processEvents();
    w->grab().save(dir.filePath(name + QStringLiteral(".png")));
}

// Runs the event loop until `done` holds or `timeoutMs` has passed; whether
// it holds.
inline bool RunUntil(const std::function<bool()>& done, int timeoutMs = 10000)
{
    // Wakes the wait below when nothing else happens.
    QTimer tick;
    tick.start(20);
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}
