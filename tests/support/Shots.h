// What the screenshot programs and window tests share: a widget saved as
// NAME.png once its pending events are done, and a wait that keeps the
// event loop running.
#pragma once

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPalette>
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

// A dark desktop theme: Fusion with dark colours, as users set one.
inline void UseDarkPalette()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    QPalette dark;
    const QColor window(0x35, 0x35, 0x35), base(0x24, 0x24, 0x24), text(0xE6, 0xE6, 0xE6);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90));
    dark.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    QApplication::setPalette(dark);
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
