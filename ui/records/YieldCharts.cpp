#include "ui/records/YieldCharts.h"

#include "ui/common/Widgets.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

// Thinner bars than this are not told apart.
constexpr int kLeastSlot = 6;

// The least 1, 2 or 5 times a power of ten that is at least `v`: steps
// that a reader adds up at a glance.
std::int64_t Nice(std::int64_t v)
{
    for (std::int64_t power = 1;; power *= 10)
        for (const std::int64_t m : {1, 2, 5})
            if (m * power >= v)
                return m * power;
}

struct Scale {
    std::int64_t top = 1, step = 1;
};
// Up to `lines` lines across above the bottom one, the top one at or above
// the highest bar.
Scale ScaleFor(std::int64_t highest, int lines)
{
    Scale s;
    s.step = Nice(std::max<std::int64_t>(1, (highest + lines - 1) / lines));
    s.top = std::max<std::int64_t>(1, (highest + s.step - 1) / s.step) * s.step;
    return s;
}

std::int64_t Highest(const std::vector<YieldBar>& bars, std::size_t from)
{
    std::int64_t highest = 0;
    for (std::size_t i = from; i < bars.size(); ++i)
        highest = std::max(highest, bars[i].passed + bars[i].failed);
    return highest;
}

QColor Faint(const QPalette& palette)
{
    QColor c = palette.color(QPalette::Text);
    c.setAlpha(48);
    return c;
}

void PaintFrame(QPainter& p, const QWidget* w)
{
    p.fillRect(w->rect(), w->palette().base());
    if (w->hasFocus()) {
        p.setPen(QPen(w->palette().color(QPalette::Highlight), 2));
        p.drawRect(QRectF(w->rect()).adjusted(1, 1, -1, -1));
    }
}

void PaintEmpty(QPainter& p, const QWidget* w, const QString& text)
{
    p.setPen(w->palette().color(QPalette::PlaceholderText));
    p.drawText(w->rect(), Qt::AlignCenter | Qt::TextWordWrap, text);
}

}  // namespace

PeriodsChart::PeriodsChart(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PeriodsChart::SetBars(const YieldBars& bars)
{
    bars_ = bars;
    QStringList said;
    for (const YieldBar& bar : bars_.bars)
        if (bar.passed + bar.failed > 0)
            said << Said(bar);
    setAccessibleDescription(said.isEmpty() ? tr("没有通过或失败的测试") : said.join(tr("；")));
    update();
}

QSize PeriodsChart::minimumSizeHint() const
{
    return {fontMetrics().horizontalAdvance(QLatin1Char('0')) * 24, fontMetrics().height() * 6};
}

QSize PeriodsChart::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(QLatin1Char('0')) * 60, fontMetrics().height() * 12};
}

QRect PeriodsChart::Plot() const
{
    const QFontMetrics fm = fontMetrics();
    const int pad = fm.height() / 2;
    // The axis as wide as its highest figure, whichever bars are drawn;
    // above, the legend, and below it room for the figure over the highest bar.
    const int axis = fm.horizontalAdvance(QString::number(ScaleFor(Highest(bars_.bars, 0), 1).top)) + pad;
    return rect().adjusted(pad + axis, pad + 2 * fm.height(), -pad, -(2 * pad + fm.height()));
}

std::size_t PeriodsChart::Shown() const
{
    const std::size_t fit = std::size_t(std::max(1, Plot().width() / kLeastSlot));
    return std::min(bars_.bars.size(), fit);
}

QString PeriodsChart::Said(const YieldBar& bar) const
{
    const QString when =
        bar.start.toString(bars_.hourly ? QStringLiteral("yyyy-MM-dd HH:mm") : QStringLiteral("yyyy-MM-dd"));
    return tr("%1：通过 %2，失败 %3").arg(when).arg(bar.passed).arg(bar.failed);
}

void PeriodsChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintFrame(p, this);
    if (bars_.bars.empty())
        return PaintEmpty(p, this, tr("没有通过或失败的测试"));
    const QPalette& pal = palette();
    const QFontMetrics fm = fontMetrics();
    const int pad = fm.height() / 2;
    const QRect plot = Plot();
    const std::size_t shown = Shown();
    const std::size_t from = bars_.bars.size() - shown;
    // Figures on the axis two lines of text apart, at most four.
    const Scale scale = ScaleFor(Highest(bars_.bars, from), std::clamp(plot.height() / (2 * fm.height()), 1, 4));
    const auto y = [&](std::int64_t v) {
        return plot.bottom() + 1 - double(plot.height()) * double(v) / double(scale.top);
    };

    // Lines across, each with its figure on the axis.
    for (std::int64_t v = 0; v <= scale.top; v += scale.step) {
        const double at = y(v);
        p.setPen(Faint(pal));
        p.drawLine(QPointF(plot.left(), at), QPointF(plot.right(), at));
        p.setPen(pal.color(QPalette::Text));
        p.drawText(QRectF(0, at - fm.height() / 2.0, plot.left() - pad / 2.0, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    }

    // The legend above on the right; on the left, when not every bar fits, that not.
    const QColor good = ui::GoodColour(pal), alarm = ui::AlarmColour(pal);
    int x = plot.right();
    for (const auto& [text, colour] : {std::pair{tr("失败"), alarm}, std::pair{tr("通过"), good}}) {
        x -= fm.horizontalAdvance(text);
        p.setPen(pal.color(QPalette::Text));
        p.drawText(QRect(x, pad, fm.horizontalAdvance(text), fm.height()), Qt::AlignVCenter, text);
        x -= pad / 2 + fm.height() * 2 / 3;
        p.fillRect(QRect(x, pad + fm.height() / 6, fm.height() * 2 / 3, fm.height() * 2 / 3), colour);
        x -= pad * 2;
    }
    if (shown < bars_.bars.size()) {
        p.setPen(pal.color(QPalette::PlaceholderText));
        p.drawText(QRect(plot.left(), pad, x - plot.left(), fm.height()), Qt::AlignVCenter,
                   bars_.hourly ? tr("最近 %1 小时").arg(shown) : tr("最近 %1 天").arg(shown));
    }

    const double slot = double(plot.width()) / double(shown);
    // Wide enough to tell apart, never a slab.
    const double barWidth = std::min(slot * 0.7, double(fm.horizontalAdvance(QStringLiteral("00000"))));
    const QString format = bars_.hourly ? QStringLiteral("HH:mm") : QStringLiteral("MM-dd");
    const int captionWidth = fm.horizontalAdvance(bars_.bars.back().start.toString(format)) + pad;
    // Every n-th caption, counted from the latest, so that none overlap.
    const std::size_t every = std::size_t(std::max(1.0, std::ceil(captionWidth / slot)));
    for (std::size_t i = 0; i < shown; ++i) {
        const YieldBar& bar = bars_.bars[from + i];
        const double centre = plot.left() + slot * (double(i) + 0.5);
        const double left = centre - barWidth / 2;
        p.fillRect(QRectF(left, y(bar.passed), barWidth, y(0) - y(bar.passed)), good);
        const double tested = y(bar.passed + bar.failed);
        p.fillRect(QRectF(left, tested, barWidth, y(bar.passed) - tested), alarm);
        const QString total = QString::number(bar.passed + bar.failed);
        p.setPen(pal.color(QPalette::Text));
        if (bar.passed + bar.failed > 0 && fm.horizontalAdvance(total) + 2 <= slot)
            p.drawText(QRectF(centre - slot / 2, tested - fm.height(), slot, fm.height()),
                       Qt::AlignHCenter | Qt::AlignBottom, total);
        if ((shown - 1 - i) % every == 0) {
            // Under its bar, the last one pulled in from the edge.
            QRectF caption(centre - captionWidth / 2.0, plot.bottom() + pad / 2.0, captionWidth, fm.height());
            if (caption.right() > width())
                caption.moveRight(width());
            p.drawText(caption, Qt::AlignHCenter | Qt::AlignTop, bar.start.toString(format));
        }
    }
    p.setPen(pal.color(QPalette::Text));
    p.drawLine(QPointF(plot.left(), y(0)), QPointF(plot.right(), y(0)));
}

bool PeriodsChart::event(QEvent* e)
{
    if (e->type() != QEvent::ToolTip)
        return QWidget::event(e);
    const auto* help = static_cast<QHelpEvent*>(e);
    const QRect plot = Plot();
    const std::size_t shown = Shown();
    if (shown == 0 || help->pos().x() < plot.left() || help->pos().x() > plot.right()) {
        QToolTip::hideText();
        e->ignore();
        return true;
    }
    const int at = (help->pos().x() - plot.left()) * int(shown) / std::max(1, plot.width());
    const std::size_t i = std::min(shown - 1, std::size_t(at));
    QToolTip::showText(help->globalPos(), Said(bars_.bars[bars_.bars.size() - shown + i]), this);
    return true;
}

FailingChart::FailingChart(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FailingChart::SetFailing(const std::vector<std::pair<QString, std::int64_t>>& failing)
{
    failing_ = failing;
    QStringList said;
    for (const auto& [name, count] : failing_)
        said << tr("%1 失败 %2 次").arg(name).arg(count);
    setAccessibleDescription(said.isEmpty() ? tr("没有失败的测量项") : said.join(tr("；")));
    setToolTip(said.join(QLatin1Char('\n')));
    update();
}

int FailingChart::RowHeight() const
{
    return fontMetrics().height() * 3 / 2;
}

QSize FailingChart::minimumSizeHint() const
{
    return {fontMetrics().horizontalAdvance(QLatin1Char('0')) * 24, fontMetrics().height() + RowHeight() * 3};
}

QSize FailingChart::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(QLatin1Char('0')) * 40,
            fontMetrics().height() + RowHeight() * int(records::kMostFailing)};
}

void FailingChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintFrame(p, this);
    if (failing_.empty())
        return PaintEmpty(p, this, tr("没有失败的测量项"));
    const QPalette& pal = palette();
    const QFontMetrics fm = fontMetrics();
    const int pad = fm.height() / 2, row = RowHeight();
    const int rows = std::max(1, (height() - 2 * pad) / row);
    // When not all fit, the last row says how many are left out.
    const std::size_t shown =
        failing_.size() <= std::size_t(rows) ? failing_.size() : std::size_t(std::max(1, rows - 1));
    int nameWidth = 0;
    for (const auto& item : failing_)
        nameWidth = std::max(nameWidth, fm.horizontalAdvance(item.first));
    // The advance is rounded: a pixel more, or the widest name is cut.
    nameWidth = std::min(nameWidth + 2, width() * 2 / 5);
    const std::int64_t most = failing_.front().second;
    const int countWidth = fm.horizontalAdvance(QString::number(most)) + pad;
    const int barLeft = 2 * pad + nameWidth;
    const int barRoom = std::max(2, width() - barLeft - countWidth - 2 * pad);
    const QColor alarm = ui::AlarmColour(pal);
    for (std::size_t i = 0; i < shown; ++i) {
        const auto& [name, count] = failing_[i];
        const int top = pad + int(i) * row;
        p.setPen(pal.color(QPalette::Text));
        p.drawText(QRect(pad, top, nameWidth, row), Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(name, Qt::ElideRight, nameWidth));
        const double share = double(count) / double(std::max<std::int64_t>(1, most));
        const int length = std::max(2, int(std::lround(double(barRoom) * share)));
        p.fillRect(QRect(barLeft, top + row / 5, length, row - 2 * (row / 5)), alarm);
        p.drawText(QRect(barLeft + length + pad / 2, top, countWidth, row), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::number(count));
    }
    if (shown < failing_.size()) {
        p.setPen(pal.color(QPalette::PlaceholderText));
        p.drawText(QRect(pad, pad + int(shown) * row, width() - 2 * pad, row), Qt::AlignLeft | Qt::AlignVCenter,
                   tr("另有 %1 项，见提示").arg(failing_.size() - shown));
    }
}
