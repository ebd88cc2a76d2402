#include "monitor/MonitorDlg.h"

#include "common/FileDialog.h"
#include "common/MessageBox.h"
#include "common/Widgets.h"
#include "dtu/Commands.h"
#include "serial/KVSerial.h"
#include "upgrade/Transfer.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <QTimerEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <map>

namespace {

using monitor::Direction;

std::int64_t WallMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::int64_t SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

QString FromStd(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Only the decoded text of rows on screen is kept; a screenful is far less.
constexpr std::size_t kDecodedCache = 512;

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

// ---------------------------------------------------------------- model

CMonitorModel::CMonitorModel(const monitor::LineLog& log, QObject* parent)
    : QAbstractTableModel(parent), log_(log), nextSeq_(log.firstSeq()), cache_(kDecodedCache)
{
}

int CMonitorModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size() - firstRow_);
}

int CMonitorModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

const monitor::Entry* CMonitorModel::EntryAt(int row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size() - firstRow_)
        return nullptr;
    return log_.Find(rows_[firstRow_ + static_cast<std::size_t>(row)]);
}

const CMonitorModel::Decoded& CMonitorModel::Decode(const monitor::Entry& e) const
{
    Decoded& d = cache_[e.seq % cache_.size()];
    if (d.seq != e.seq || d.unanswered != e.unanswered) {
        const monitor::FrameMeaning m = monitor::DecodeFrame(e.direction, e.bytes);
        d.seq = e.seq;
        d.unanswered = e.unanswered;
        d.meaning = FromStd(monitor::Meaning(e));
        d.bad = !m.envelopeOk || e.unanswered;
    }
    return d;
}

QVariant CMonitorModel::data(const QModelIndex& index, int role) const
{
    const monitor::Entry* e = EntryAt(index.row());
    if (!e)
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        switch (index.column()) {
        case Time:
            return FromStd(monitor::FormatTime(e->wallMs));
        case Direction:
            return QString::fromUtf8(monitor::DirectionName(e->direction));
        case Length:
            return static_cast<qulonglong>(e->bytes.size());
        case Bytes:
            // A 1 KiB block would make a 3 KiB cell; the rest is in the tool tip.
            if (role == Qt::DisplayRole && e->bytes.size() > 64)
                return FromStd(monitor::HexText(std::span(e->bytes).first(64))) + QStringLiteral(" …");
            return FromStd(monitor::HexText(e->bytes));
        case Meaning:
            return Decode(*e).meaning;
        default:
            return {};
        }
    }
    if (role == Qt::ForegroundRole && Decode(*e).bad)
        return QColor(0xB0, 0x00, 0x00);
    if (role == Qt::TextAlignmentRole && index.column() == Length)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant CMonitorModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const kHeaders[] = {
        QT_TRANSLATE_NOOP("CMonitorDlg", "时间"), QT_TRANSLATE_NOOP("CMonitorDlg", "方向"),
        QT_TRANSLATE_NOOP("CMonitorDlg", "长度"), QT_TRANSLATE_NOOP("CMonitorDlg", "字节"),
        QT_TRANSLATE_NOOP("CMonitorDlg", "含义")};
    return section >= 0 && section < ColumnCount ? CMonitorDlg::tr(kHeaders[section]) : QVariant();
}

void CMonitorModel::Sync()
{
    // Rows whose entries the log let go leave from the top.
    const std::uint64_t first = log_.firstSeq();
    std::size_t gone = firstRow_;
    while (gone < rows_.size() && rows_[gone] < first)
        ++gone;
    if (gone > firstRow_) {
        beginRemoveRows({}, 0, static_cast<int>(gone - firstRow_) - 1);
        firstRow_ = gone;
        // Compact now and then, so that the vector stays within twice the rows.
        if (firstRow_ > 4096 && firstRow_ * 2 > rows_.size()) {
            rows_.erase(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(firstRow_));
            firstRow_ = 0;
        }
        endRemoveRows();
    }
    nextSeq_ = std::max(nextSeq_, first);
    std::vector<std::uint64_t> added;
    for (; nextSeq_ < log_.nextSeq(); ++nextSeq_) {
        if (filter_.Matches(*log_.Find(nextSeq_)))
            added.push_back(nextSeq_);
    }
    if (added.empty())
        return;
    const int at = rowCount();
    beginInsertRows({}, at, at + static_cast<int>(added.size()) - 1);
    rows_.insert(rows_.end(), added.begin(), added.end());
    endInsertRows();
}

