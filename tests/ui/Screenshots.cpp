// Renders the main window and the pages to PNG files, to look at them as a
// user would. scripts/screenshots.sh runs it under Xvfb.
// Usage: ui_screenshots OUTPUT_DIR
#include "app/AboutDlg.h"
#include "app/Dialog_Login.h"
#include "app/TavrinDlg.h"
#include "common/Language.h"
#include "dtu/Dialog_Rf_Setup.h"
#include "dtu/DtuDlg.h"
#include "dtu/Rf.h"
#include "monitor/MonitorDlg.h"
#include "serial/KVSerial.h"
#include "sim/Device.h"
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

template <class Condition>
bool Until(Condition condition, int ms = 10000)
{
    for (int waited = 0; !condition(); waited += 20) {
        if (waited >= ms)
            return false;
        QApplication::processEvents();
        QThread::msleep(20);
    }
    return true;
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
    {
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
        page->rfDialog()->hide();

        // A whole read under way, then a whole write whose last read-back finds
        // the wireless power changed behind the page's back.
        QMetaObject::invokeMethod(page->findChild<QObject*>(QStringLiteral("readAllButton")), "click");
        Until([&] { return page->paneText(1).startsWith(QStringLiteral("读取 4/")); });
        Save(page, dir, QStringLiteral("dtu-read-all"));
        Until([&] { return !page->running(); });
        QMetaObject::invokeMethod(page->findChild<QObject*>(QStringLiteral("writeAllButton")), "click");
        // The next to last step: the packets' read-back, before the wireless one.
        Until([&] {
            const QStringList done = page->paneText(1).mid(3).remove(QStringLiteral(" …")).split(u'/');
            return !page->running() || (done.size() == 2 && done[0].toInt() + 1 == done[1].toInt());
        });
        dtu.WithDevice([](sim::Device& d) { d.Handle(dtu::BuildWriteRf({"434", 0, 4, "7", 1}), 0); });
        Until([&] { return !page->running(); });
        if (auto* report = page->findChild<QDialog*>(QStringLiteral("writeReport")))
            Save(report, dir, QStringLiteral("dtu-write-report"));

        CDialog_Login login(&window);
        login.show();
        Save(&login, dir, QStringLiteral("login"));
        CAboutDlg about(&window);
        about.show();
        Save(&about, dir, QStringLiteral("about"));
    }

    // The main window, the DTU page and the line monitor in English, beside
    // the Chinese ones: English captions are longer. A window of its own,
    // so that the answers reach its pages.
    ui::InstallLanguage(ui::Language::English);
    QApplication::setApplicationDisplayName(QCoreApplication::translate("CTavrinApp", "DTU参数配置工具"));
    CTavrinDlg english([path] { return QStringList{path, QStringLiteral("/dev/ttyUSB0")}; });
    english.show();
    Save(&english, dir, QStringLiteral("main-window-en"));
    english.findChild<QAction*>(QStringLiteral("action1004"))->trigger();
    if (!g_Serial.IsOpen())
        QMetaObject::invokeMethod(english.uartPage()->findChild<QObject*>(QStringLiteral("openButton")), "click");
    english.uartPage()->hide();
    english.findChild<QAction*>(QStringLiteral("action1013"))->trigger();
    english.findChild<QAction*>(QStringLiteral("action1005"))->trigger();
    CDtuDlg* englishPage = english.dtuPage();
    for (const char* button : {"readNetButton", "readVersionButton"}) {
        QMetaObject::invokeMethod(englishPage->findChild<QObject*>(QLatin1String(button)), "click");
        for (int i = 0; i < 10; ++i) {
            QApplication::processEvents();
            QThread::msleep(100);
        }
    }
    Save(englishPage, dir, QStringLiteral("dtu-page-en"));
    Save(english.monitor(), dir, QStringLiteral("line-monitor-en"));
    return 0;
}
