#include "ui/serial/SerialSettingsPage.h"
#include "ui/serial/SerialSettingsPageInternal.h"

#include "core/net/PortUrl.h"
#include "driver/serial/BufferedPort.h"
#include "driver/serial/Hotplug.h"
#include "driver/serial/NetPort.h"
#include "ui/common/Records.h"
#include "ui/common/Settings.h"
#include "ui/common/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>
#include <QVBoxLayout>

using ui::serial_internal::IsUrl;
using ui::serial_internal::Say;

namespace {

const char* const kParityNames[] = {"NO", "ODD", "EVEN"};

QComboBox* Combo(QWidget* parent, const char* name, int id, const QStringList& items)
{
    return ui::Tag(ui::DropDown(parent, items), id, name);
}

QLabel* Note(QWidget* parent, const char* name, const QString& description)
{
    auto* label = ui::Label(parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setAccessibleDescription(description);
    // The commands in it are meant to be copied.
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->hide();
    return label;
}

}  // namespace

bool ui::serial_internal::IsUrl(const QString& path)
{
    return net::LooksLikeUrl(path.toStdString());
}

QLatin1String ui::serial_internal::ParityName(unsigned parity)
{
    return QLatin1String(kParityNames[parity < 3 ? parity : 0]);
}

void ui::serial_internal::Say(QLabel* label, const QString& text)
{
    label->setText(text);
    label->setVisible(!text.isEmpty());
}

SerialSettingsPage::SerialSettingsPage(PortSource ports, QWidget* parent, serial::Roots roots, PortNames names)
    : QDialog(parent), ports_(std::move(ports)), roots_(std::move(roots)), names_(std::move(names))
{
    // Keys the saved position: kept as earlier versions saved it.
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
        auto* label = ui::Label(caption, group);
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

    connect(openButton_, &QPushButton::clicked, this, &SerialSettingsPage::OnOpenClose);
    connect(refreshButton_, &QPushButton::clicked, this, &SerialSettingsPage::OnRefresh);
    connect(reconnectBox_, &QCheckBox::toggled, this, &SerialSettingsPage::OnReconnectToggled);

    settle_ = new QTimer(this);
    settle_->setSingleShot(true);
    settle_->setInterval(250);
    connect(settle_, &QTimer::timeout, this, &SerialSettingsPage::OnDevicesChanged);
    retry_ = new QTimer(this);
    retry_->setSingleShot(true);
    connect(retry_, &QTimer::timeout, this, &SerialSettingsPage::TryReconnect);

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

SerialSettingsPage::~SerialSettingsPage()
{
    // The worker holds no reference into the page, but the canceller goes
    // with it: the connection gives up first.
    canceller_->Cancel();
    connecting_.waitForFinished();
}

QString SerialSettingsPage::lineText() const
{
    return line_->text();
}

QString SerialSettingsPage::failureText() const
{
    return failure_->text();
}

QString SerialSettingsPage::reconnectText() const
{
    return reconnect_->text();
}

QString SerialSettingsPage::setupText() const
{
    return setup_->text();
}

void SerialSettingsPage::OnOpenClose()
{
    Follow();
    switch (state_) {
    case State::Connecting:
    case State::Reconnecting:
        canceller_->Cancel();
        return;
    case State::Open:
        SayFailure({});
        g_Serial.Close();
        ui::ForgetUnit();
        Say(line_, {});
        opened_.path.clear();
        Step(Event::Closed);
        UpdateState();
        return;
    case State::Idle:
    case State::Awaiting:
    case State::Retrying:
        SayFailure({});
        OpenChosen();
        return;
    }
}

void SerialSettingsPage::OpenChosen()
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
    Step(Event::WaitEnded);
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
        SayOpenFailure(g_Serial.LastError(), g_Serial.LastErrno(), path);
    }
    UpdateState();
}

void SerialSettingsPage::Opened(const std::string& path, const std::string& stable)
{
    ui::ForgetUnit();
    opened_.path = path;
    opened_.stable = stable;
    Step(Event::Opened);
    Remember();
}

// Other parts may close g_Serial, or open it before the page exists: the
// state follows it.
void SerialSettingsPage::Follow()
{
    if (state_ == State::Open && !g_Serial.IsOpen())
        Step(Event::Closed);
    else if (state_ == State::Idle && g_Serial.IsOpen())
        Step(Event::Opened);
}

void SerialSettingsPage::UpdateState()
{
    Follow();
    const bool open = state_ == State::Open;
    const bool busy = open || connecting();
    // The lists of an open port show what it is open with.
    if (open) {
        if (const int baud = baudCombo_->findText(QString::number(g_Serial.BaudRate())); baud >= 0)
            baudCombo_->setCurrentIndex(baud);
        if (g_Serial.Parity() < static_cast<unsigned>(parityCombo_->count()))
            parityCombo_->setCurrentIndex(static_cast<int>(g_Serial.Parity()));
    }
    openButton_->setText(connecting() ? tr("取消") : open ? tr("关闭") : tr("打开"));
    for (QWidget* w : {static_cast<QWidget*>(portCombo_), static_cast<QWidget*>(baudCombo_),
                       static_cast<QWidget*>(parityCombo_), static_cast<QWidget*>(refreshButton_)})
        w->setEnabled(!busy);

    if (!open && opened_.listStale)
        RebuildList();
}
