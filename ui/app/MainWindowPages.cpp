// The pages: each made on first use and brought to the front, those that
// talk to the DTU refused while no port is open, and what the window says
// when the port goes away.
#include "ui/app/MainWindow.h"

#include "core/net/PortUrl.h"
#include "driver/serial/BufferedPort.h"
#include "ui/app/AboutDialog.h"
#include "ui/app/LoginDialog.h"
#include "ui/bench/BenchPage.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Records.h"
#include "ui/dtu/DtuPage.h"
#include "ui/monitor/MonitorWindow.h"
#include "ui/pages/SmsHexPage.h"
#include "ui/pages/SmsTextPage.h"
#include "ui/pages/TcpPage.h"
#include "ui/records/RecordsPage.h"
#include "ui/server/TestServerPage.h"
#include "ui/terminal/TerminalWindow.h"
#include "ui/upgrade/UpgradePage.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

const char kErrorCaption[] = QT_TRANSLATE_NOOP("MainWindow", "错误！");
const char kNoPortDtu[] =
    QT_TRANSLATE_NOOP("MainWindow", "  不能进行DTU参数设置，请检查系统\n设置中是否打开可用串口！");
const char kNoPortSms[] = QT_TRANSLATE_NOOP("MainWindow", "  不能进行短信发送，请检查系统\n设置中是否打开可用串口！");
const char kNoPortHex[] = QT_TRANSLATE_NOOP("MainWindow", "  不能进行透明传输，请检查系统\n设置中是否打开可用串口！");
const char kNoPortTcp[] = QT_TRANSLATE_NOOP("MainWindow", "  不能进行TCP传输，请检查系统\n设置中是否打开可用串口！");

}  // namespace

template <class Page>
void MainWindow::ShowPage(Page*& page)
{
    // Created once, on first use; shown again, never re-created.
    if (!page) {
        page = new Page(this);
        RestoreGeometry(page);
    }
    Present(page);
}

SerialSettingsPage* MainWindow::MadeSettingsPage()
{
    if (!settingsPage_) {
        settingsPage_ = new SerialSettingsPage(ports_, this, roots_, names_);
        RestoreGeometry(settingsPage_);
    }
    return settingsPage_;
}

bool MainWindow::OpenRememberedPort()
{
    return MadeSettingsPage()->OpenRemembered();
}

void MainWindow::Present(QWidget* page)
{
    page->show();
    page->raise();
    page->activateWindow();
}

bool MainWindow::PortOpenOrSay(const char* message)
{
    if (g_Serial.IsOpen())
        return true;
    ui::ShowMessage(this, tr(kErrorCaption), tr(message), ui::Buttons::Ok,
                    QMessageBox::Critical);
    return false;
}

void MainWindow::CheckPortLost()
{
    if (!g_Serial.PortLost())
        return;
    const QString path = QString::fromStdString(g_Serial.PortPath());
    const unsigned baudRate = g_Serial.BaudRate();
    const unsigned parity = g_Serial.Parity();
    // A transfer in progress says itself what the loss cost; one box is enough.
    // The page may already have said it, or will on its next check.
    const bool upgradeSays = upgradePage_ && (upgradePage_->TakePortLossReport() || upgradePage_->transferring());
    g_Serial.Close();
    ui::ForgetUnit();
    // The settings page waits for the adapter to come back and says so
    // there; a box would only stand in the way of the reopen.
    if (settingsPage_ && settingsPage_->AwaitReconnect(path, baudRate, parity)) {
        Present(settingsPage_);
        return;
    }
    if (settingsPage_)
        settingsPage_->UpdateState();
    if (upgradeSays)
        return;
    const QString text = net::LooksLikeUrl(path.toStdString())
                             ? tr("网络端口 %1 的连接已断开（服务器关闭了连接、网络中断，或该端口正被另一用户使用），"
                                  "该端口已关闭。\n请检查服务器和网络后在“系统设置”中重新打开。")
                             : tr("串口 %1 已断开（设备被拔出或线路已关闭），该串口已关闭。\n"
                                  "请检查连接后在“系统设置”中重新打开。");
    ui::ShowMessage(this, tr(kErrorCaption), text.arg(path), ui::Buttons::Ok, QMessageBox::Warning);
}

