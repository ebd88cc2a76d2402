#include "app/TavrinDlg.h"

#include "app/AboutDlg.h"
#include "app/Dialog_Login.h"
#include "common/FrameEvent.h"
#include "common/MessageBox.h"
#include "common/Settings.h"
#include "dtu/DtuDlg.h"
#include "monitor/MonitorDlg.h"
#include "pages/P2pDlg.h"
#include "pages/Phone.h"
#include "pages/TcpDlg.h"
#include "net/PortUrl.h"
#include "serial/KVSerial.h"
#include "server/ServerDlg.h"
#include "terminal/TerminalDlg.h"
#include "upgrade/Dialog_OTG.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <ctime>

namespace {

const char kErrorCaption[] = QT_TRANSLATE_NOOP("CTavrinDlg", "错误！");
const char kNoPortDtu[] =
    QT_TRANSLATE_NOOP("CTavrinDlg", "  不能进行DTU参数设置，请检查系统\n设置中是否打开可用串口！");
const char kNoPortSms[] = QT_TRANSLATE_NOOP("CTavrinDlg", "  不能进行短信发送，请检查系统\n设置中是否打开可用串口！");
const char kNoPortHex[] = QT_TRANSLATE_NOOP("CTavrinDlg", "  不能进行透明传输，请检查系统\n设置中是否打开可用串口！");
const char kNoPortTcp[] = QT_TRANSLATE_NOOP("CTavrinDlg", "  不能进行TCP传输，请检查系统\n设置中是否打开可用串口！");

struct Command {
    int id;
    const char* caption;
    const char* icon;
    void (CTavrinDlg::*slot)();
};

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

CTavrinDlg::CTavrinDlg(CUartParamDlg::PortSource ports, QWidget* parent, serial::Roots roots,
                       CUartParamDlg::PortNames names)
    : QDialog(parent), ports_(std::move(ports)), roots_(std::move(roots)), names_(std::move(names))
{
    setObjectName(QStringLiteral("CTavrinDlg"));
    setWindowTitle(tr("DTU参数配置工具-------Norvale V1.1"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/dtu.svg")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    monitor_ = new CMonitorDlg(this);
    BuildCommands();
    BuildStatusBar();
    // 600 x 400, unless the captions need more room: none is ever cut.
    resize(std::max(600, sizeHint().width()), 400);
    RestoreGeometry(this);
    RestoreGeometry(monitor_);
    timerId_ = startTimer(100);
    // Posted from the reader thread; runs here, on this window's thread.
    g_Rx.SetWholeFrameSignal(
        [this] { QMetaObject::invokeMethod(this, &CTavrinDlg::DeliverWhole, Qt::QueuedConnection); });
}

CTavrinDlg::~CTavrinDlg()
{
    g_Rx.SetWholeFrameSignal(nullptr);
}

void CTavrinDlg::BuildCommands()
{
    static const Command kToolbar[] = {
        {1004, QT_TR_NOOP("系统设置"), "settings", &CTavrinDlg::OnSettings},
        {1005, QT_TR_NOOP("DTU参数设置"), "dtu", &CTavrinDlg::OnDtu},
        {1006, QT_TR_NOOP("US2编码短信"), "sms-text", &CTavrinDlg::OnSmsText},
        {1007, QT_TR_NOOP("HEX编码短信"), "sms-hex", &CTavrinDlg::OnSmsHex},
        {1008, QT_TR_NOOP("TCP透传"), "tcp", &CTavrinDlg::OnTcp},
        {1009, QT_TR_NOOP("在线升级"), "upgrade", &CTavrinDlg::OnUpgrade},
        {1010, QT_TR_NOOP("调试工具"), "debug", &CTavrinDlg::OnDebugTool},
        {1011, QT_TR_NOOP("公司主页"), "home", &CTavrinDlg::OnHomePage},
        {1012, QT_TR_NOOP("帮助"), "help", &CTavrinDlg::OnHelp},
        {1013, QT_TR_NOOP("线路监视"), "monitor", &CTavrinDlg::OnMonitor},
        {1014, QT_TR_NOOP("测试服务器"), "server", &CTavrinDlg::OnServer},
    };
    static const Command kMenu[] = {
        {32779, QT_TR_NOOP("系统参数设置(&E)"), "settings", &CTavrinDlg::OnSettings},
        {32780, QT_TR_NOOP("DTU参数设置(&V)"), "dtu", &CTavrinDlg::OnDtu},
        {32781, QT_TR_NOOP("短信传输(&S)"), "sms-text", &CTavrinDlg::OnSmsText},
        {32782, QT_TR_NOOP("透明传输(&T)"), "sms-hex", &CTavrinDlg::OnSmsHex},
        {32783, QT_TR_NOOP("TCP传输(&P)"), "tcp", &CTavrinDlg::OnTcp},
        {32784, QT_TR_NOOP("线路监视(&M)"), "monitor", &CTavrinDlg::OnMonitor},
        {32785, QT_TR_NOOP("测试服务器(&N)"), "server", &CTavrinDlg::OnServer},
    };

    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("toolbar"));
    toolbar->setIconSize(QSize(32, 32));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->setMovable(false);
    for (const Command& c : kToolbar) {
        auto* action = new QAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(c.icon))),
                                   tr(c.caption), this);
        action->setObjectName(QStringLiteral("action%1").arg(c.id));
        connect(action, &QAction::triggered, this, c.slot);
        toolbar->addAction(action);
        if (c.id == 1010) {
            // From any of the tool's windows, as the monitor's Ctrl+M.
            action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
            action->setShortcutContext(Qt::ApplicationShortcut);
        }
        // Toolbar buttons take the keyboard focus too: Tab reaches them,
        // Space presses them.
        if (QWidget* button = toolbar->widgetForAction(action)) {
            button->setFocusPolicy(Qt::StrongFocus);
            button->setMinimumSize(57, 60);
        }
        toolbar->addSeparator();
    }

    // The right-click menu, also reached with the menu key.
    menu_ = new QMenu(tr("选择(&C)"), this);
    for (const Command& c : kMenu) {
        auto* action = new QAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(c.icon))),
                                   tr(c.caption), this);
        action->setObjectName(QStringLiteral("action%1").arg(c.id));
        connect(action, &QAction::triggered, this, c.slot);
        menu_->addAction(action);
        if (c.id == 32780 || c.id == 32783)
            menu_->addSeparator();
        if (c.id == 32784) {
            // From any of the tool's windows.
            action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
            action->setShortcutContext(Qt::ApplicationShortcut);
            addAction(action);
        }
    }

    // A window manager's menu cannot take items from a program: the about
    // item sits at the end of this one instead.
    menu_->addSeparator();
    auto* about = new QAction(tr("关于 Tavrin(&A)..."), this);
    about->setObjectName(QStringLiteral("action16"));
    connect(about, &QAction::triggered, this, &CTavrinDlg::OnAboutBox);
    menu_->addAction(about);

    auto* hint = new QLabel(tr("用工具栏或右键菜单打开各功能页。\n先在“系统设置”中打开串口。"), this);
    hint->setAlignment(Qt::AlignCenter);
    hint->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar);
    layout->addWidget(hint, 1);
}

