// The window and its bar: the filters, pause and clear, the count of rows
// the table shows, and the received bytes it could not keep up with.
#include "ui/monitor/MonitorWindow.h"

#include "core/dtu/Commands.h"
#include "driver/serial/BufferedPort.h"
#include "ui/common/Widgets.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>


namespace {

// The codes a user may filter by: every code the tool sends (0xF3 covers the
// wireless write and the boot-loader blocks alike).
namespace cmd = dtu::cmd;
const std::uint8_t kCodes[] = {
    cmd::kWritePhoneList, cmd::kReadPhoneList, cmd::kWriteIdList,  cmd::kReadIdList,   cmd::kSetDomain,
    cmd::kSetServerIp,    cmd::kSetPort,       cmd::kSetWorkMode,  cmd::kReadNetParams, cmd::kClearPhoneList,
    cmd::kClearIdList,    cmd::kWriteUart,     cmd::kReadUart,     cmd::kReadOwnId,    cmd::kAppImage,
    cmd::kReadVersion,    cmd::kRestart,       cmd::kWriteRf,      cmd::kReadRf,       cmd::kSetApn,
    cmd::kWritePackets,   cmd::kReadPackets,   cmd::kSetOwnId,     cmd::kSetClock,     cmd::kReadClock,
    cmd::kReadSignal};

}  // namespace

MonitorWindow::MonitorWindow(QWidget* parent, std::size_t maxFrames) : QDialog(parent), log_(maxFrames)
{
    setObjectName(QStringLiteral("CMonitorDlg"));
    setWindowTitle(tr("线路监视"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/monitor.svg")));
    // Its own window beside the pages, never modal.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);

    direction_ = ui::Tag(new QComboBox(this), 2001, "directionCombo");
    direction_->addItems({tr("全部"), tr("发送"), tr("接收")});
    auto* directionLabel = ui::Label(tr("方向(&D)："), this);
    directionLabel->setBuddy(direction_);

    command_ = ui::Tag(new QComboBox(this), 2002, "commandCombo");
    command_->addItem(tr("全部命令"), -1);
    for (const std::uint8_t code : kCodes)
        command_->addItem(QStringLiteral("%1 %2").arg(code, 2, 16, QLatin1Char('0')).toUpper().arg(QString::fromStdString(monitor::CommandName(code))),
                          int{code});
    command_->addItem(tr("数据帧（短信/TCP/透传）"), monitor::Filter::kDataFrames);
    auto* commandLabel = ui::Label(tr("命令(&M)："), this);
    commandLabel->setBuddy(command_);

    pause_ = ui::Tag(new QPushButton(tr("暂停(&P)"), this), 2003, "pauseButton");
    pause_->setCheckable(true);
    pause_->setAccessibleDescription(tr("暂停时照常记录，表格在继续后补上"));
    auto* clear = ui::Tag(new QPushButton(tr("清除(&L)"), this), 2004, "clearButton");
    auto* copy = ui::Tag(new QPushButton(tr("复制(&C)"), this), 2005, "copyButton");
    copy->setAccessibleDescription(tr("把选中的行作为文本复制到剪贴板"));
    auto* save = ui::Tag(new QPushButton(tr("保存(&S)…"), this), 2006, "saveButton");
    save->setAccessibleDescription(tr("把表格中的行保存为文本或 CSV 文件"));
    count_ = ui::Tag(ui::Label(this), 2007, "countLabel");
    count_->setAccessibleDescription(tr("表格中的帧数"));
    dropped_ = ui::Named(ui::Label(this), "droppedLabel");
    dropped_->setAccessibleDescription(tr("收到但未能记录的字节数"));
    dropped_->hide();

    model_ = new MonitorModel(log_, this);
    table_ = ui::Tag(new QTableView(this), 2008, "frameTable");
    table_->setModel(model_);
    table_->setAccessibleName(tr("线路上的帧"));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setWordWrap(false);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->hide();
    // Fixed row heights: no row is measured, however many there are.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setColumnWidth(MonitorModel::Time, 96);
    table_->setColumnWidth(MonitorModel::Direction, 70);
    table_->setColumnWidth(MonitorModel::Length, 50);
    table_->setColumnWidth(MonitorModel::Bytes, 260);

    connect(direction_, &QComboBox::currentIndexChanged, this, &MonitorWindow::OnFilter);
    connect(command_, &QComboBox::currentIndexChanged, this, &MonitorWindow::OnFilter);
    connect(pause_, &QPushButton::toggled, this, &MonitorWindow::OnPause);
    connect(clear, &QPushButton::clicked, this, &MonitorWindow::OnClear);
    connect(copy, &QPushButton::clicked, this, &MonitorWindow::OnCopy);
    connect(save, &QPushButton::clicked, this, &MonitorWindow::OnSave);
    auto* copyKey = new QShortcut(QKeySequence::Copy, table_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(copyKey, &QShortcut::activated, this, &MonitorWindow::OnCopy);

    auto* bar = new QHBoxLayout;
    bar->addWidget(directionLabel);
    bar->addWidget(direction_);
    bar->addWidget(commandLabel);
    bar->addWidget(command_);
    bar->addWidget(pause_);
    bar->addWidget(clear);
    bar->addWidget(copy);
    bar->addWidget(save);
    bar->addStretch(1);
    bar->addWidget(dropped_);
    bar->addWidget(count_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(table_, 1);
    resize(1000, 440);
    UpdateCount();

    g_Serial.SetWriteObserver(this);
    stream_ = new ui::StreamReader({{}, [this](ui::StreamReader::Records& records) { RecordCut(records); },
                                    [this](quint64) { UpdateDropped(); }},
                                   this);
}

MonitorWindow::~MonitorWindow()
{
    // After this no Write calls us; a posted TakeSent dies with the object.
    g_Serial.RemoveWriteObserver(this);
}

void MonitorWindow::UpdateCount()
{
    count_->setText(tr("%1 帧").arg(model_->rowCount()));
}

void MonitorWindow::UpdateDropped()
{
    const quint64 dropped = stream_->droppedBytes();
    dropped_->setVisible(dropped > 0);
    dropped_->setText(dropped > 0 ? ui::StreamReader::DroppedText(dropped) : QString());
}

void MonitorWindow::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    Refresh();
}

void MonitorWindow::OnFilter()
{
    monitor::Filter filter;
    const int direction = direction_->currentIndex();
    filter.sent = direction != 2;
    filter.received = direction != 1;
    filter.command = command_->currentData().toInt();
    TakeSent();
    model_->Reset(filter);
    table_->scrollToBottom();
    UpdateCount();
}

void MonitorWindow::OnPause(bool paused)
{
    paused_ = paused;
    pause_->setText(paused ? tr("继续(&P)") : tr("暂停(&P)"));
    if (!paused)
        Refresh();
}

void MonitorWindow::OnClear()
{
    TakeSent();
    log_.Clear();
    expiry_.stop();
    model_->Sync();
    UpdateCount();
    stream_->ResetDropped();
    UpdateDropped();
}
