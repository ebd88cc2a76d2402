#include "serial/UartParamDlg.h"

#include "common/Language.h"
#include "common/Settings.h"
#include "common/Widgets.h"
#include "serial/Hotplug.h"
#include "net/PortUrl.h"
#include "serial/KVSerial.h"
#include "serial/NetPort.h"
#include "serial/OpenFailure.h"
#include "serial/PortList.h"
#include "serial/SetupCheck.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <type_traits>

namespace {

const char* const kParityNames[] = {"NO", "ODD", "EVEN"};

// No reopen sooner than this after a loss: every page that watches the port
// (the upgrade page looks every 100 ms) must first have seen it closed and
// ended its transfer, so that nothing resumes on the reopened port.
constexpr qint64 kQuietAfterLossMs = 500;
constexpr int kRetryMs = 1000;
// A network port that went away is tried again this often, for as long as
// the page waits for it: no event says that a server is back.
constexpr int kNetRetryMs = 2000;
constexpr int kRecentUrls = 8;
const QString kRecentUrlsKey = QStringLiteral("port/recentUrls");

bool IsUrl(const QString& path)
{
    return net::LooksLikeUrl(path.toStdString());
}

QComboBox* Combo(QWidget* parent, const char* name, int id, const QStringList& items)
{
    return ui::Tag(ui::DropDown(parent, items), id, name);
}

QLabel* Note(QWidget* parent, const char* name, const QString& description)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setAccessibleDescription(description);
    // The commands in it are meant to be copied.
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->hide();
    return label;
}

void Say(QLabel* label, const QString& text)
{
    label->setText(text);
    label->setVisible(!text.isEmpty());
}

QString FailureText(SerialError error, int err, const QString& path, bool explained, const std::string& serverSaid = {})
{
    return QString::fromStdString(serial::OpenFailureText(error, err, path.toStdString(), explained, serverSaid));
}

// One setup finding: what is wrong, then the command on a line of its own.
QString FindingText(const serial::Finding& f)
{
    const QString device = QString::fromStdString(f.device);
    const QString group = QString::fromStdString(f.group);
    const QString program = QString::fromStdString(f.program);
    QString what;
    switch (f.problem) {
    case serial::Problem::NotInGroup:
        what = QCoreApplication::translate("CUartParamDlg",
                                           "%1 只允许 %2 组的用户打开，当前用户不在该组。执行下面的命令，"
                                           "然后注销并重新登录（新的登录才带有该组）：")
                   .arg(device, group);
        break;
    case serial::Problem::NeedsNewLogin:
        what = QCoreApplication::translate("CUartParamDlg",
                                           "当前用户已加入 %1 组，但本次登录早于此，还不带有该组：请注销并重新登录；"
                                           "在此之前，可在下面命令打开的终端中启动本工具：")
                   .arg(group);
        break;
    case serial::Problem::HeldByProgram:
        if (f.program == "ModemManager")
            what = QCoreApplication::translate(
                       "CUartParamDlg",
                       "%1 正被 ModemManager（进程 %2）占用：它向一切像调制解调器的设备发送 AT 命令，"
                       "DTU 也不例外。用下面的 udev 规则让它忽略串口适配器，"
                       "或停止它（sudo systemctl stop ModemManager）：")
                       .arg(device)
                       .arg(f.pid);
        else
            what = QCoreApplication::translate("CUartParamDlg", "%1 正被 %2（进程 %3）占用。请关闭该程序，或结束它：")
                       .arg(device, program)
                       .arg(f.pid);
        break;
    case serial::Problem::ModemManager:
        what = QCoreApplication::translate(
            "CUartParamDlg",
            "ModemManager 正在运行，且没有 udev 规则让它忽略串口适配器：它可能打开 DTU 的串口"
            "并发送 AT 命令。安装下面的规则，或停止它（sudo systemctl stop ModemManager）：");
        break;
    case serial::Problem::BrlttyClaimed:
        what =
            QCoreApplication::translate("CUartParamDlg",
                                        "USB %1 上的 CH340/CH341 适配器没有串口：盲文显示服务 brltty 占用了这类适配器。"
                                        "卸载 brltty（若使用盲文显示器，请改为停用其针对 1a86:7523 的规则），"
                                        "然后重新插拔适配器：")
                .arg(device);
        break;
    }
    return what + QStringLiteral("\n    ") + QString::fromStdString(f.fix);
}