void CTavrinDlg::BuildStatusBar()
{
    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("statusBar"));
    status->setSizeGripEnabled(false);
    status->setFixedHeight(20);
    // The pane's text is what a screen reader reads; the role only describes it.
    const QString roles[] = {tr("状态"), tr("信息"), tr("时间")};
    for (int i = 0; i < 3; ++i) {
        panes_[i] = new QLabel(status);
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

void CTavrinDlg::UpdateClock()
{
    panes_[2]->setText(TimeOfDay());
}

void CTavrinDlg::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == timerId_)
        Tick();
    else
        QDialog::timerEvent(e);
}

void CTavrinDlg::Tick()
{
    // The clock on every eleventh tick.
    if (clockTicks_++ >= 10) {
        clockTicks_ = 0;
        UpdateClock();
    }
    g_Rx.Tick([this](const ReceiveBuffer::Frame& frame) { NotifyPages(frame); });
    CheckPortLost();
}

void CTavrinDlg::DeliverWhole()
{
    // Closed: no page is told of anything any more, as with the tick.
    if (timerId_ == 0)
        return;
    g_Rx.DeliverWhole([this](const ReceiveBuffer::Frame& frame) { NotifyPages(frame); });
}

void CTavrinDlg::NotifyPages(const ReceiveBuffer::Frame& frame)
{
    // The monitor first, hidden or not: a page that answers at once writes
    // after it has the frame.
    const auto length = static_cast<std::size_t>(std::clamp(frame.length, 0, ReceiveBuffer::kCapacity));
    monitor_->OnReceived(frame.bytes.first(length));
    // Always in this order; a page that is hidden or not yet created
    // receives nothing.
    QWidget* const pages[] = {phone_, p2p_, tcp_, dtu_, otg_};
    const QEvent::Type types[] = {ui::kSmsTextFrame, ui::kSmsHexFrame, ui::kTcpFrame, ui::kDtuFrame,
                                  ui::kUpgradeFrame};
    for (int i = 0; i < 5; ++i) {
        if (pages[i] && pages[i]->isVisible()) {
            ui::FrameEvent event(types[i], frame);
            QCoreApplication::sendEvent(pages[i], &event);
        }
    }
    // The terminal last, after the pages that answer: it only looks. Hidden,
    // it still takes frames while it writes a session log.
    if (terminal_ && terminal_->wantsFrames()) {
        ui::FrameEvent event(ui::kTerminalFrame, frame);
        QCoreApplication::sendEvent(terminal_, &event);
    }
}

