// The bench's table: one row per port, what the last job found and did.
#pragma once

#include "core/production/Verdict.h"
#include "core/profile/Provision.h"
#include "core/records/Record.h"
#include "jobs/port/Job.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QStyledItemDelegate>

#include <optional>
#include <vector>

struct BenchRow {
    enum class Verdict { None, Good, Bad };
    QString port;   // as given: a path, a by-id name or a URL
    QString shown;  // as listed: with its by-id name or the simulator's name
    bool checked = false;
    bool named = false;  // on the command line, simulated or typed
    QString ownId, version, signal, state;
    // The unit's printed serial number, typed or scanned; a test records it.
    QString label;
    // The last test's measurements, in order.
    std::vector<production::Step> steps;
    int percent = -1;  // no bar while negative
    QString progress;  // the bar's words: "37%", "37% 12/32"
    QString result;
    Verdict verdict = Verdict::None;
    QString action, detail;
    // Wall-clock milliseconds; 0 while not begun or not ended.
    qint64 startedMs = 0, endedMs = 0;
    profile::WriteReport report;
    std::optional<jobs::Outcome::Result> outcome;  // of the last job, once it ended
    bool running = false;
    bool skipped = false;  // in the last batch, but not worked on
    // What the records keep of the last job: the report's facts.
    records::Record record;
};

class BenchModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Port, Label, OwnId, Version, Signal, State, Progress, Elapsed, Result, kColumns };
    // What a column sorts by: figures as figures.
    static constexpr int kSortRole = Qt::UserRole + 3;

    explicit BenchModel(QObject* parent) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const std::vector<BenchRow>& rows() const { return rows_; }
    BenchRow& row(std::size_t i) { return rows_[i]; }
    int Find(const QString& port) const;
    void Add(BenchRow row);
    void SetAllChecked(bool on);
    // The row changed: its cells are drawn again.
    void Changed(std::size_t i);
    // The elapsed times of running rows, `nowMs` being the wall clock.
    void Tick(qint64 nowMs);

    // "12.3 s", "2:05".
    static QString ElapsedText(qint64 ms);

private:
    std::vector<BenchRow> rows_;
    qint64 nowMs_ = 0;
};

// The progress column as a bar with its figure on it.
class ProgressDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