QString FindingsText(const std::vector<serial::Finding>& findings)
{
    QStringList parts;
    for (const serial::Finding& f : findings)
        parts << FindingText(f);
    return parts.join(QStringLiteral("\n"));
}

// Runs `work` on the thread pool and `done` with its result on the page's
// thread. The watcher goes with the page, so a page closed meanwhile hears
// nothing; `work` must hold no reference into the page.
template <class Work, class Done>
void Aside(QObject* page, Work work, Done done)
{
    auto* watcher = new QFutureWatcher<std::invoke_result_t<Work>>(page);
    QObject::connect(watcher, &QFutureWatcherBase::finished, page, [watcher, done = std::move(done)] {
        done(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(std::move(work)));
}

serial::SetupEnv SetupEnvFor(const serial::Roots& roots)
{
    serial::SetupEnv env = serial::SetupEnv::Current();
    env.roots = roots;
    return env;
}

}  // namespace

CUartParamDlg::CUartParamDlg(PortSource ports, QWidget* parent, serial::Roots roots, PortNames names)
    : QDialog(parent), ports_(std::move(ports)), roots_(std::move(roots)), names_(std::move(names))
{
    setObjectName(QStringLiteral("CUartParamDlg"));
    setWindowTitle(tr("串口参数配置"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* group = new QGroupBox(tr("串口参数"), this);
    portCombo_ = Combo(group, "portCombo", 1001, {});
    // Room for a label such as "/dev/ttyUSB0 - FT232R USB UART, serial A10K3XYZ".
    portCombo_->setMinimumContentsLength(40);
    portCombo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    portCombo_->setAccessibleDescription(
        tr("可选择或输入设备路径；/dev/serial/by-id/ 下的名称在重新插拔后不变。"
                       "也可输入网络端口 rfc2217://主机:端口 或 socket://主机:端口"));
    baudCombo_ = Combo(group, "baudCombo", 1002,
                       {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"});
    parityCombo_ = Combo(group, "parityCombo", 1003, {"NO", "ODD", "EVEN"});

    auto* grid = new QGridLayout(group);
    const std::pair<QString, QComboBox*> rows[] = {
        {tr("串   口："), portCombo_}, {tr("波特率："), baudCombo_}, {tr("效   验："), parityCombo_}};
    int row = 0;
    for (const auto& [caption, box] : rows) {
        auto* label = new QLabel(caption, group);
        label->setBuddy(box);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        ++row;
    }
    grid->setColumnStretch(1, 1);

    openButton_ = new QPushButton(tr("打开"), this);
    openButton_->setObjectName(QStringLiteral("openButton"));
    openButton_->setProperty("controlId", 1004);
    refreshButton_ = new QPushButton(tr("刷新"), this);
    refreshButton_->setObjectName(QStringLiteral("refreshButton"));
    refreshButton_->setProperty("controlId", 1005);
    reconnectBox_ = new QCheckBox(tr("断开后自动重新连接"), this);
    reconnectBox_->setObjectName(QStringLiteral("reconnectBox"));
    reconnectBox_->setProperty("controlId", 1006);
    reconnectBox_->setAccessibleDescription(
        tr("打开的 USB 串口被拔出后，再次插入时以相同设置自动重新打开"));
    reconnectBox_->setChecked(true);
    failure_ = Note(this, "failureLabel", tr("打开失败的原因"));
    reconnect_ = Note(this, "reconnectLabel", tr("自动重新连接的状态"));
    setup_ = Note(this, "setupLabel", tr("串口缺失的原因及解决命令"));
    line_ = Note(this, "lineLabel", tr("网络端口的连接与线路设置"));
    canceller_ = std::make_unique<serial::Canceller>();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(reconnectBox_);
    buttons->addStretch();
    buttons->addWidget(openButton_);
    buttons->addWidget(refreshButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    layout->addWidget(line_);
    layout->addWidget(reconnect_);
    layout->addWidget(failure_);
    layout->addWidget(setup_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    for (QLabel* note : {line_, reconnect_, failure_, setup_})
        note->setMaximumWidth(560);

    connect(openButton_, &QPushButton::clicked, this, &CUartParamDlg::OnOpenClose);
    connect(refreshButton_, &QPushButton::clicked, this, &CUartParamDlg::OnRefresh);
    connect(reconnectBox_, &QCheckBox::toggled, this, &CUartParamDlg::OnReconnectToggled);

    settle_ = new QTimer(this);
    settle_->setSingleShot(true);
    settle_->setInterval(250);
    connect(settle_, &QTimer::timeout, this, &CUartParamDlg::OnDevicesChanged);
    retry_ = new QTimer(this);
    retry_->setSingleShot(true);
    connect(retry_, &QTimer::timeout, this, &CUartParamDlg::TryReconnect);

    watch_ = std::make_unique<serial::DevWatch>(roots_.dev);
    if (watch_->fd() >= 0) {
        notifier_ = new QSocketNotifier(watch_->fd(), QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] {
            if (watch_->TakeChanges())
                settle_->start();
        });
    }

    baudCombo_->setCurrentIndex(7);
    parityCombo_->setCurrentIndex(0);
    if (const auto settings = ui::Remembered()) {
        const int baud = baudCombo_->findText(settings->value(QStringLiteral("port/baud")).toString());
        const int parity = settings->value(QStringLiteral("port/parity"), -1).toInt();
        if (baud >= 0)
            baudCombo_->setCurrentIndex(baud);
        if (parity >= 0 && parity < parityCombo_->count())
            parityCombo_->setCurrentIndex(parity);
        reconnectBox_->setChecked(settings->value(QStringLiteral("port/reconnect"), true).toBool());
    }
    OnRefresh();
    UpdateState();
}

bool CUartParamDlg::OpenRemembered()
{
    const auto settings = ui::Remembered();
    const QString path = settings ? settings->value(QStringLiteral("port/path")).toString() : QString();
    // A port that has gone since is not tried: its name may be another
    // device's by now.
    if (path.isEmpty() || (!IsUrl(path) && !QFileInfo::exists(path)) || g_Serial.IsOpen())
        return false;
    const int at = portCombo_->findData(path);
    if (at >= 0)
        portCombo_->setCurrentIndex(at);
    else
        portCombo_->setEditText(path);
    OpenChosen();
    return g_Serial.IsOpen();
}

void CUartParamDlg::Remember() const
{
    if (const auto settings = ui::Remembered()) {
        settings->setValue(QStringLiteral("port/path"), QString::fromStdString(openedStable_));
        settings->setValue(QStringLiteral("port/baud"), baudCombo_->currentText());
        settings->setValue(QStringLiteral("port/parity"), parityCombo_->currentIndex());
        if (IsUrl(QString::fromStdString(openedStable_))) {
            QStringList recent = settings->value(kRecentUrlsKey).toStringList();
            recent.removeAll(QString::fromStdString(openedStable_));
            recent.prepend(QString::fromStdString(openedStable_));
            settings->setValue(kRecentUrlsKey, recent.mid(0, kRecentUrls));
        }
    }
}

CUartParamDlg::~CUartParamDlg()
{
    // The worker holds no reference into the page, but the canceller goes
    // with it: the connection gives up first.
    canceller_->Cancel();
    connecting_.waitForFinished();
}

QString CUartParamDlg::lineText() const
{
    return line_->text();
}

QString CUartParamDlg::failureText() const
{
    return failure_->text();
}

QString CUartParamDlg::reconnectText() const
{
    return reconnect_->text();
}

QString CUartParamDlg::setupText() const
{
    return setup_->text();
}

void CUartParamDlg::OnRefresh()
{
    portCombo_->clear();
    portCombo_->clearEditText();
    FillPorts();
    if (portCombo_->count() > 0)
        portCombo_->setCurrentIndex(0);
    // A long label shows from its start, where the path is.
    portCombo_->lineEdit()->setCursorPosition(0);
    ShowSetup();
}

void CUartParamDlg::FillPorts()
{
    const QStringList paths = ports_ ? ports_() : QStringList();
    std::vector<std::string> nodes;
    for (const QString& path : paths)
        nodes.push_back(path.toStdString());
    // Sysfs, /proc/locks and the lock folder only, all in memory: quick
    // enough for this thread.
    const std::vector<std::optional<serial::Holder>> holders = serial::FindHolders(nodes, roots_);
    // Each port as a person knows it; after a USB adapter its by-id name,
    // the one that stays the same after a replug.
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const QString& path = paths[static_cast<qsizetype>(i)];
        if (IsUrl(path)) {
            portCombo_->addItem(path, path);
            continue;
        }
        const serial::PortInfo info = serial::DescribePort(nodes[i], roots_);
        portCombo_->addItem(
            QString::fromStdString(serial::PortEntry(info, holders[i], names_.value(path).toStdString())), path);
        if (!info.byId.empty() && info.byId != info.path)
            portCombo_->addItem(QString::fromStdString(info.byId + serial::HolderMark(holders[i])),
                                QString::fromStdString(info.byId));
    }
    // The network ports used last, after the devices there are.
    if (const auto settings = ui::Remembered())
        for (const QString& url : settings->value(kRecentUrlsKey).toStringList())
            if (IsUrl(url) && portCombo_->findData(url) < 0)
                portCombo_->addItem(url, url);
    // The by-id names are long: the list opens as wide as they are.
    portCombo_->view()->setMinimumWidth(portCombo_->view()->sizeHintForColumn(0) + 24);
}

void CUartParamDlg::ShowSetup()
{
    SaySetup();
    const int asked = ++setupAsked_;
    Aside(
        this, [env = SetupEnvFor(roots_)] { return serial::CheckSetup(env); },
        [this, asked](const std::vector<serial::Finding>& findings) {
            if (asked != setupAsked_)
                return;
            findings_ = FindingsText(findings);
            SaySetup();
        });
}

void CUartParamDlg::SaySetup()
{
    QString text;
    if (portCombo_->count() == 0)
        text = tr("没有找到可以打开的串口。");
    if (!findings_.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + findings_;
    Say(setup_, text);
}

void CUartParamDlg::SayFailure(const QString& text)
{
    ++failureAsked_;
    Say(failure_, text);
}

void CUartParamDlg::OnDevicesChanged()
{
    if (awaitingReconnect()) {
        // A server's return raises no event here: its retries keep time.
        if (!IsUrl(QString::fromStdString(awaited_)))
            TryReconnect();
        return;
    }
    // While the port is open the list stays as it was opened from.
    if (g_Serial.IsOpen()) {
        listStale_ = true;
        return;
    }
    listStale_ = false;
    // Rebuilt without losing what the user chose or typed.
    const int index = portCombo_->currentIndex();
    const bool typed = index < 0 || portCombo_->currentText() != portCombo_->itemText(index);
    const QString text = portCombo_->currentText();
    const QVariant chosen = index >= 0 ? portCombo_->itemData(index) : QVariant();
    portCombo_->clear();
    FillPorts();
    const int again = chosen.isValid() ? portCombo_->findData(chosen) : -1;
    portCombo_->setCurrentIndex(again >= 0 ? again : (portCombo_->count() > 0 && text.isEmpty() ? 0 : -1));
    if (typed || (again < 0 && !text.isEmpty()))
        portCombo_->setEditText(text);
    portCombo_->lineEdit()->setCursorPosition(0);
    ShowSetup();
}

QString CUartParamDlg::ChosenPath() const
{
    const int index = portCombo_->currentIndex();
    if (index >= 0 && portCombo_->currentText() == portCombo_->itemText(index))
        return portCombo_->itemData(index).toString();
    // A label typed or pasted back: its path is what comes before its
    // description or its holder.
    QString text = portCombo_->currentText().trimmed();
    for (const QString& after : {QStringLiteral(" - "), ui::CoreText("serial", serial::kHeldBy)}) {
        const int at = text.indexOf(after);
        if (at > 0)
            text = text.left(at).trimmed();
    }
    return text;
}

void CUartParamDlg::OnOpenClose()
{
    if (connecting()) {
        canceller_->Cancel();
        return;
    }
    SayFailure({});
    if (g_Serial.IsOpen()) {
        g_Serial.Close();
        Say(line_, {});
        openedPath_.clear();
        UpdateState();
        return;
    }
    OpenChosen();
}

void CUartParamDlg::OpenChosen()
{
    const QString path = ChosenPath();
    if (path.isEmpty())
        return;
    // The settings come from the lists only; text typed over them is not a
    // setting, and no port is opened with a guess.
    const int baud = baudCombo_->currentIndex();
    const int parity = parityCombo_->currentIndex();
    if (baud < 0 || parity < 0 || baudCombo_->currentText() != baudCombo_->itemText(baud) ||
        parityCombo_->currentText() != parityCombo_->itemText(parity)) {
        Say(failure_, tr("请从列表中选择波特率和效验位。"));
        return;
    }
    // Opening by hand ends any wait for a lost port.
    awaited_.clear();
    retry_->stop();
    Say(reconnect_, {});
    if (IsUrl(path)) {
        Connect(path, baudCombo_->itemText(baud).toUInt(), static_cast<unsigned>(parity));
        return;
    }
    Say(line_, {});
    if (g_Serial.Open(path.toStdString(), baudCombo_->itemText(baud).toUInt(), static_cast<unsigned>(parity))) {
        const std::string byId = serial::ByIdFor(path.toStdString(), roots_.dev);
        Opened(path.toStdString(), byId.empty() || path.contains(QLatin1String("/serial/by-id/")) ? path.toStdString() : byId);
    } else {
        // Said at once; who holds the port or which group is missing
        // follows from a worker, unless the user has moved on.
        const SerialError error = g_Serial.LastError();
        const int err = g_Serial.LastErrno();
        SayFailure(FailureText(error, err, path, false));
        const int asked = failureAsked_;
        Aside(
            this, [env = SetupEnvFor(roots_), port = path.toStdString()] { return serial::CheckPort(env, port); },
            [this, asked, error, err, path](const std::vector<serial::Finding>& findings) {
                if (asked == failureAsked_ && !findings.empty())
                    Say(failure_, FailureText(error, err, path, true) + QStringLiteral("\n") + FindingsText(findings));
            });
    }
    UpdateState();
}

void CUartParamDlg::Opened(const std::string& path, const std::string& stable)
{
    openedPath_ = path;
    openedStable_ = stable;
    Remember();
}

void CUartParamDlg::Connect(const QString& url, unsigned baudRate, unsigned parity)
{
    const auto parsed = net::ParsePortUrl(url.toStdString());
    if (!parsed) {
        SayFailure(FailureText(SerialError::BadUrl, EINVAL, url, false));
        return;
    }
    canceller_->Reset();
    if (!awaitingReconnect())
        SayFailure({});
    Say(line_, tr("正在连接 %1 …").arg(url));
    auto* watcher = new QFutureWatcher<std::shared_ptr<serial::NetConnection>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [=, this] {
        watcher->deleteLater();
        connectPending_ = false;
        Connected(url, baudRate, parity, *watcher->result());
    });
    connectPending_ = true;
    connecting_ = QtConcurrent::run([url = *parsed, baudRate, parity, cancelFd = canceller_->Fd()] {
        return std::make_shared<serial::NetConnection>(serial::ConnectPort(url, baudRate, parity, cancelFd));
    });
    watcher->setFuture(connecting_);
    UpdateState();
}

void CUartParamDlg::Connected(const QString& url, unsigned baudRate, unsigned parity,
                              serial::NetConnection& connection)
{
    const bool reconnecting = awaitingReconnect() && QString::fromStdString(awaited_) == url;
    const SerialError error = connection.error;
    const int err = connection.err;
    const std::string serverSaid = connection.serverSaid;
    const bool connected = connection.fd >= 0;
    if (!connected || !g_Serial.Adopt(std::move(connection), url.toStdString(), baudRate, parity)) {
        const bool cancelled = !connected && error == SerialError::Closed;
        Say(line_, cancelled ? tr("已取消连接 %1。").arg(url) : QString());
        if (!cancelled)
            SayFailure(connected ? FailureText(g_Serial.LastError(), g_Serial.LastErrno(), url, false)
                                 : FailureText(error, err, url, false, serverSaid));
        if (reconnecting && !cancelled)
            retry_->start(kNetRetryMs);
        // Cancelled by hand while reconnecting: the wait ends with it.
        if (reconnecting && cancelled) {
            awaited_.clear();
            Say(reconnect_, tr("已取消自动重新连接 %1。").arg(lostPath_));
        }
        UpdateState();
        return;
    }
    Opened(url.toStdString(), url.toStdString());
    SayFailure({});
    const QString parityName = QLatin1String(kParityNames[parity < 3 ? parity : 0]);
    Say(line_, g_Serial.ServerKeepsLine()
                   ? tr("已连接 %1。socket:// 端口的波特率和效验位由服务器决定，本页的设置对它不起作用。")
                         .arg(url)
                   : tr("已连接 %1，服务器已确认线路设置：%2 波特，%3，8 位数据位，1 位停止位。")
                         .arg(url)
                         .arg(baudRate)
                         .arg(parityName));
    if (reconnecting) {
        awaited_.clear();
        SayReopened(url, baudRate, parity);
    }
    UpdateState();
}

void CUartParamDlg::SayReopened(const QString& path, unsigned baudRate, unsigned parity)
{
    Say(reconnect_, tr("已重新打开 %1（%2 波特，%3），与断开前的设置相同。断开时中止的传输不会自动继续，"
                                   "请重新开始。")
                        .arg(path)
                        .arg(baudRate)
                        .arg(QLatin1String(kParityNames[parity < 3 ? parity : 0])));
}

void CUartParamDlg::OnReconnectToggled(bool on)
{
    if (const auto settings = ui::Remembered())
        settings->setValue(QStringLiteral("port/reconnect"), on);
    if (on || !awaitingReconnect())
        return;
    awaited_.clear();
    retry_->stop();
    // A reconnect under way must not open the port after all.
    if (connecting())
        canceller_->Cancel();
    Say(reconnect_, tr("已取消自动重新连接 %1。").arg(lostPath_));
}

bool CUartParamDlg::AwaitReconnect(const QString& path, unsigned baudRate, unsigned parity)
{
    const std::string lost = path.toStdString();
    std::string stable = lost == openedPath_ ? openedStable_ : serial::ByIdFor(lost, roots_.dev);
    if (stable.empty())
        stable = lost;
    openedPath_.clear();
    Say(line_, {});
    UpdateState();
    // A pseudo-terminal's name, once gone, is never the same line again.
    if (!reconnectBox_->isChecked() || (stable == lost && serial::IsPseudoTerminal(lost)))
        return false;
    awaited_ = stable;
    lostPath_ = path;
    awaitedBaud_ = baudRate;
    awaitedParity_ = parity;
    if (IsUrl(path))
        Say(reconnect_, tr("网络端口 %1 的连接已断开（服务器关闭了连接、网络中断，或该端口正被另一用户使用）。将以相同设置（%2 波特，%3）"
                                       "每 %4 秒重新连接一次。")
                            .arg(path)
                            .arg(baudRate)
                            .arg(QLatin1String(kParityNames[parity < 3 ? parity : 0]))
                            .arg(kNetRetryMs / 1000));
    else
        Say(reconnect_, tr("串口 %1 已断开。插回同一设备（%2）后，将以相同设置（%3 波特，%4）自动重新打开。")
                            .arg(path, QString::fromStdString(stable))
                            .arg(baudRate)
                            .arg(QLatin1String(kParityNames[parity < 3 ? parity : 0])));
    retriesLeft_ = 0;
    lostClock_.start();
    TryReconnect();
    return true;
}

void CUartParamDlg::TryReconnect()
{
    if (!awaitingReconnect() || g_Serial.IsOpen())
        return;
    if (const qint64 early = kQuietAfterLossMs - lostClock_.elapsed(); early > 0) {
        retry_->start(static_cast<int>(early));
        return;
    }
    if (IsUrl(QString::fromStdString(awaited_))) {
        if (!connecting())
            Connect(QString::fromStdString(awaited_), awaitedBaud_, awaitedParity_);
        return;
    }
    const std::string node = serial::ResolveDevice(awaited_);
    if (node == awaited_ && awaited_.find("/serial/by-id/") != std::string::npos)
        return;  // the link is not back yet
    if (!g_Serial.Open(node, awaitedBaud_, awaitedParity_)) {
        // There but refused: udev may not have set its group yet, or
        // ModemManager is probing it. A close raises no event, so look
        // again a few times.
        if (g_Serial.LastError() != SerialError::NotFound) {
            if (retriesLeft_ == 0)
                retriesLeft_ = 10;
            if (--retriesLeft_ > 0)
                retry_->start(kRetryMs);
            else
                SayFailure(
                    FailureText(g_Serial.LastError(), g_Serial.LastErrno(), QString::fromStdString(node), false));
        }
        return;
    }
    openedPath_ = node;
    openedStable_ = awaited_;
    awaited_.clear();
    retry_->stop();
    SayFailure({});
    SayReopened(QString::fromStdString(node), awaitedBaud_, awaitedParity_);
    UpdateState();
}

void CUartParamDlg::UpdateState()
{
    const bool open = g_Serial.IsOpen();
    const bool busy = open || connecting();
    openButton_->setText(connecting() ? tr("取消") : open ? tr("关闭") : tr("打开"));
    for (QWidget* w : {static_cast<QWidget*>(portCombo_), static_cast<QWidget*>(baudCombo_),
                       static_cast<QWidget*>(parityCombo_), static_cast<QWidget*>(refreshButton_)})
        w->setEnabled(!busy);

    if (!open && listStale_ && !awaitingReconnect())
        OnDevicesChanged();
}
