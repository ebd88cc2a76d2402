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
