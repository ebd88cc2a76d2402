// The table's rows: which entries of the log pass the filter, and their
// cells, decoded only for the rows on screen.
#include "ui/monitor/MonitorWindow.h"

#include "ui/common/Widgets.h"

#include <QColor>
#include <QGuiApplication>

#include <algorithm>


namespace {

// Only the decoded text of rows on screen is kept; a screenful is far less.
constexpr std::size_t kDecodedCache = 512;

}  // namespace

MonitorModel::MonitorModel(const monitor::LineLog& log, QObject* parent)
    : QAbstractTableModel(parent), log_(log), nextSeq_(log.firstSeq()), cache_(kDecodedCache)
{
}

int MonitorModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size() - firstRow_);
}

int MonitorModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

const monitor::Entry* MonitorModel::EntryAt(int row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size() - firstRow_)
        return nullptr;
    return log_.Find(rows_[firstRow_ + static_cast<std::size_t>(row)]);
}

const MonitorModel::Decoded& MonitorModel::Decode(const monitor::Entry& e) const
{
    Decoded& d = cache_[e.seq % cache_.size()];
    if (d.seq != e.seq || d.unanswered != e.unanswered) {
        const monitor::FrameMeaning m = monitor::DecodeFrame(e.direction, e.bytes);
        d.seq = e.seq;
        d.unanswered = e.unanswered;
        d.meaning = QString::fromStdString(monitor::Meaning(e));
        d.bad = !m.envelopeOk || e.unanswered;
    }
    return d;
}

QVariant MonitorModel::data(const QModelIndex& index, int role) const
{
    const monitor::Entry* e = EntryAt(index.row());
    if (!e)
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        switch (index.column()) {
        case Time:
            return QString::fromStdString(monitor::FormatTime(e->wallMs));
        case Direction:
            return QString::fromUtf8(monitor::DirectionName(e->direction));
        case Length:
            return static_cast<qulonglong>(e->bytes.size());
        case Bytes:
            // A 1 KiB block would make a 3 KiB cell; the rest is in the tool tip.
            if (role == Qt::DisplayRole && e->bytes.size() > 64)
                return QString::fromStdString(monitor::HexText(std::span(e->bytes).first(64))) + QStringLiteral(" …");
            return QString::fromStdString(monitor::HexText(e->bytes));
        case Meaning:
            return Decode(*e).meaning;
        default:
            return {};
        }
    }
    if (role == Qt::ForegroundRole && Decode(*e).bad)
        return ui::AlarmColour(QGuiApplication::palette());
    if (role == Qt::TextAlignmentRole && index.column() == Length)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant MonitorModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const kHeaders[] = {
        QT_TRANSLATE_NOOP("MonitorWindow", "时间"), QT_TRANSLATE_NOOP("MonitorWindow", "方向"),
        QT_TRANSLATE_NOOP("MonitorWindow", "长度"), QT_TRANSLATE_NOOP("MonitorWindow", "字节"),
        QT_TRANSLATE_NOOP("MonitorWindow", "含义")};
    return section >= 0 && section < ColumnCount ? MonitorWindow::tr(kHeaders[section]) : QVariant();
}

void MonitorModel::Sync()
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

void MonitorModel::Reset(const monitor::Filter& filter)
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

void MonitorModel::EntryChanged(std::uint64_t seq)
{
    const auto begin = rows_.begin() + static_cast<std::ptrdiff_t>(firstRow_);
    const auto it = std::lower_bound(begin, rows_.end(), seq);
    if (it == rows_.end() || *it != seq)
        return;
    const int row = static_cast<int>(it - begin);
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}
