#include "ui/records/RecordsModel.h"

#include "ui/common/Widgets.h"
#include "ui/common/Words.h"

#include <QApplication>
#include <QDateTime>

namespace {

struct Term {
    std::string_view stored;
    const char* shown;
};
const Term kTerms[] = {
    {records::kActionRead, QT_TRANSLATE_NOOP("RecordsModel", "读取")},
    {records::kActionWrite, QT_TRANSLATE_NOOP("RecordsModel", "写入")},
    {records::kActionUpgrade, QT_TRANSLATE_NOOP("RecordsModel", "升级")},
    {records::kActionTest, QT_TRANSLATE_NOOP("RecordsModel", "测试")},
    {records::kResultOk, QT_TRANSLATE_NOOP("RecordsModel", "成功")},
    // A test that went well passed; typed, it finds every ok.
    {records::kResultOk, QT_TRANSLATE_NOOP("RecordsModel", "通过")},
    {records::kResultFailed, QT_TRANSLATE_NOOP("RecordsModel", "失败")},
    {records::kResultError, QT_TRANSLATE_NOOP("RecordsModel", "出错")},
    {records::kResultStopped, QT_TRANSLATE_NOOP("RecordsModel", "已停止")},
    {records::kResultInterrupted, QT_TRANSLATE_NOOP("RecordsModel", "中断")},
};

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

// The records keep UTC; a person reads the clock on the wall.
QString LocalTime(const std::string& kept)
{
    const QDateTime t = QDateTime::fromString(Q(kept), Qt::ISODateWithMs);
    return t.isValid() ? t.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : Q(kept);
}

bool Alarming(const records::Record& r)
{
    return r.result == records::kResultFailed || r.result == records::kResultError ||
           r.result == records::kResultInterrupted;
}

// A test's unit with the label printed on it, which is what a person has in
// the hand: "3A0F00000201 / SN2612070042". A column of its own would push
// the others off a narrow window for the few records that have one.
QString UnitAndLabel(const records::Record& r)
{
    if (r.label.empty() || r.unitId.empty())
        return Q(r.unitId.empty() ? r.label : r.unitId);
    return Q(r.unitId + " / " + r.label);
}

}  // namespace

RecordsModel::RecordsModel(QObject* parent) : QAbstractTableModel(parent) {}

int RecordsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RecordsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant RecordsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const records::Record& r = rows_[static_cast<std::size_t>(index.row())];
    const int column = index.column();
    if (role == Qt::ForegroundRole && column == Result) {
        if (Alarming(r))
            return ui::AlarmColour(QApplication::palette());
        return r.result == records::kResultOk ? QVariant(ui::GoodColour(QApplication::palette())) : QVariant();
    }
    if (role == Qt::ToolTipRole) {
        if (column == Started || column == Ended)
            return Q(column == Started ? r.started : r.ended);
        if (column == Unit && !r.label.empty())
            return tr("本机ID %1，标签 %2").arg(Q(r.unitId), Q(r.label));
        if (column == Result && r.ended.empty())
            return tr("没有结束的记录：作业被中断，或仍在进行");
        if (column == Result || column == Detail)
            return r.detail.empty() ? QVariant() : QVariant(DetailTip(std::size_t(index.row())));
        return {};
    }
    if (role == kSortRole && (column == Started || column == Ended))
        return Q(column == Started ? r.started : r.ended);
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && role != kSortRole)
        return {};
    switch (column) {
    case Started: return LocalTime(r.started);
    case Ended: return LocalTime(r.ended);
    case Unit: return UnitAndLabel(r);
    case Action: return Word(r.action);
    case Result:
        return r.action == records::kActionTest && r.result == records::kResultOk ? tr("通过") : Word(r.result);
    case Port: return Q(r.port);
    case Version: return Q(r.version);
    case File: return Q(r.imageName.empty() ? r.profileName : r.imageName);
    case Station: return Q(r.station);
    case Operator: return Q(r.operatorName);
    case Detail: return QString(details_[std::size_t(index.row())]).replace(u'\n', u' ');
    default: return {};
    }
}

QVariant RecordsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    // A time's first click shows the latest first.
    if (role == Qt::InitialSortOrderRole)
        return section == Started || section == Ended ? Qt::DescendingOrder : Qt::AscendingOrder;
    if (role != Qt::DisplayRole)
        return {};
    static const char* const kCaptions[] = {
        QT_TR_NOOP("开始时间"), QT_TR_NOOP("结束时间"), QT_TR_NOOP("本机ID"), QT_TR_NOOP("操作"),
        QT_TR_NOOP("结果"),     QT_TR_NOOP("端口"),     QT_TR_NOOP("版本"),   QT_TR_NOOP("文件"),
        QT_TR_NOOP("工作站"),   QT_TR_NOOP("操作员"),   QT_TR_NOOP("详情")};
    return section >= 0 && section < kColumns ? tr(kCaptions[section]) : QVariant();
}

records::Filter RecordsModel::Next() const
{
    records::Filter page = filter_;
    page.limit = kPage;
    if (!rows_.empty()) {
        page.belowStarted = rows_.back().started;
        page.belowId = rows_.back().id;
    }
    return page;
}

QString RecordsModel::DetailTip(std::size_t row) const
{
    // What the filter finds is the detail as kept.
    const QString kept = Q(rows_[row].detail);
    const QString& shown = details_[row];
    return shown == kept ? kept : tr("%1\n\n记录中的原文：%2").arg(shown, kept);
}

void RecordsModel::Keep(std::vector<records::Record> page)
{
    for (records::Record& r : page) {
        details_.push_back(ui::Words(r.detail));
        rows_.push_back(std::move(r));
    }
}

void RecordsModel::Reset(const records::Filter& filter, std::vector<records::Record> rows, bool more)
{
    beginResetModel();
    filter_ = filter;
    rows_.clear();
    details_.clear();
    Keep(std::move(rows));
    more_ = more;
    fetching_ = false;
    endResetModel();
}

bool RecordsModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && more_ && !fetching_;
}

void RecordsModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    fetching_ = true;
    emit needMore();
}

void RecordsModel::Append(std::optional<std::vector<records::Record>> rows)
{
    fetching_ = false;
    if (!rows)
        return;
    more_ = rows->size() == kPage;
    if (rows->empty())
        return;
    const int at = rowCount();
    beginInsertRows({}, at, at + static_cast<int>(rows->size()) - 1);
    Keep(std::move(*rows));
    endInsertRows();
}

QString RecordsModel::Word(const std::string& stored)
{
    for (const Term& w : kTerms)
        if (w.stored == stored)
            return tr(w.shown);
    return Q(stored);
}

std::string RecordsModel::Stored(const QString& word)
{
    for (const Term& w : kTerms)
        if (word.compare(tr(w.shown), Qt::CaseInsensitive) == 0)
            return std::string(w.stored);
    return word.toStdString();
}