void CMonitorModel::Reset(const monitor::Filter& filter)
{
    beginResetModel();
    filter_ = filter;
    rows_.clear();
    firstRow_ = 0;
    for (std::uint64_t seq = log_.firstSeq(); seq < log_.nextSeq(); ++seq) {
        if (filter_.Matches(*log_.Find(seq)))
            rows_.push_back(seq);
    }
    nextSeq_ = log_.nextSeq();
    endResetModel();
}

void CMonitorModel::EntryChanged(std::uint64_t seq)
{
    const auto begin = rows_.begin() + static_cast<std::ptrdiff_t>(firstRow_);
    const auto it = std::lower_bound(begin, rows_.end(), seq);
    if (it == rows_.end() || *it != seq)
        return;
    const int row = static_cast<int>(it - begin);
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

// ---------------------------------------------------------------- window

CMonitorDlg::CMonitorDlg(QWidget* parent, std::size_t maxFrames) : QDialog(parent), log_(maxFrames)
{
    setObjectName(QStringLiteral("CMonitorDlg"));
    setWindowTitle(tr("线路监视"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/monitor.svg")));
    // Its own window beside the pages, never modal.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);

    direction_ = ui::Tag(new QComboBox(this), 2001, "directionCombo");
    direction_->addItems({tr("全部"), tr("发送"), tr("接收")});
    auto* directionLabel = new QLabel(tr("方向(&D)："), this);
    directionLabel->setBuddy(direction_);

    command_ = ui::Tag(new QComboBox(this), 2002, "commandCombo");
    command_->addItem(tr("全部命令"), -1);
    for (const std::uint8_t code : kCodes)
        command_->addItem(QStringLiteral("%1 %2").arg(code, 2, 16, QLatin1Char('0')).toUpper().arg(FromStd(monitor::CommandName(code))),
                          int{code});
    command_->addItem(tr("数据帧（短信/TCP/透传）"), monitor::Filter::kDataFrames);
    auto* commandLabel = new QLabel(tr("命令(&M)："), this);
    commandLabel->setBuddy(command_);

    pause_ = ui::Tag(new QPushButton(tr("暂停(&P)"), this), 2003, "pauseButton");
    pause_->setCheckable(true);
    pause_->setAccessibleDescription(tr("暂停时照常记录，表格在继续后补上"));
    auto* clear = ui::Tag(new QPushButton(tr("清除(&L)"), this), 2004, "clearButton");
    auto* copy = ui::Tag(new QPushButton(tr("复制(&C)"), this), 2005, "copyButton");
    copy->setAccessibleDescription(tr("把选中的行作为文本复制到剪贴板"));
    auto* save = ui::Tag(new QPushButton(tr("保存(&S)…"), this), 2006, "saveButton");
    save->setAccessibleDescription(tr("把表格中的行保存为文本或 CSV 文件"));
    count_ = ui::Tag(new QLabel(this), 2007, "countLabel");
    count_->setAccessibleDescription(tr("表格中的帧数"));

    model_ = new CMonitorModel(log_, this);
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
    table_->setColumnWidth(CMonitorModel::Time, 96);
    table_->setColumnWidth(CMonitorModel::Direction, 70);
    table_->setColumnWidth(CMonitorModel::Length, 50);
    table_->setColumnWidth(CMonitorModel::Bytes, 260);

    connect(direction_, &QComboBox::currentIndexChanged, this, &CMonitorDlg::OnFilter);
    connect(command_, &QComboBox::currentIndexChanged, this, &CMonitorDlg::OnFilter);
    connect(pause_, &QPushButton::toggled, this, &CMonitorDlg::OnPause);
    connect(clear, &QPushButton::clicked, this, &CMonitorDlg::OnClear);
    connect(copy, &QPushButton::clicked, this, &CMonitorDlg::OnCopy);
    connect(save, &QPushButton::clicked, this, &CMonitorDlg::OnSave);
    auto* copyKey = new QShortcut(QKeySequence::Copy, table_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(copyKey, &QShortcut::activated, this, &CMonitorDlg::OnCopy);

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
    bar->addWidget(count_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(table_, 1);
    resize(1000, 440);
    UpdateCount();

    g_Serial.SetWriteObserver(this);
}

CMonitorDlg::~CMonitorDlg()
{
    // After this no Write calls us; a posted TakeSent dies with the object.
    g_Serial.RemoveWriteObserver(this);
}

void CMonitorDlg::OnWritten(const std::uint8_t* data, std::size_t length)
{
    Sent sent{WallMs(), SteadyMs(), std::vector<std::uint8_t>(data, data + length)};
    std::lock_guard lock(inboxLock_);
    inbox_.push_back(std::move(sent));
    if (!takePosted_) {
        takePosted_ = true;
        QMetaObject::invokeMethod(this, &CMonitorDlg::TakeSent, Qt::QueuedConnection);
    }
}

void CMonitorDlg::TakeSent()
{
    std::vector<Sent> sent;
    {
        std::lock_guard lock(inboxLock_);
        sent.swap(inbox_);
        takePosted_ = false;
    }
    // A request waits as long as its page waits for the answer.
    log_.SetReplyTimeouts(dtu::kReplyTimeoutMs, upgrade::ReplyTimeoutMs(g_Serial.BaudRate()));
    for (const Sent& s : sent)
        Record(Direction::Sent, s.bytes, s.wallMs, s.steadyMs);
}

void CMonitorDlg::OnReceived(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty())
        return;
    // What was written before this frame completed comes first.
    TakeSent();
    Record(Direction::Received, bytes, WallMs(), SteadyMs());
}

void CMonitorDlg::Record(Direction direction, std::span<const std::uint8_t> bytes, std::int64_t wallMs,
                         std::int64_t steadyMs)
{
    log_.Add(direction, bytes, wallMs, steadyMs);
    ArmExpiry();
    ScheduleRefresh();
}

void CMonitorDlg::ArmExpiry()
{
    const auto deadline = log_.NextDeadline();
    if (!deadline) {
        expiry_.stop();
        return;
    }
    expiry_.start(static_cast<int>(std::clamp<std::int64_t>(*deadline - SteadyMs() + 1, 0, 60000)), this);
}

void CMonitorDlg::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != expiry_.timerId()) {
        QDialog::timerEvent(e);
        return;
    }
    for (const std::uint64_t seq : log_.Expire(SteadyMs()))
        model_->EntryChanged(seq);
    ArmExpiry();
}

void CMonitorDlg::ScheduleRefresh()
{
    // One table update per turn of the event loop, however many frames.
    if (refreshPosted_ || paused_ || !isVisible())
        return;
    refreshPosted_ = true;
    QMetaObject::invokeMethod(this, &CMonitorDlg::Refresh, Qt::QueuedConnection);
}

void CMonitorDlg::Refresh()
{
    refreshPosted_ = false;
    TakeSent();
    if (paused_)
        return;
    QScrollBar* bar = table_->verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    model_->Sync();
    if (atEnd)
        table_->scrollToBottom();
    UpdateCount();
}

void CMonitorDlg::UpdateCount()
{
    count_->setText(tr("%1 帧").arg(model_->rowCount()));
}

void CMonitorDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    Refresh();
}

void CMonitorDlg::OnFilter()
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

void CMonitorDlg::OnPause(bool paused)
{
    paused_ = paused;
    pause_->setText(paused ? tr("继续(&P)") : tr("暂停(&P)"));
    if (!paused)
        Refresh();
}

void CMonitorDlg::OnClear()
{
    TakeSent();
    log_.Clear();
    expiry_.stop();
    model_->Sync();
    UpdateCount();
}

QString CMonitorDlg::SelectedText() const
{
    QModelIndexList rows = table_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    QString text;
    for (const QModelIndex& row : rows) {
        if (const monitor::Entry* e = model_->EntryAt(row.row()))
            text += FromStd(monitor::TextLine(*e)) + u'\n';
    }
    return text;
}

void CMonitorDlg::OnCopy()
{
    const QString text = SelectedText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

bool CMonitorDlg::SaveRows(const QString& path, bool csv) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    std::string out = csv ? monitor::CsvHeader() + "\r\n" : std::string{};
    const char* const end = csv ? "\r\n" : "\n";
    for (int row = 0; row < model_->rowCount(); ++row) {
        if (const monitor::Entry* e = model_->EntryAt(row))
            out += (csv ? monitor::CsvLine(*e) : monitor::TextLine(*e)) + end;
    }
    const qint64 written = file.write(out.data(), static_cast<qint64>(out.size()));
    return file.flush() && written == static_cast<qint64>(out.size());
}

void CMonitorDlg::OnSave()
{
    const QString csvFilter = QStringLiteral("CSV (*.csv)");
    QString chosen;
    const QString path =
        ui::GetSaveFileName(this, csvFilter + tr(";;文本 (*.txt);;所有文件 (*)"), &chosen);
    if (path.isEmpty())
        return;
    // The name's suffix decides; without one, the filter chosen.
    const bool csv = path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) ||
                     (!path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive) && chosen == csvFilter);
    if (!SaveRows(path, csv))
        ui::ShowMessage(this, tr("错误！"), tr("无法写入文件 %1。").arg(path), ui::Buttons::Ok,
                        QMessageBox::Warning);
}
