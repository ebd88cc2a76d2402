// Renders the upgrade page in the middle of a transfer to the simulated DTU
// and after its verdict. scripts/screenshots.sh runs it under Xvfb.
// Usage: upgrade_screenshots OUTPUT_DIR
#include "tests/upgrade/PageHarness.h"

#include "ui/common/MessageBox.h"
#include "ui/upgrade/UpgradePage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <cstdio>
#include <functional>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QDir dir = TitledShotsFolder(argc, argv);
    // The verdict stays on the page; its message box is not drawn here.
    ui::SetMessageHandler([](const QString&, const QString&, ui::Buttons) { return int(QMessageBox::Ok); });

    PageHarness h;
    if (!h.error().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(h.error()));
        return 1;
    }
    const QString path = dir.absoluteFilePath(QStringLiteral("KV330_APP_V2.4.bin"));
    {
        QFile f(path);
        const std::vector<std::uint8_t> image = Pattern(10 * 1024 + 300);
        if (!f.open(QIODevice::WriteOnly) ||
            f.write(reinterpret_cast<const char*>(image.data()), static_cast<qint64>(image.size())) < 0)
            return 1;
    }
    h.pathEdit()->setText(path);
    h.button("appButton")->click();
    const bool middle = RunUntil([&] { return h.progressBar()->value() >= 5; }, 30000);
    SaveShot(h.page(), dir, QStringLiteral("upgrade-transfer"));
    const bool ended = RunUntil([&] { return !h.page()->transferring(); }, 30000);
    SaveShot(h.page(), dir, QStringLiteral("upgrade-verdict"));
    QFile::remove(path);
    return middle && ended ? 0 : 1;
}
