// The yield view's two charts, drawn in the palette's colours so that they
// read under a dark theme as under a light one: passed in ui::GoodColour,
// failed in ui::AlarmColour. Each says its figures in its accessible
// description and, under the pointer, in a tool tip.
#pragma once

#include "ui/records/YieldView.h"

#include <QWidget>

#include <cstdint>
#include <utility>
#include <vector>

// Passed and failed tests stacked, a bar a day or an hour. When the bars
// would be too thin to see, the latest that fit are drawn, and the chart
// says so.
class PeriodsChart : public QWidget {
    Q_OBJECT
public:
    explicit PeriodsChart(QWidget* parent);
    void SetBars(const YieldBars& bars);
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
    bool event(QEvent* e) override;

private:
    // Where the bars go, and how many of the latest fit there.
    QRect Plot() const;
    std::size_t Shown() const;
    QString Said(const YieldBar& bar) const;

    YieldBars bars_;
};

// A Pareto of the measurements that failed: a bar each, most first, with
// the count at its end.
class FailingChart : public QWidget {
    Q_OBJECT
public:
    explicit FailingChart(QWidget* parent);
    void SetFailing(const std::vector<std::pair<QString, std::int64_t>>& failing);
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    int RowHeight() const;

    std::vector<std::pair<QString, std::int64_t>> failing_;
};
