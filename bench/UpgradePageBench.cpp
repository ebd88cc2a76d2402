// Firmware upgrade through the whole page: the upgrade page driven by the main
// window's tick, g_Serial and the simulated DTU, against the transfer machine
// driven directly (RunUpgrade) over the same line. Reports the time of each
// block (write to completed reply) for both, against what the protocol
// allows: the block's time on the wire plus 500 ms.
// Usage: upgrade_page_bench [--kib N]
#include "tests/upgrade/PageHarness.h"

#include "driver/serial/BufferedPort.h"
#include "tests/support/Ticker.h"
#include "ui/common/FrameEvent.h"
#include "ui/common/MessageBox.h"
#include "ui/upgrade/UpgradePage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

// The moment each reply reaches the page; the page answers it at once.
class ReplyClock : public QObject {
public:
    std::vector<std::int64_t> atMs;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == ui::kUpgradeFrame)
            atMs.push_back(SteadyMs());
        return false;
    }
};

struct Figures {
    double min = 0, median = 0, max = 0;
    long slower = 0;
};

Figures Summarise(std::vector<double> ms, double limit)
{
    Figures f;
    if (ms.empty())
        return f;
    std::sort(ms.begin(), ms.end());
    f.min = ms.front();
    f.median = ms[ms.size() / 2];
    f.max = ms.back();
    f.slower = static_cast<long>(std::count_if(ms.begin(), ms.end(), [&](double v) { return v > limit; }));
    return f;
}

}  // namespace

int main(int argc, char* argv[])
{
    std::size_t kib = 64;
    for (int i = 1; i + 1 < argc; i += 2)
        if (std::strcmp(argv[i], "--kib") == 0)
            kib = std::strtoul(argv[i + 1], nullptr, 10);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString verdict;
    ui::SetMessageHandler([&](const QString&, const QString& text, ui::Buttons) {
        verdict = text;
        return int(QMessageBox::Ok);
    });

    PageHarness h;
    if (!h.error().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(h.error()));
        return 1;
    }
    const std::vector<std::uint8_t> image = Pattern(kib * 1024);
    const unsigned baud = g_Serial.BaudRate();
    // 10 bits a byte: a full block frame and the 10-byte reply.
    const double wireMs = (1032.0 + 10.0) * 10.0 * 1000.0 / baud;
    const double limit = wireMs + 500.0;

    // The transfer machine alone, over the same port and receive buffer.
    const UpgradeRun core = RunUpgrade(g_Serial, g_Rx, upgrade::Kind::App, image, upgrade::ReplyTimeoutMs(baud), 100000);
    const Figures coreFigures = Summarise(core.blockMs, limit);

    // The page, as a user runs it.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.bin"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(image.data()), static_cast<qint64>(image.size())) < 0)
        return 1;
    file.close();
    ReplyClock clock;
    h.page()->installEventFilter(&clock);
    h.pathEdit()->setText(path);
    const std::int64_t start = SteadyMs();
    const std::clock_t cpuStart = std::clock();
    h.button("appButton")->click();
    while (h.page()->transferring())
        // The main window ticks every 100 ms, so this wakes at least as often.
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double total = static_cast<double>(SteadyMs() - start) / 1000.0;
    // Every thread of the process: window, page, driver's reader, simulated DTU.
    const double cpuMs = static_cast<double>(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC;
    std::vector<double> pageMs;
    std::int64_t sentAt = start;
    for (std::int64_t at : clock.atMs) {
        pageMs.push_back(static_cast<double>(at - sentAt));
        sentAt = at;
    }
    const Figures pageFigures = Summarise(pageMs, limit);
    const bool ok = verdict == QStringLiteral("升级成功，等待从新启动") && h.received() == image;

    std::printf("upgrade page, %zu KiB APP image at %u baud: %s, %zu frames answered in %.1f s\n", kib, baud,
                ok ? "succeeded" : "DID NOT SUCCEED", pageMs.size(), total);
    std::printf("allowed per block: %.0f ms (wire %.0f ms + 500 ms)\n", limit, wireMs);
    std::printf("per block, page:    min %.0f ms, median %.0f ms, max %.0f ms; slower than allowed: %ld\n",
                pageFigures.min, pageFigures.median, pageFigures.max, pageFigures.slower);
    std::printf("per block, machine: min %.0f ms, median %.0f ms, max %.0f ms; slower than allowed: %ld (%s)\n",
                coreFigures.min, coreFigures.median, coreFigures.max, coreFigures.slower,
                core.outcome == upgrade::Outcome::Succeeded ? "succeeded" : "DID NOT SUCCEED");
    std::printf("page minus machine, median per block: %+.0f ms\n", pageFigures.median - coreFigures.median);
    std::printf("CPU time of the whole process during the page's transfer: %.0f ms (%.1f ms a frame)\n", cpuMs,
                pageMs.empty() ? 0.0 : cpuMs / static_cast<double>(pageMs.size()));
    return ok && pageFigures.slower == 0 ? 0 : 1;
}
