// Renders the line monitor beside a configuration session and during a
// firmware upgrade, both against the simulated DTU. scripts/screenshots.sh
// runs it under Xvfb.
// Usage: monitor_screenshots OUTPUT_DIR
#include "tests/upgrade/PageHarness.h"

#include "driver/serial/BufferedPort.h"
#include "dtu-sim/sim/SimulatedDtu.h"
#include "ui/app/MainWindow.h"
#include "ui/common/MessageBox.h"
#include "ui/dtu/DtuPage.h"
#include "ui/monitor/MonitorWindow.h"
#include "ui/upgrade/UpgradePage.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <cstdio>
#include <functional>

namespace {

void OpenMonitor(MainWindow& window)
{
    window.findChild<QAction*>(QStringLiteral("monitorMenuAction"))->trigger();
}

bool Configuration(const QDir& dir)
{
    sim::SimulatedDtu dtu({});
    if (!dtu.Start() || !g_Serial.Open(dtu.TerminalPath(), 115200, 0)) {
        std::fprintf(stderr, "no simulated DTU\n");
        return false;
    }
    bool ok = true;
    {
        MainWindow window([] { return QStringList(); });
        window.show();
        window.findChild<QAction*>(QStringLiteral("dtuToolbarAction"))->trigger();
        OpenMonitor(window);
        MonitorWindow* monitor = window.monitor();
        const char* buttons[] = {"readNetButton", "readVersionButton", "readSignalButton", "readClockButton",
                                 "readUartButton"};
        std::size_t expected = 0;
        for (const char* name : buttons) {
            auto* button = window.dtuPage()->findChild<QPushButton*>(QLatin1String(name));
            if (!button)
                continue;
            button->click();
            expected += 2;
            ok = RunUntil([&] { return monitor->log().size() >= expected; }, 5000) && ok;
        }
        // One request the DTU never answers, marked when its time is up.
        sim::Faults silent;
        silent.noReply = true;
        dtu.SetFaults(silent);
        window.dtuPage()->findChild<QPushButton*>(QStringLiteral("readVersionButton"))->click();
        ok = RunUntil([&] { return monitor->log().size() > expected && monitor->log()[expected].unanswered; },
                      monitor::LineLog::kCommandReplyMs + 2000) && ok;
        SaveShot(monitor, dir, QStringLiteral("monitor-configuration"));

        // A broken answer is a red row; under a dark theme it stays readable.
        sim::Faults broken;
        broken.corruptEnvelope = true;
        dtu.SetFaults(broken);
        const std::size_t before = monitor->log().size();
        window.dtuPage()->findChild<QPushButton*>(QStringLiteral("readSignalButton"))->click();
        ok = RunUntil([&] { return monitor->log().size() >= before + 2; }, 5000) && ok;
        UseDarkPalette();
        SaveShot(monitor, dir, QStringLiteral("monitor-configuration-dark"));
    }
    g_Serial.Close();
    return ok;
}

bool Upgrade(const QDir& dir)
{
    PageHarness h;
    if (!h.error().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(h.error()));
        return false;
    }
    const QString path = dir.absoluteFilePath(QStringLiteral("KV330_APP_V2.4.bin"));
    {
        QFile f(path);
        const std::vector<std::uint8_t> image = Pattern(6 * 1024 + 300);
        if (!f.open(QIODevice::WriteOnly) ||
            f.write(reinterpret_cast<const char*>(image.data()), static_cast<qint64>(image.size())) < 0)
            return false;
    }
    OpenMonitor(h.window());
    h.pathEdit()->setText(path);
    h.button("appButton")->click();
    const bool middle = RunUntil([&] { return h.blocksReceived() >= 3; }, 30000);
    SaveShot(h.window().monitor(), dir, QStringLiteral("monitor-upgrade"));
    const bool ended = RunUntil([&] { return !h.page()->transferring(); }, 30000);
    SaveShot(h.window().monitor(), dir, QStringLiteral("monitor-upgrade-verdict"));
    QFile::remove(path);
    return middle && ended;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QDir dir = TitledShotsFolder(argc, argv);
    ui::SetMessageHandler([](const QString&, const QString&, ui::Buttons) { return int(QMessageBox::Ok); });
    // The configuration last: it ends under a dark theme.
    const bool upgrade = Upgrade(dir);
    const bool configuration = Configuration(dir);
    return configuration && upgrade ? 0 : 1;
}
