#include "ui/bench/BenchModel.h"

#include "ui/common/Widgets.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionProgressBar>

#include <algorithm>

namespace {

// The bar's value, kept apart from its words.
constexpr int kPercentRole = Qt::UserRole + 1;
constexpr int kFailedRole = Qt::UserRole + 2;

}  // namespace

int BenchModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int BenchModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant BenchModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const BenchRow& r = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::CheckStateRole && index.column() == Port)
        return r.checked ? Qt::Checked : Qt::Unchecked;
    if (role == kPercentRole && index.column() == Progress)
        return r.percent;
    if (role == kFailedRole && index.column() == Progress)
        return r.outcome == jobs::Outcome::Result::Failed;
    if (role == Qt::ForegroundRole && index.column() == Result && r.verdict != BenchRow::Verdict::None) {
        const QPalette palette = QApplication::palette();
        return r.verdict == BenchRow::Verdict::Good ? ui::GoodColour(palette) : ui::AlarmColour(palette);
    }
    const qint64 elapsed = r.startedMs == 0 ? -1 : (r.endedMs != 0 ? r.endedMs : std::max(nowMs_, r.startedMs)) - r.startedMs;
    if (role == kSortRole) {
        switch (index.column()) {
        case Signal: return r.signal.toInt();
        case Progress: return r.percent;
        case Elapsed: return elapsed;
        default: return data(index, Qt::DisplayRole).toString();
        }
    }
    // A cell the column cuts is read whole in its tool tip; the result's
    // tool tip adds the detail behind its words.
    if (role == Qt::ToolTipRole) {
        const QString text = data(index, Qt::DisplayRole).toString();
        if (index.column() == Result && !r.detail.isEmpty() && !text.contains(r.detail))
            return text.isEmpty() ? r.detail : text + u'\n' + r.detail;
        return text.isEmpty() ? QVariant() : text;
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case Port: return r.shown;
    case Label: return r.label;
    case OwnId: return r.ownId;
    case Version: return r.version;
    case Signal: return r.signal;
    case State: return r.state;
    case Progress: return r.progress;
    case Elapsed: return elapsed < 0 ? QString() : ElapsedText(elapsed);
    case Result: return r.result;
    default: return {};
    }
}

QString BenchModel::ElapsedText(qint64 ms)
{
    if (ms < 60000)
        return tr("%1 秒").arg(double(ms) / 1000.0, 0, 'f', 1);
    const qint64 s = ms / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

void BenchModel::Tick(qint64 nowMs)
{
    nowMs_ = nowMs;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].running) {
            const QModelIndex cell = index(static_cast<int>(i), Elapsed);
            emit dataChanged(cell, cell, {Qt::DisplayRole});
        }
}

bool BenchModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role == Qt::EditRole && index.column() == Label && index.row() < rowCount()) {
        // A scanner may add spaces or a line end around the number.
        rows_[static_cast<std::size_t>(index.row())].label = value.toString().trimmed();
        emit dataChanged(index, index);
        return true;
    }
    if (role != Qt::CheckStateRole || index.column() != Port || index.row() >= rowCount())
        return false;
    rows_[static_cast<std::size_t>(index.row())].checked = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags BenchModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == Port)
        f |= Qt::ItemIsUserCheckable;
    if (index.column() == Label && index.row() < rowCount() && !rows_[std::size_t(index.row())].running)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant BenchModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const kCaptions[] = {QT_TR_NOOP("端口"), QT_TR_NOOP("标签"), QT_TR_NOOP("本机ID"),
                                            QT_TR_NOOP("版本"), QT_TR_NOOP("场强"), QT_TR_NOOP("状态"),
                                            QT_TR_NOOP("进度"), QT_TR_NOOP("用时"), QT_TR_NOOP("结果")};
    return section >= 0 && section < kColumns ? tr(kCaptions[section]) : QVariant();
}

int BenchModel::Find(const QString& port) const
{
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].port == port)
            return static_cast<int>(i);
    return -1;
}

void BenchModel::Add(BenchRow row)
{
    const int at = rowCount();
    beginInsertRows({}, at, at);
    rows_.push_back(std::move(row));
    endInsertRows();
}

void BenchModel::SetAllChecked(bool on)
{
    for (BenchRow& r : rows_)
        r.checked = on;
    if (!rows_.empty())
        emit dataChanged(index(0, Port), index(rowCount() - 1, Port), {Qt::CheckStateRole});
}

void BenchModel::Changed(std::size_t i)
{
    emit dataChanged(index(static_cast<int>(i), 0), index(static_cast<int>(i), kColumns - 1));
}

void ProgressDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int percent = index.data(kPercentRole).toInt();
    if (percent < 0) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionProgressBar bar;
    bar.rect = option.rect.adjusted(2, 3, -2, -3);
    bar.minimum = 0;
    bar.maximum = 100;
    bar.progress = percent;
    bar.text = index.data(Qt::DisplayRole).toString();
    bar.textVisible = true;
    bar.textAlignment = Qt::AlignCenter;
    bar.state = option.state | QStyle::State_Horizontal;
    bar.palette = option.palette;
    // A bar that stopped short of the end because its job failed says so
    // in the bar too, not only in words the column may cut.
    if (index.data(kFailedRole).toBool())
        bar.palette.setColor(QPalette::Highlight, ui::AlarmColour(option.palette));
    const QWidget* widget = option.widget;
    (widget ? widget->style() : QApplication::style())->drawControl(QStyle::CE_ProgressBar, &bar, painter, widget);
}
