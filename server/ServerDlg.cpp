#include "server/ServerDlg.h"

#include "common/FileDialog.h"
#include "common/Hex.h"
#include "common/LineEdits.h"
#include "common/MessageBox.h"
#include "common/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSocketNotifier>
#include <QTimerEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Lines of the data view kept; the oldest go first, as in the TCP page's log.
constexpr int kDataLines = 5000;
constexpr int kRedrawMs = 250;
constexpr int kIdRole = Qt::UserRole;

QString FromStd(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString Caption()
{
    return QCoreApplication::translate("CServerDlg", "测试服务器");
}

QLabel* Label(const QString& caption, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

QString Seconds(std::int64_t ms)
{
    return ms < 0 ? QStringLiteral("—") : QStringLiteral("%1 s").arg(static_cast<double>(ms) / 1000.0, 0, 'f', 3);
}

QString KindText(const server::Packet& p)
{
    switch (p.kind) {
    case server::EventKind::Registration:
        return QCoreApplication::translate("CServerDlg", "注册包");
    case server::EventKind::Heartbeat:
        return QCoreApplication::translate("CServerDlg", "心跳");
    default:
        return QCoreApplication::translate("CServerDlg", "数据");
    }
}

}  // namespace

CServerDlg::CServerDlg(ProposalSource proposal, QWidget* parent) : QDialog(parent), proposal_(std::move(proposal))
{
    setObjectName(QStringLiteral("CServerDlg"));
    setWindowTitle(Caption());
    setWindowIcon(QIcon(QStringLiteral(":/icons/server.svg")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    BuildForm();
    Connect();
    // A thousand DTUs need a thousand descriptors, more than many a
    // session's default soft limit.
    server::RaiseDescriptorLimit(server::Options{}.maxConnections + 256);
    notifier_ = new QSocketNotifier(server_.fd(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &CServerDlg::OnReady);
    UpdateState(tr("未启动"));
    resize(900, 620);
}

CServerDlg::~CServerDlg() = default;

void CServerDlg::BuildForm()
{
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    auto* listenBox = new QGroupBox(tr("监听"), this);
    host_ = new QLineEdit(QStringLiteral("0.0.0.0"), listenBox);
    host_->setObjectName(QStringLiteral("hostEdit"));
    host_->setToolTip(tr("0.0.0.0 表示本机所有地址"));
    auto* digits = new ui::DigitEdit(listenBox);
    digits->setTypingLimit(5);
    port_ = digits;
    port_->setObjectName(QStringLiteral("portEdit"));
    port_->setMaximumWidth(80);
    startStop_ = ui::Button(listenBox, tr("启动"), "startStopButton");
    status_ = new QLabel(listenBox);
    status_->setObjectName(QStringLiteral("statusLabel"));
    status_->setAccessibleDescription(tr("服务器状态"));
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* listenLayout = new QHBoxLayout(listenBox);
    listenLayout->addWidget(Label(tr("地址(&A):"), host_, listenBox));
    listenLayout->addWidget(host_);
    listenLayout->addWidget(Label(tr("端口(&P):"), port_, listenBox));
    listenLayout->addWidget(port_);
    listenLayout->addWidget(startStop_);
    listenLayout->addWidget(status_, 1);

    auto* expectBox = new QGroupBox(tr("期望的注册包和心跳包"), this);
    registration_ = new QLineEdit(expectBox);
    registration_->setObjectName(QStringLiteral("registrationEdit"));
    heartbeat_ = new QLineEdit(expectBox);
    heartbeat_->setObjectName(QStringLiteral("heartbeatEdit"));
    expectedHex_ = new QCheckBox(QStringLiteral("Hex"), expectBox);
    expectedHex_->setObjectName(QStringLiteral("expectedHexCheck"));
    expectedHex_->setAccessibleDescription(tr("期望的包按十六进制输入"));
    propose_ = ui::Button(expectBox, tr("取自DTU参数页"), "proposeButton");
    propose_->setToolTip(tr("远程端口、注册包和心跳包取自“DTU参数设置”页"));
    auto* expectLayout = new QHBoxLayout(expectBox);
    expectLayout->addWidget(Label(tr("注册包(&R):"), registration_, expectBox));
    expectLayout->addWidget(registration_, 2);
    expectLayout->addWidget(Label(tr("心跳包(&H):"), heartbeat_, expectBox));
    expectLayout->addWidget(heartbeat_, 1);
    expectLayout->addWidget(expectedHex_);
    expectLayout->addWidget(propose_);

    table_ = new QTreeWidget(this);
    table_->setObjectName(QStringLiteral("connectionTable"));
    table_->setAccessibleName(tr("连接"));
    table_->setAccessibleDescription(tr("每个连接一行：DTU 地址、连接时间、收发字节、注册包比对和心跳"));
    table_->setRootIsDecorated(false);
    table_->setUniformRowHeights(true);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setHeaderLabels({tr("编号"), tr("DTU地址"), tr("连接时间"),
                             tr("收(字节)"), tr("发(字节)"), tr("最后活动"),
                             tr("注册包"), tr("注册比对"), tr("心跳"),
                             tr("心跳间隔")});
    const int widths[ColumnCount] = {44, 150, 96, 70, 70, 96, 140, 70, 50, 80};
    for (int c = 0; c < ColumnCount; ++c)
        table_->setColumnWidth(c, widths[c]);
    table_->setMinimumHeight(150);

    auto* dataBox = new QGroupBox(tr("所选连接的数据"), this);
    data_ = new QPlainTextEdit(dataBox);
    data_->setObjectName(QStringLiteral("dataView"));
    data_->setReadOnly(true);
    data_->setUndoRedoEnabled(false);
    data_->setFont(fixed);
    data_->setMaximumBlockCount(kDataLines);
    data_->setAccessibleName(dataBox->title());
    data_->setToolTip(tr("只显示最新的 %1 行").arg(kDataLines));
    dataHex_ = new QCheckBox(tr("Hex显示"), dataBox);
    dataHex_->setObjectName(QStringLiteral("dataHexCheck"));
    encoding_ = new QComboBox(dataBox);
    encoding_->setObjectName(QStringLiteral("encodingBox"));
    encoding_->addItems({QStringLiteral("GBK"), QStringLiteral("UTF-8")});
    auto* viewRow = new QHBoxLayout;
    viewRow->addWidget(dataHex_);
    viewRow->addWidget(Label(tr("文本编码(&E):"), encoding_, dataBox));
    viewRow->addWidget(encoding_);
    viewRow->addStretch();

    send_ = new QLineEdit(dataBox);
    send_->setObjectName(QStringLiteral("sendEdit"));
    sendHex_ = new QCheckBox(QStringLiteral("Hex"), dataBox);
    sendHex_->setObjectName(QStringLiteral("sendHexCheck"));
    sendHex_->setAccessibleDescription(tr("发送内容按十六进制输入"));
    sendSelected_ = ui::Button(dataBox, tr("发送到所选"), "sendSelectedButton");
    sendAll_ = ui::Button(dataBox, tr("发送到全部"), "sendAllButton");
    closeSelected_ = ui::Button(dataBox, tr("断开所选"), "closeSelectedButton");
    auto* sendRow = new QHBoxLayout;
    sendRow->addWidget(Label(tr("发送(&S):"), send_, dataBox));
    sendRow->addWidget(send_, 1);
    sendRow->addWidget(sendHex_);
    sendRow->addWidget(sendSelected_);
    sendRow->addWidget(sendAll_);
    sendRow->addWidget(closeSelected_);
    auto* dataLayout = new QVBoxLayout(dataBox);
    dataLayout->addLayout(viewRow);
    dataLayout->addWidget(data_, 1);
    dataLayout->addLayout(sendRow);

    logButton_ = ui::Button(this, tr("记录到文件..."), "logButton");
    logPath_ = new QLabel(tr("未记录"), this);
    logPath_->setObjectName(QStringLiteral("logPathLabel"));
    logPath_->setAccessibleDescription(tr("日志文件"));
    auto* logRow = new QHBoxLayout;
    logRow->addWidget(logButton_);
    logRow->addWidget(logPath_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listenBox);
    layout->addWidget(expectBox);
    layout->addWidget(table_, 1);
    layout->addWidget(dataBox, 1);
    layout->addLayout(logRow);
}

void CServerDlg::Connect()
{
    connect(startStop_, &QPushButton::clicked, this, &CServerDlg::OnStartStop);
    connect(propose_, &QPushButton::clicked, this, &CServerDlg::OnPropose);
    connect(registration_, &QLineEdit::editingFinished, this, &CServerDlg::OnExpectedChanged);
    connect(heartbeat_, &QLineEdit::editingFinished, this, &CServerDlg::OnExpectedChanged);
    connect(expectedHex_, &QCheckBox::toggled, this, &CServerDlg::OnExpectedChanged);
    connect(sendSelected_, &QPushButton::clicked, this, &CServerDlg::OnSendSelected);
    connect(send_, &QLineEdit::returnPressed, this, &CServerDlg::OnSendSelected);
    connect(sendAll_, &QPushButton::clicked, this, &CServerDlg::OnSendAll);
    connect(closeSelected_, &QPushButton::clicked, this, &CServerDlg::OnCloseSelected);
    connect(logButton_, &QPushButton::clicked, this, &CServerDlg::OnLog);
    connect(table_, &QTreeWidget::itemSelectionChanged, this, &CServerDlg::OnSelection);
    connect(dataHex_, &QCheckBox::toggled, this, &CServerDlg::OnView);
    connect(encoding_, &QComboBox::currentIndexChanged, this, &CServerDlg::OnView);
}

server::Encoding CServerDlg::encoding() const
{
    return encoding_->currentIndex() == 1 ? server::Encoding::Utf8 : server::Encoding::Gbk;
}

void CServerDlg::showEvent(QShowEvent* e)
{
    // The DTU page's port and packets, unless the user has typed his own.
    if (!server_.running())
        Propose(true);
    QDialog::showEvent(e);
}

void CServerDlg::OnPropose()
{
    Propose(false);
    OnExpectedChanged();
}

void CServerDlg::Propose(bool onlyEmpty)
{
    if (!proposal_)
        return;
    const Proposal p = proposal_();
    const auto put = [&](QLineEdit* edit, const QString& text) {
        if (!onlyEmpty || edit->text().isEmpty())
            edit->setText(text);
    };
    const auto packet = [&](const std::optional<server::Bytes>& bytes) {
        if (!bytes)
            return QString();
        if (expectedHex_->isChecked())
            return FromStd(hex::FormatSpaced(*bytes)).trimmed();
        return FromStd(server::PacketText(*bytes, server::Encoding::Gbk));
    };
    if (!server_.running())
        put(port_, p.port);
    put(registration_, packet(p.registration));
    put(heartbeat_, packet(p.heartbeat));
}

bool CServerDlg::Expected(QLineEdit* edit, std::optional<server::Bytes>& out, const QString& what)
{
    out.reset();
    const QString typed = edit->text();
    if (typed.trimmed().isEmpty())
        return true;
    auto parsed = server::ParseSendText(typed.toStdString(), expectedHex_->isChecked(), server::Encoding::Gbk);
    if (auto* refusal = std::get_if<std::string>(&parsed)) {
        ui::ShowMessage(this, Caption(), what + tr("：") + FromStd(*refusal), ui::Buttons::Ok,
                        QMessageBox::Warning);
        return false;
    }
    out = std::get<server::Bytes>(parsed);
    return true;
}

void CServerDlg::OnExpectedChanged()
{
    if (!server_.running())
        return;
    std::optional<server::Bytes> registration, heartbeat;
    if (Expected(registration_, registration, tr("注册包")) &&
        Expected(heartbeat_, heartbeat, tr("心跳包")))
        server_.SetExpected(registration, heartbeat);
}

void CServerDlg::OnStartStop()
{
    if (server_.running()) {
        server_.Stop(server::Now::Current());
        OnReady();
        UpdateState(tr("已停止"));
        return;
    }
    server::Options options;
    options.host = host_->text().trimmed().toStdString();
    const bool portOk = !port_->text().isEmpty() && port_->text().toUInt() <= 65535;
    if (!portOk) {
        ui::ShowMessage(this, Caption(), tr("端口须为 0 到 65535 的数字！"), ui::Buttons::Ok,
                        QMessageBox::Warning);
        return;
    }
    options.port = static_cast<std::uint16_t>(port_->text().toUInt());
    if (!Expected(registration_, options.registration, tr("注册包")) ||
        !Expected(heartbeat_, options.heartbeat, tr("心跳包")))
        return;
    const std::string error = server_.Start(options, server::Now::Current());
    if (!error.empty()) {
        UpdateState(tr("无法监听"));
        ui::ShowMessage(this, Caption(), tr("无法启动服务器：%1").arg(FromStd(error)), ui::Buttons::Ok,
                        QMessageBox::Warning);
        return;
    }
    table_->clear();
    rows_.clear();
    data_->clear();
    OnReady();
    UpdateState(tr("正在监听 %1:%2（TCP，无认证）").arg(host_->text().trimmed()).arg(server_.port()));
}

void CServerDlg::UpdateState(const QString& status)
{
    const bool running = server_.running();
    startStop_->setText(running ? tr("停止") : tr("启动"));
    host_->setEnabled(!running);
    port_->setEnabled(!running);
    status_->setText(status);
}

void CServerDlg::OnReady()
{
    server_.Process(server::Now::Current());
    for (const server::Event& e : server_.TakeEvents())
        Handle(e);
}

void CServerDlg::Handle(const server::Event& e)
{
    if (log_.isOpen()) {
        log_.write(server::FormatEvent(e, encoding()).append("\n").c_str());
        log_.flush();
    }
    switch (e.kind) {
    case server::EventKind::Connected: {
        auto* item = new QTreeWidgetItem(table_);
        rows_[e.id] = item;
        item->setData(Id, kIdRole, QVariant::fromValue<qulonglong>(e.id));
        item->setText(Id, QString::number(e.id));
        item->setText(Peer, FromStd(e.peer));
        item->setText(Since, FromStd(server::FormatTime(e.wallMs)).left(8));
        UpdateRow(e.id);
        break;
    }
    case server::EventKind::Closed:
        dirty_.erase(e.id);
        delete Row(e.id);
        rows_.erase(e.id);
        break;
    case server::EventKind::Registration:
    case server::EventKind::Heartbeat:
    case server::EventKind::Data:
    case server::EventKind::Sent:
        if (e.id == SelectedId()) {
            server::Packet p{e.wallMs, e.kind == server::EventKind::Sent, e.kind, e.bytes};
            AppendPacket(p);
        }
        // What a person looks for at once is drawn at once; counters wait.
        if (e.kind == server::EventKind::Registration)
            UpdateRow(e.id);
        else
            dirty_.insert(e.id);
        if (!redraw_.isActive())
            redraw_.start(kRedrawMs, this);
        break;
    default:
        break;
    }
}

void CServerDlg::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != redraw_.timerId()) {
        QDialog::timerEvent(e);
        return;
    }
    redraw_.stop();
    for (const std::uint64_t id : dirty_)
        UpdateRow(id);
    dirty_.clear();
}

QTreeWidgetItem* CServerDlg::Row(std::uint64_t id) const
{
    const auto it = rows_.find(id);
    return it == rows_.end() ? nullptr : it->second;
}

void CServerDlg::UpdateRow(std::uint64_t id)
{
    const server::Connection* c = server_.Find(id);
    QTreeWidgetItem* item = Row(id);
    if (!c || !item)
        return;
    item->setText(BytesIn, QString::number(c->bytesIn));
    item->setText(BytesOut, QString::number(c->bytesOut));
    item->setText(LastActivity, FromStd(server::FormatTime(c->lastActivityWallMs)).left(8));
    if (c->registration) {
        item->setText(Registration, FromStd(server::PacketText(*c->registration, encoding())));
        item->setToolTip(Registration, FromStd(hex::FormatSpaced(*c->registration)));
    }
    // "—": nothing was expected to compare with.
    const QString compared[] = {QStringLiteral("—"), tr("一致"), tr("不一致")};
    item->setText(Compared, c->registration ? compared[static_cast<int>(c->registrationMatch)]
                                            : tr("未收到"));
    const QColor colour = c->registrationMatch == server::Match::Equal       ? QColor(0x00, 0x80, 0x00)
                          : c->registrationMatch == server::Match::Different ? QColor(0xB0, 0x00, 0x00)
                                                                             : table_->palette().placeholderText().color();
    item->setForeground(Compared, colour);
    item->setText(Heartbeats, QString::number(c->heartbeats));
    item->setText(Interval, Seconds(c->lastIntervalMs));
}

std::uint64_t CServerDlg::SelectedId() const
{
    const QList<QTreeWidgetItem*> selected = table_->selectedItems();
    return selected.isEmpty() ? 0 : selected.first()->data(Id, kIdRole).toULongLong();
}

void CServerDlg::OnSelection()
{
    ShowHistory();
}

void CServerDlg::OnView()
{
    ShowHistory();
    for (int i = 0; i < table_->topLevelItemCount(); ++i)
        UpdateRow(table_->topLevelItem(i)->data(Id, kIdRole).toULongLong());
}

void CServerDlg::ShowHistory()
{
    data_->clear();
    if (const server::Connection* c = server_.Find(SelectedId()))
        for (const server::Packet& p : c->history)
            AppendPacket(p);
}

void CServerDlg::AppendPacket(const server::Packet& p)
{
    const QString body = dataHex_->isChecked() ? FromStd(hex::FormatSpaced(p.bytes)).trimmed()
                                               : FromStd(server::PacketText(p.bytes, encoding()));
    const QString line = tr("%1 %2 %3 %4字节: %5")
                             .arg(FromStd(server::FormatTime(p.wallMs)), p.sent ? tr("发") : tr("收"),
                                  p.sent ? tr("数据") : KindText(p))
                             .arg(p.bytes.size())
                             .arg(body);
    QScrollBar* bar = data_->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    data_->appendPlainText(line);
    if (following)
        bar->setValue(bar->maximum());
}

QString CServerDlg::dataText() const
{
    return data_->toPlainText();
}

std::optional<server::Bytes> CServerDlg::TypedToSend()
{
    auto parsed = server::ParseSendText(send_->text().toStdString(), sendHex_->isChecked(), encoding());
    if (auto* refusal = std::get_if<std::string>(&parsed)) {
        ui::ShowMessage(this, Caption(), FromStd(*refusal), ui::Buttons::Ok, QMessageBox::Warning);
        return std::nullopt;
    }
    if (std::get<server::Bytes>(parsed).empty())
        return std::nullopt;
    return std::get<server::Bytes>(parsed);
}

void CServerDlg::OnSendSelected()
{
    const std::uint64_t id = SelectedId();
    if (id == 0) {
        ui::ShowMessage(this, Caption(), tr("请先在列表中选择一个连接！"), ui::Buttons::Ok,
                        QMessageBox::Warning);
        return;
    }
    const auto bytes = TypedToSend();
    if (!bytes)
        return;
    const std::string refusal = server_.Send(id, *bytes, server::Now::Current());
    OnReady();
    if (!refusal.empty())
        ui::ShowMessage(this, Caption(), tr("未发送：%1").arg(FromStd(refusal)), ui::Buttons::Ok,
                        QMessageBox::Warning);
}

void CServerDlg::OnSendAll()
{
    const auto bytes = TypedToSend();
    if (!bytes)
        return;
    const std::size_t took = server_.SendAll(*bytes, server::Now::Current());
    OnReady();
    if (took == 0)
        ui::ShowMessage(this, Caption(), tr("没有已连接的DTU，未发送。"), ui::Buttons::Ok,
                        QMessageBox::Warning);
}

void CServerDlg::OnCloseSelected()
{
    const std::uint64_t id = SelectedId();
    if (id == 0)
        return;
    server_.Close(id, server::Now::Current());
    OnReady();
}

void CServerDlg::OnLog()
{
    if (log_.isOpen()) {
        log_.close();
        logButton_->setText(tr("记录到文件..."));
        logPath_->setText(tr("未记录"));
        return;
    }
    const QString path = ui::GetSaveFileName(this, tr("日志文件 (*.log *.txt);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    log_.setFileName(path);
    if (!log_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        ui::ShowMessage(this, Caption(), tr("无法写入 %1：%2").arg(path, log_.errorString()), ui::Buttons::Ok,
                        QMessageBox::Warning);
        return;
    }
    logButton_->setText(tr("停止记录"));
    logPath_->setText(tr("记录到 %1").arg(path));
}