void CTavrinDlg::CheckPortLost()
{
    if (!g_Serial.PortLost())
        return;
    const QString path = QString::fromStdString(g_Serial.PortPath());
    const unsigned baudRate = g_Serial.BaudRate();
    const unsigned parity = g_Serial.Parity();
    // A transfer in progress says itself what the loss cost; one box is enough.
    // The page may already have said it, or will on its next check.
    const bool upgradeSays = otg_ && (otg_->TakePortLossReport() || otg_->transferring());
    g_Serial.Close();
    // The settings page waits for the adapter to come back and says so
    // there; a box would only stand in the way of the reopen.
    if (uart_ && uart_->AwaitReconnect(path, baudRate, parity)) {
        Present(uart_);
        return;
    }
    if (uart_)
        uart_->UpdateState();
    if (upgradeSays)
        return;
    const QString text = net::LooksLikeUrl(path.toStdString())
                             ? tr("网络端口 %1 的连接已断开（服务器关闭了连接、网络中断，或该端口正被另一用户使用），"
                                  "该端口已关闭。\n请检查服务器和网络后在“系统设置”中重新打开。")
                             : tr("串口 %1 已断开（设备被拔出或线路已关闭），该串口已关闭。\n"
                                  "请检查连接后在“系统设置”中重新打开。");
    ui::ShowMessage(this, tr(kErrorCaption), text.arg(path), ui::Buttons::Ok, QMessageBox::Warning);
}

void CTavrinDlg::keyPressEvent(QKeyEvent* e)
{
    // Neither key may close the main window or press anything.
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        e->accept();
        return;
    default:
        QDialog::keyPressEvent(e);
    }
}

void CTavrinDlg::contextMenuEvent(QContextMenuEvent* e)
{
    menu_->exec(e->globalPos());
}

void CTavrinDlg::closeEvent(QCloseEvent* e)
{
    // A firmware transfer ends here, between two frames, not half-way
    // through the shut-down.
    if (otg_)
        otg_->EndTransfer();
    SaveGeometries();
    killTimer(timerId_);
    timerId_ = 0;
    QDialog::closeEvent(e);
    emit closed();
}

