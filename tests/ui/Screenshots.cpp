// Renders the main window and the pages to PNG files, to look at them as a
// user would. scripts/screenshots.sh runs it under Xvfb.
// Usage: ui_screenshots OUTPUT_DIR
#include "app/AboutDlg.h"
#include "app/Dialog_Login.h"
#include "app/TavrinDlg.h"
#include "dtu/Dialog_Rf_Setup.h"
#include "dtu/DtuDlg.h"
#include "sim/SimulatedDtu.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QThread>
#include <QTimer>

namespace {

void Save(QWidget* w, const QDir& dir, const QString& name)
{
    QApplication::processEvents();
    w->grab().save(dir.filePath(name + QStringLiteral(".png")));
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("DTU参数配置工具"));
    QApplication::setApplicationVersion(QStringLiteral("screenshot"));
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QDir().mkpath(dir.absolutePath());

    sim::SimulatedDtu dtu({});
    dtu.Start();
    const QString path = QString::fromStdString(dtu.TerminalPath());
    CTavrinDlg window([path] { return QStringList{path, QStringLiteral("/dev/ttyUSB0")}; });
    window.show();
    Save(&window, dir, QStringLiteral("main-window"));

    window.findChild<QAction*>(QStringLiteral("action1004"))->trigger();
    Save(window.uartPage(), dir, QStringLiteral("settings-closed"));
    window.uartPage()->findChild<QWidget*>(QStringLiteral("openButton"))->setFocus();
    QMetaObject::invokeMethod(window.uartPage()->findChild<QObject*>(QStringLiteral("openButton")), "click");
    Save(window.uartPage(), dir, QStringLiteral("settings-open"));

    window.findChild<QAction*>(QStringLiteral("action1005"))->trigger();
    CDtuDlg* page = window.dtuPage();
    QMetaObject::invokeMethod(page->findChild<QObject*>(QStringLiteral("readNetButton")), "click");
    // Long enough for the simulated DTU's answer to complete.
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QThread::msleep(100);
    }
    Save(page, dir, QStringLiteral("dtu-page"));
    QMetaObject::invokeMethod(page->findChild<QObject*>(QStringLiteral("wirelessButton")), "click");
    Save(page->rfDialog(), dir, QStringLiteral("dtu-wireless"));

    CDialog_Login login(&window);
    login.show();
    Save(&login, dir, QStringLiteral("login"));
    CAboutDlg about(&window);
    about.show();
    Save(&about, dir, QStringLiteral("about"));
    return 0;
}