void MainWindow::OnSettings()
{
    Present(MadeSettingsPage());
}

void MainWindow::OnDtu()
{
    if (PortOpenOrSay(kNoPortDtu))
        ShowPage(dtu_);
}

void MainWindow::OnSmsText()
{
    if (PortOpenOrSay(kNoPortSms))
        ShowPage(smsTextPage_);
}

void MainWindow::OnSmsHex()
{
    if (PortOpenOrSay(kNoPortHex))
        ShowPage(smsHexPage_);
}

void MainWindow::OnTcp()
{
    if (PortOpenOrSay(kNoPortTcp))
        ShowPage(tcp_);
}

void MainWindow::OnUpgrade()
{
    // The upgrade goes over the same open port as the TCP page, and users
    // know this message from there.
    if (!PortOpenOrSay(kNoPortTcp))
        return;
    LoginDialog login(this);
    if (login.exec() == QDialog::Accepted)
        ShowPage(upgradePage_);
}

void MainWindow::OnBench()
{
    // Needs no open port: it opens its own, and skips the window's.
    if (!bench_) {
        bench_ = new BenchPage(ports_, names_, namedPorts_, this);
        RestoreGeometry(bench_);
        connect(bench_, &BenchPage::recordsWanted, this, &MainWindow::OnRecords);
        // A test's units are seen arriving on the server page, when it is open.
        connect(bench_, &BenchPage::testServerNews, this, [this](const server::News& news) {
            if (server_)
                server_->Watch(news);
        });
    }
    Present(bench_);
}

void MainWindow::OnRecords()
{
    if (!records_) {
        // The page says so while a database server is still being reached.
        records_ = new RecordsPage(&ui::WindowRecords, ui::RecordsPlace(), this);
        RestoreGeometry(records_);
        connect(records_, &RecordsPage::placeChanged, this, [this] {
            records_->deleteLater();
            records_ = nullptr;
            OnRecords();
        });
    }
    Present(records_);
}

void MainWindow::OnMonitor()
{
    Present(monitor_);
}

void MainWindow::OnServer()
{
    // Needs no port: the DTU reaches it over its cellular link. It proposes
    // what the DTU page holds, when that page exists.
    if (!server_) {
        server_ = new TestServerPage(
            [this] {
                TestServerPage::Proposal p;
                if (!dtu_)
                    return p;
                p.port = dtu_->remotePortText();
                const dtu::Bytes frame = dtu_->packetsRequest();
                const dtu::Packets packets =
                    dtu::DecodePackets(dtu::Response(frame, static_cast<std::int32_t>(frame.size())));
                if (packets.custom) {
                    p.registration = packets.registration;
                    p.heartbeat = packets.heartbeat;
                }
                return p;
            },
            this);
        RestoreGeometry(server_);
    }
    Present(server_);
}

void MainWindow::OnDebugTool()
{
    // No port check: the terminal says itself that the port is closed, and
    // offers the settings page.
    if (!terminal_) {
        terminal_ = new TerminalWindow(this);
        connect(terminal_, &TerminalWindow::settingsRequested, this, &MainWindow::OnSettings);
        RestoreGeometry(terminal_);
    }
    Present(terminal_);
}

void MainWindow::OnHomePage()
{
    if (!QDesktopServices::openUrl(QUrl(QStringLiteral(DTU_HOME_URL))))
        ui::ShowMessage(this, ui::AppCaption(),
                        tr("No web browser could be started. The address, to copy:\n%1")
                            .arg(QStringLiteral(DTU_HOME_URL)),
                        ui::Buttons::Ok, QMessageBox::Warning);
}

void MainWindow::OnHelp()
{
    ShowPage(about_);
}

void MainWindow::OnAboutBox()
{
    AboutDialog box(this);
    box.setModal(true);
    box.exec();
}
