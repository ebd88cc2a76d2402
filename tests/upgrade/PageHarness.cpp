#include "tests/upgrade/PageHarness.h"

#include "driver/serial/BufferedPort.h"
#include "ui/app/LoginDialog.h"
#include "ui/app/MainWindow.h"
#include "ui/upgrade/UpgradePage.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

PageHarness::PageHarness(sim::Faults faults)
{
    sim::SimulatedDtu::Options options;
    options.faults = faults;
    dtu_ = std::make_unique<sim::SimulatedDtu>(options);
    if (!dtu_->Start()) {
        error_ = QString::fromStdString(dtu_->error());
        return;
    }
    if (!g_Serial.Open(dtu_->TerminalPath(), 115200, 0)) {
        error_ = QStringLiteral("cannot open %1").arg(QString::fromStdString(dtu_->TerminalPath()));
        return;
    }
    window_ = std::make_unique<MainWindow>([] { return QStringList(); });
    window_->show();
    QTimer::singleShot(0, window_.get(), [] {
        if (auto* login = qobject_cast<LoginDialog*>(QApplication::activeModalWidget())) {
            login->findChild<QLineEdit*>(QStringLiteral("passwordEdit"))->setText(QStringLiteral("QWPZ"));
            login->findChild<QPushButton*>(QStringLiteral("loginButton"))->click();
        }
    });
    window_->findChild<QAction*>(QStringLiteral("upgradeToolbarAction"))->trigger();
    page_ = window_->upgradePage();
    if (!page_ || !page_->isVisible())
        error_ = QStringLiteral("the upgrade page did not come up");
}

PageHarness::~PageHarness()
{
    window_.reset();
    g_Serial.Close();
    if (dtu_)
        dtu_->Stop();
}

QPushButton* PageHarness::button(const char* name) const
{
    return page_->findChild<QPushButton*>(QLatin1String(name));
}

QLineEdit* PageHarness::pathEdit() const
{
    return page_->findChild<QLineEdit*>(QStringLiteral("pathEdit"));
}

QProgressBar* PageHarness::progressBar() const
{
    return page_->findChild<QProgressBar*>(QStringLiteral("progressBar"));
}

QLabel* PageHarness::label(const char* name) const
{
    return page_->findChild<QLabel*>(QLatin1String(name));
}

std::vector<std::uint8_t> PageHarness::received()
{
    std::vector<std::uint8_t> image;
    dtu_->WithDevice([&](sim::Device& d) { image = d.upgradeImage(); });
    return image;
}

std::size_t PageHarness::blocksReceived()
{
    std::size_t blocks = 0;
    dtu_->WithDevice([&](sim::Device& d) { blocks = d.blocksReceived(); });
    return blocks;
}

std::vector<std::uint8_t> Pattern(std::size_t n, std::uint8_t seed)
{
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 1024 * 13 + seed);
    return bytes;
}

