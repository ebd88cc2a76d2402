// The whole start-up and shut-down: dtutool --simulate comes up, the port to
// the simulated DTU is opened on the settings page, pages are put on screen,
// and closing the main window ends the run cleanly with all of it open.
// --fast holds for that run only: the settings file does not keep it.
// Exits 0 on success; a hang is caught by the test's time-out.
#include "driver/serial/BufferedPort.h"
#include "dtutool/app/Startup.h"
#include "ui/app/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

bool g_opened = false;

void Drive()
{
    QTimer::singleShot(200, [] {
        MainWindow* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* main = qobject_cast<MainWindow*>(w))
                window = main;
        if (!window) {
            std::fprintf(stderr, "no main window\n");
            std::_Exit(2);
        }
        window->findChild<QAction*>(QStringLiteral("settingsToolbarAction"))->trigger();
        window->settingsPage()->findChild<QPushButton*>(QStringLiteral("openButton"))->click();
        g_opened = g_Serial.IsOpen();
        window->findChild<QAction*>(QStringLiteral("dtuToolbarAction"))->trigger();
        window->findChild<QAction*>(QStringLiteral("tcpToolbarAction"))->trigger();
        window->close();
    });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Drive)

int main(int argc, char* argv[])
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    char simulate[] = "--simulate";
    char fast[] = "--fast";
    char* args[] = {argv[0], simulate, fast, nullptr};
    (void)argc;
    const int code = Startup::Run(3, args);
    if (!g_opened) {
        std::fprintf(stderr, "the simulated DTU's port did not open\n");
        return 3;
    }
    if (QSettings(config.filePath(QStringLiteral("dtutool/dtutool.conf")), QSettings::IniFormat)
            .value(QStringLiteral("fastReplies"), false)
            .toBool()) {
        std::fprintf(stderr, "--fast was remembered for the next run\n");
        return 5;
    }
    return code == 0 && !g_Serial.IsOpen() ? 0 : 4;
}
