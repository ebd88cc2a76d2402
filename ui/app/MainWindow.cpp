// The main window itself: its status bar and clock, the keys it keeps from
// QDialog, and where its windows were left.
#include "ui/app/MainWindow.h"

#include "driver/serial/BufferedPort.h"
#include "ui/app/AboutDialog.h"
#include "ui/bench/BenchPage.h"
#include "ui/common/Records.h"
#include "ui/common/Settings.h"
#include "ui/common/Widgets.h"
#include "ui/dtu/DtuPage.h"
#include "ui/monitor/MonitorWindow.h"
#include "ui/pages/SmsHexPage.h"
#include "ui/pages/SmsTextPage.h"
#include "ui/pages/TcpPage.h"
#include "ui/records/RecordsPage.h"
#include "ui/server/TestServerPage.h"
#include "ui/terminal/TerminalWindow.h"
#include "ui/upgrade/UpgradePage.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QStatusBar>

#include <algorithm>
#include <ctime>

namespace {

// The local time of day as the locale writes it; empty if there is none.
QString TimeOfDay()
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    char text[128] = {};
    if (localtime_r(&now, &tm) == nullptr || std::strftime(text, sizeof text, "%X", &tm) == 0)
        return {};
    return QString::fromLocal8Bit(text);
}

}  // namespace

MainWindow::MainWindow(SerialSettingsPage::PortSource ports, QWidget* parent, serial::Roots roots,
                       SerialSettingsPage::PortNames names)
    : QDialog(parent), ports_(std::move(ports)), roots_(std::move(roots)), names_(std::move(names))
{
    // Keys the saved position: kept as earlier versions saved it.
    setObjectName(QStringLiteral("CTavrinDlg"));
    setWindowTitle(tr("DTU参数配置工具-------Norvale V1.1"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/dtu.svg")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    monitor_ = new MonitorWindow(this);
    BuildCommands();
    BuildStatusBar();
    // 600 x 400, unless the captions need more room: none is ever cut.
    resize(std::max(600, sizeHint().width()), 400);
    RestoreGeometry(this);
    RestoreGeometry(monitor_);
    timerId_ = startTimer(100);
    // Opened now, on its own thread, so the first job finds it ready.
    ui::WindowRecords();
    // Posted from the reader thread; runs here, on this window's thread.
    g_Rx.SetWholeFrameSignal(
        [this] { QMetaObject::invokeMethod(this, &MainWindow::DeliverWhole, Qt::QueuedConnection); });
}

MainWindow::~MainWindow()
{
    g_Rx.SetWholeFrameSignal(nullptr);
}

void MainWindow::BuildStatusBar()
{
    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("statusBar"));
    status->setSizeGripEnabled(false);
    status->setFixedHeight(20);
    // The pane's text is what a screen reader reads; the role only describes it.
    const QString roles[] = {tr("状态"), tr("信息"), tr("时间")};
    for (int i = 0; i < 3; ++i) {
        panes_[i] = ui::Label(status);
        panes_[i]->setObjectName(QStringLiteral("pane%1").arg(i));
        panes_[i]->setAccessibleDescription(roles[i]);
        if (i < 2)
            panes_[i]->setFixedWidth(200);
        status->addWidget(panes_[i], i == 2 ? 1 : 0);
    }
    panes_[0]->setText(QStringLiteral("Open"));
    UpdateClock();
    layout()->addWidget(status);
}

void MainWindow::UpdateClock()
{
    panes_[2]->setText(TimeOfDay());
}

void MainWindow::keyPressEvent(QKeyEvent* e)
{
    if (!ui::SwallowClosingKey(e))
        QDialog::keyPressEvent(e);
}

void MainWindow::closeEvent(QCloseEvent* e)
{
    // A firmware transfer ends here, between two frames, not half-way
    // through the shut-down.
    if (upgradePage_)
        upgradePage_->EndTransfer();
    SaveGeometries();
    killTimer(timerId_);
    timerId_ = 0;
    QDialog::closeEvent(e);
    emit closed();
}

// A window's object name is its key: the older names some windows still
// carry ("CUartParamDlg", "CPhone", ...) find the positions users saved.
void MainWindow::RestoreGeometry(QWidget* window) const
{
    if (const auto settings = ui::Remembered())
        window->restoreGeometry(settings->value(QStringLiteral("geometry/") + window->objectName()).toByteArray());
}

void MainWindow::SaveGeometries() const
{
    const auto settings = ui::Remembered();
    if (!settings)
        return;
    const QWidget* const windows[] = {this,   settingsPage_, dtu_,     smsTextPage_, smsHexPage_, tcp_, upgradePage_,
                                      about_, monitor_,      terminal_, server_,     bench_,      records_};
    for (const QWidget* w : windows)
        if (w && !w->objectName().isEmpty())
            settings->setValue(QStringLiteral("geometry/") + w->objectName(), w->saveGeometry());
}
