#include "ui/server/TestServerPage.h"

#include "ui/common/LineEdits.h"
#include "ui/common/Widgets.h"
#include "ui/server/TestServerPageInternal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace ui::server_internal {

QString Caption()
{
    return QCoreApplication::translate("TestServerPage", "测试服务器");
}

}  // namespace ui::server_internal

using ui::server_internal::Caption;

namespace {

// Lines of the data view kept; the oldest go first, as in the TCP page's log.
constexpr int kDataLines = 5000;

QLabel* Label(const QString& caption, QWidget* buddy, QWidget* parent)
{
    auto* label = ui::Label(caption, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

TestServerPage::TestServerPage(ProposalSource proposal, QWidget* parent) : QDialog(parent), proposal_(std::move(proposal))
{
    // Keys the saved position: kept as earlier versions saved it.
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
    // Called on the server's thread: the news are taken on this one.
    server_ = std::make_unique<server::ServerThread>(
        [this] { QMetaObject::invokeMethod(this, &TestServerPage::OnNews, Qt::QueuedConnection); });
    UpdateState(tr("未启动"));
    resize(900, 620);
}

// The server's thread is joined before the widgets go, and a call it
// queued dies with this object.
TestServerPage::~TestServerPage()
{
    // Going, the page takes the focus from a field, whose editingFinished
    // would call into a page half destroyed.
    registration_->disconnect(this);
    heartbeat_->disconnect(this);
}

void TestServerPage::BuildForm()
{
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    auto* listenBox = new QGroupBox(tr("监听"), this);
    host_ = new QLineEdit(QStringLiteral("0.0.0.0"), listenBox);
    host_->setObjectName(QStringLiteral("hostEdit"));
    host_->setToolTip(tr("数字地址，不查域名；0.0.0.0 表示本机所有地址"));
    auto* digits = new ui::DigitEdit(listenBox);
    digits->setTypingLimit(5);
    port_ = digits;
    port_->setObjectName(QStringLiteral("portEdit"));
    port_->setMaximumWidth(80);
    startStop_ = ui::Button(listenBox, tr("启动"), "startStopButton");
    status_ = ui::Label(listenBox);
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
    // Room for the values, and at least for the header in the window's
    // language: English words are wider than the Chinese ones.
    const int widths[ColumnCount] = {44, 150, 96, 70, 70, 96, 140, 70, 50, 80};
    for (int c = 0; c < ColumnCount; ++c)
        table_->setColumnWidth(c, std::max(widths[c], table_->header()->sectionSizeHint(c)));
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
    logPath_ = ui::Label(tr("未记录"), this);
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

void TestServerPage::Connect()
{
    connect(startStop_, &QPushButton::clicked, this, &TestServerPage::OnStartStop);
    connect(propose_, &QPushButton::clicked, this, &TestServerPage::OnPropose);
    connect(registration_, &QLineEdit::editingFinished, this, &TestServerPage::OnExpectedChanged);
    connect(heartbeat_, &QLineEdit::editingFinished, this, &TestServerPage::OnExpectedChanged);
    connect(expectedHex_, &QCheckBox::toggled, this, &TestServerPage::OnExpectedChanged);
    connect(sendSelected_, &QPushButton::clicked, this, &TestServerPage::OnSendSelected);
    connect(send_, &QLineEdit::returnPressed, this, &TestServerPage::OnSendSelected);
    connect(sendAll_, &QPushButton::clicked, this, &TestServerPage::OnSendAll);
    connect(closeSelected_, &QPushButton::clicked, this, &TestServerPage::OnCloseSelected);
    connect(logButton_, &QPushButton::clicked, this, &TestServerPage::OnLog);
    connect(table_, &QTreeWidget::itemSelectionChanged, this, &TestServerPage::OnSelection);
    connect(dataHex_, &QCheckBox::toggled, this, &TestServerPage::OnView);
    connect(encoding_, &QComboBox::currentIndexChanged, this, &TestServerPage::OnView);
}

text::Encoding TestServerPage::encoding() const
{
    return encoding_->currentIndex() == 1 ? text::Encoding::Utf8 : text::Encoding::Gbk;
}

void TestServerPage::showEvent(QShowEvent* e)
{
    // The DTU page's port and packets, unless the user has typed his own.
    if (!running_)
        Propose(true);
    QDialog::showEvent(e);
}
