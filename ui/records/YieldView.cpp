#include "ui/records/YieldView.h"

#include "ui/common/Widgets.h"
#include "ui/common/Words.h"
#include "ui/records/YieldCharts.h"

#include <QBoxLayout>
#include <QLabel>
#include <QResizeEvent>

#include <algorithm>

namespace {

// Narrower than this many average characters, the charts go one above the other.
constexpr int kSideBySideChars = 90;

}  // namespace

YieldBars LocalBars(const std::vector<records::Summary::Period>& hours)
{
    std::vector<std::pair<QDateTime, const records::Summary::Period*>> local;
    for (const records::Summary::Period& p : hours) {
        // "2026-12-08T08:00", in UTC as the records keep time.
        const QDateTime utc =
            QDateTime::fromString(QString::fromStdString(p.start) + QStringLiteral(":00Z"), Qt::ISODate);
        if (utc.isValid())
            local.emplace_back(utc.toLocalTime(), &p);
    }
    YieldBars out;
    if (local.empty())
        return out;
    std::sort(local.begin(), local.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const QDate first = local.front().first.date(), last = local.back().first.date();
    out.hourly = first == last;
    auto next = local.begin();
    const auto add = [&](const QDateTime& start, const QDateTime& end) {
        YieldBar& bar = out.bars.emplace_back();
        bar.start = start;
        for (; next != local.end() && next->first < end; ++next) {
            bar.passed += next->second->passed;
            bar.failed += next->second->failed;
        }
    };
    if (out.hourly) {
        // Counted on from the first, not by the clock: an hour is an hour
        // across a change to summer time.
        for (QDateTime hour = local.front().first; hour <= local.back().first; hour = hour.addSecs(3600))
            add(hour, hour.addSecs(3600));
    } else {
        for (QDate day = first; day <= last; day = day.addDays(1))
            add(day.startOfDay(), day.addDays(1).startOfDay());
    }
    return out;
}

YieldView::YieldView(QWidget* parent) : QWidget(parent)
{
    setAccessibleName(tr("产量"));
    setAccessibleDescription(
        tr("所示记录中的测试：单位数、通过、失败和合格率，每天或每小时通过和失败的测试，失败最多的测量项"));
    scope_ = ui::Named(ui::Label(this), "yieldScope");
    scope_->setWordWrap(true);
    figures_ = ui::Named(ui::Label(this), "yieldFigures");
    QFont big = figures_->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    figures_->setFont(big);
    figures_->setWordWrap(true);
    // Reached by the keyboard, so that a screen reader reads the figures.
    figures_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    figures_->setFocusPolicy(Qt::StrongFocus);
    figures_->setAccessibleDescription(tr("每个单位按它最近一次测试计：通过或失败"));

    periodsTitle_ = ui::Named(ui::Label(this), "yieldPeriodsTitle");
    failingTitle_ = ui::Named(ui::Label(tr("失败最多的测量项"), this), "yieldFailingTitle");
    for (QLabel* title : {periodsTitle_, failingTitle_}) {
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
    }
    periods_ = ui::Named(new PeriodsChart(this), "yieldPeriods");
    failingChart_ = ui::Named(new FailingChart(this), "yieldFailing");
    failingChart_->setAccessibleName(failingTitle_->text());
    periodsTitle_->setBuddy(periods_);
    failingTitle_->setBuddy(failingChart_);

    auto* left = new QVBoxLayout;
    left->addWidget(periodsTitle_);
    left->addWidget(periods_, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(failingTitle_);
    right->addWidget(failingChart_, 1);
    charts_ = new QBoxLayout(QBoxLayout::LeftToRight);
    charts_->addLayout(left, 3);
    charts_->addLayout(right, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scope_);
    layout->addWidget(figures_);
    layout->addLayout(charts_, 1);
    // Nothing until the store has counted.
    SayInstead({});
}

void YieldView::Show(const records::Summary& hours, const QString& filter)
{
    scope_->setText(filter.isEmpty() ? tr("表中记录里的测试，每个单位按它最近一次测试计")
                                     : tr("符合“%1”的测试，每个单位按它最近一次测试计").arg(filter));
    figures_->setText(hours.units == 0 ? tr("没有通过或失败的测试")
                                       : tr("单位 %1，通过 %2，失败 %3，合格率 %4%")
                                             .arg(hours.units)
                                             .arg(hours.passed)
                                             .arg(hours.failed)
                                             .arg(hours.yield * 100, 0, 'f', 1));
    bars_ = LocalBars(hours.periods);
    periodsTitle_->setText(
        bars_.hourly ? tr("%1 每小时通过和失败的测试").arg(bars_.bars.front().start.toString(QStringLiteral("yyyy-MM-dd")))
                     : tr("每天通过和失败的测试"));
    periods_->setAccessibleName(periodsTitle_->text());
    periods_->SetBars(bars_);
    failing_.clear();
    for (const records::Summary::Failing& f : hours.failing)
        failing_.emplace_back(ui::MeasurementWord(f.name), f.count);
    failingChart_->SetFailing(failing_);
}

void YieldView::SayInstead(const QString& text)
{
    Show({}, {});
    scope_->clear();
    figures_->setText(text);
}

QString YieldView::figuresText() const
{
    return figures_->text();
}

void YieldView::resizeEvent(QResizeEvent* e)
{
    charts_->setDirection(e->size().width() < fontMetrics().averageCharWidth() * kSideBySideChars
                              ? QBoxLayout::TopToBottom
                              : QBoxLayout::LeftToRight);
    QWidget::resizeEvent(e);
}