template <class Page>
void CTavrinDlg::ShowPage(Page*& page)
{
    // Created once, on first use; shown again, never re-created.
    if (!page) {
        page = new Page(this);
        RestoreGeometry(page);
    }
    Present(page);
}

void CTavrinDlg::RestoreGeometry(QWidget* window) const
{
    if (const auto settings = ui::Remembered())
        window->restoreGeometry(settings->value(QStringLiteral("geometry/") + window->objectName()).toByteArray());
}

void CTavrinDlg::SaveGeometries() const
{
    const auto settings = ui::Remembered();
    if (!settings)
        return;
    const QWidget* const windows[] = {this, uart_, dtu_, phone_, p2p_, tcp_, otg_, about_, monitor_, terminal_, server_};
    for (const QWidget* w : windows)
        if (w && !w->objectName().isEmpty())
            settings->setValue(QStringLiteral("geometry/") + w->objectName(), w->saveGeometry());
}

bool CTavrinDlg::OpenRememberedPort()
{
    if (!uart_) {
        uart_ = new CUartParamDlg(ports_, this, roots_, names_);
        RestoreGeometry(uart_);
    }
    return uart_->OpenRemembered();
}

void CTavrinDlg::Present(QWidget* page)
{
    page->show();
    page->raise();
    page->activateWindow();
}

bool CTavrinDlg::PortOpenOrSay(const char* message)
{
    if (g_Serial.IsOpen())
        return true;
    ui::ShowMessage(this, tr(kErrorCaption), tr(message), ui::Buttons::Ok,
                    QMessageBox::Critical);
    return false;
}

void CTavrinDlg::OnSettings()
{
    if (!uart_)
        uart_ = new CUartParamDlg(ports_, this, roots_, names_);
    Present(uart_);
}

void CTavrinDlg::OnDtu()
{
    if (PortOpenOrSay(kNoPortDtu))
        ShowPage(dtu_);
}

void CTavrinDlg::OnSmsText()
{
    if (PortOpenOrSay(kNoPortSms))
        ShowPage(phone_);
}

void CTavrinDlg::OnSmsHex()
{
    if (PortOpenOrSay(kNoPortHex))
        ShowPage(p2p_);
}

void CTavrinDlg::OnTcp()
{
    if (PortOpenOrSay(kNoPortTcp))
        ShowPage(tcp_);
}

void CTavrinDlg::OnUpgrade()
{
    // The upgrade goes over the same open port as the TCP page, and users
    // know this message from there.
    if (!PortOpenOrSay(kNoPortTcp))
        return;
    CDialog_Login login(this);
    if (login.exec() == QDialog::Accepted)
        ShowPage(otg_);
}

void CTavrinDlg::OnMonitor()
{
    Present(monitor_);
}

void CTavrinDlg::OnServer()
{
    // Needs no port: the DTU reaches it over its cellular link. It proposes
    // what the DTU page holds, when that page exists.
    if (!server_) {
        server_ = new CServerDlg(
            [this] {
                CServerDlg::Proposal p;
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

void CTavrinDlg::OnDebugTool()
{
    // No port check: the terminal says itself that the port is closed, and
    // offers the settings page.
    if (!terminal_) {
        terminal_ = new CTerminalDlg(this);
        connect(terminal_, &CTerminalDlg::settingsRequested, this, &CTavrinDlg::OnSettings);
        RestoreGeometry(terminal_);
    }
    Present(terminal_);
}

void CTavrinDlg::OnHomePage()
{
    QDesktopServices::openUrl(QUrl(QStringLiteral(DTU_HOME_URL)));
}

void CTavrinDlg::OnHelp()
{
    ShowPage(about_);
}

void CTavrinDlg::OnAboutBox()
{
    CAboutDlg box(this);
    box.setModal(true);
    box.exec();
}
