// The yield of the tests among the records the page shows: the units,
// passed and failed, each by its latest test, and the yield; the tests
// passed and failed per day, or per hour when they all fall on one day;
// and the measurements that failed most often. The store counts
// (records::Store::Summarize, by hour in UTC); the view only shows, in the
// PC's local time, as the table shows its times.
#pragma once

#include "core/records/Record.h"

#include <QDateTime>
#include <QWidget>

#include <cstdint>
#include <utility>
#include <vector>

class QBoxLayout;
class QLabel;
class FailingChart;
class PeriodsChart;

struct YieldBar {
    QDateTime start;  // local: a day's first moment, or an hour
    std::int64_t passed = 0, failed = 0;
};
struct YieldBars {
    bool hourly = false;
    // Oldest first, one for each day or hour from the first test to the
    // last, those without a test too: a day the line stood still shows.
    std::vector<YieldBar> bars;
};
// The store's periods by hour as local days, or as local hours when they
// all fall on one local day. An hour that starts before a local midnight
// (a zone half an hour off UTC) counts for the day it starts in.
YieldBars LocalBars(const std::vector<records::Summary::Period>& hours);

class YieldView : public QWidget {
    Q_OBJECT
public:
    explicit YieldView(QWidget* parent);

    // `hours`: the summary counted by hour; `filter`: what the records
    // shown were narrowed by, as typed.
    void Show(const records::Summary& hours, const QString& filter);
    // Why there are no figures, in their place.
    void SayInstead(const QString& text);

    // "单位 16，通过 14，失败 2，合格率 87.5%".
    QString figuresText() const;
    const YieldBars& bars() const { return bars_; }
    // The measurements as shown, most failing first, with their counts.
    const std::vector<std::pair<QString, std::int64_t>>& failing() const { return failing_; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    QLabel* scope_ = nullptr;
    QLabel* figures_ = nullptr;
    QLabel* periodsTitle_ = nullptr;
    QLabel* failingTitle_ = nullptr;
    PeriodsChart* periods_ = nullptr;
    FailingChart* failingChart_ = nullptr;
    QBoxLayout* charts_ = nullptr;
    YieldBars bars_;
    std::vector<std::pair<QString, std::int64_t>> failing_;
};
