// Renders the main window and the pages to PNG files, to look at them as a
// user would. scripts/screenshots.sh runs it under Xvfb.
// Usage: ui_screenshots OUTPUT_DIR
#include "core/dtu/Rf.h"
#include "driver/serial/BufferedPort.h"
#include "dtu-sim/sim/Device.h"
#include "dtu-sim/sim/SimulatedDtu.h"
#include "tests/support/Shots.h"
#include "ui/app/AboutDialog.h"
#include "ui/app/LoginDialog.h"
#include "ui/app/MainWindow.h"
#include "ui/common/Language.h"
#include "ui/dtu/DtuPage.h"
#include "ui/dtu/RfDialog.h"
#include "ui/monitor/MonitorWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QStyle>
#include <QThread>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QDir dir = TitledShotsFolder(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral("screenshot"));

    sim::SimulatedDtu dtu({});
    dtu.Start();
    const QString path = QString::fromStdString(dtu.TerminalPath());
    {
        MainWindow window([path] { return QStringList{path, QStringLiteral("/dev/ttyUSB0")}; });
        window.show();
        SaveShot(&window, dir, QStringLiteral("main-window"));

        window.findChild<QAction*>(QStringLiteral("settingsToolbarAction"))->trigger();
        SaveShot(window.settingsPage(), dir, QStringLiteral("settings-closed"));
        window.settingsPage()->findChild<QWidget*>(QStringLiteral("openButton"))->setFocus();
        QMetaObject::invokeMethod(window.settingsPage()->findChild<QObject*>(QStringLiteral("openButton")), "click");
        SaveShot(window.settingsPage(), dir, QStringLiteral("settings-open"));

        window.findChild<QAction*>(QStringLiteral("dtuToolbarAction"))->trigger();
        DtuPage* page = window.dtuPage();
        QMetaObject::invokeMethod(page->findChild<QObject*>(QStringLiteral("readNetButton")), "click");
        // Long enough for the simulated DTU's answer to complete.
        for (int i = 0; i < 10; ++i) {
            QApplication::processEvents();
            QThread::msleep(100);
        }
        SaveShot(page, dir, QStringLiteral("dtu-page"));
        QMetaObject::invokeMethod(page->findChild<QObject*>(QStringLiteral("wirelessButton")), "click");
        SaveShot(page->rfDialog(), dir, QStringLiteral("dtu-wireless"));
        page->rfDialog()->hide();

        // A whole read under way, then a whole write whose last read-back finds
        // the wireless power changed behind the page's back.
        QMetaObject::invokeMethod(page->findChild<QObject*>(QStringLiteral("readAllButton")), "click");
        RunUntil([&] { return page->paneText(1).startsWith(QStringLiteral("读取 4/")); });
        SaveShot(page, dir, QStringLiteral("dtu-read-all"));
        RunUntil([&] { return !page->running(); });
        // The wireless address and power, changed behind the page's back.
        const auto writeAll = [&](const QString& name, const char* address, int power) {
            QMetaObject::invokeMethod(page->findChild<QObject*>(QStringLiteral("writeAllButton")), "click");
            // The next to last step: the packets' read-back, before the wireless one.
            RunUntil([&] {
                const QStringList done = page->paneText(1).mid(3).remove(QStringLiteral(" …")).split(u'/');
                return !page->running() || (done.size() == 2 && done[0].toInt() + 1 == done[1].toInt());
            });
            dtu.WithDevice([=](sim::Device& d) { d.Handle(dtu::BuildWriteRf({"434", 0, 4, address, power}), 0); });
            RunUntil([&] { return !page->running(); });
            if (auto* report = page->findChild<QDialog*>(QStringLiteral("writeReport")))
                SaveShot(report, dir, name);
        };
        writeAll(QStringLiteral("dtu-write-report"), "7", 1);
        // Under a dark theme the differences stay readable.
        const QPalette light = QApplication::palette();
        const QString style = QApplication::style()->name();
        UseDarkPalette();
        writeAll(QStringLiteral("dtu-write-report-dark"), "9", 3);
        QApplication::setStyle(style);
        QApplication::setPalette(light);

        LoginDialog login(&window);
        login.show();
        SaveShot(&login, dir, QStringLiteral("login"));
        AboutDialog about(&window);
        about.show();
        SaveShot(&about, dir, QStringLiteral("about"));
    }

    // The main window, the DTU page and the line monitor in English, beside
    // the Chinese ones: English captions are longer. A window of its own,
    // so that the answers reach its pages.
    ui::InstallLanguage(ui::Language::English);
    QApplication::setApplicationDisplayName(QCoreApplication::translate("Startup", "DTU参数配置工具"));
    MainWindow english([path] { return QStringList{path, QStringLiteral("/dev/ttyUSB0")}; });
    english.show();
    SaveShot(&english, dir, QStringLiteral("main-window-en"));
    english.findChild<QAction*>(QStringLiteral("settingsToolbarAction"))->trigger();
    if (!g_Serial.IsOpen())
        QMetaObject::invokeMethod(english.settingsPage()->findChild<QObject*>(QStringLiteral("openButton")), "click");
    english.settingsPage()->hide();
    english.findChild<QAction*>(QStringLiteral("monitorToolbarAction"))->trigger();
    english.findChild<QAction*>(QStringLiteral("dtuToolbarAction"))->trigger();
    DtuPage* englishPage = english.dtuPage();
    for (const char* button : {"readNetButton", "readVersionButton"}) {
        QMetaObject::invokeMethod(englishPage->findChild<QObject*>(QLatin1String(button)), "click");
        for (int i = 0; i < 10; ++i) {
            QApplication::processEvents();
            QThread::msleep(100);
        }
    }
    SaveShot(englishPage, dir, QStringLiteral("dtu-page-en"));
    SaveShot(english.monitor(), dir, QStringLiteral("line-monitor-en"));
    return 0;
}
