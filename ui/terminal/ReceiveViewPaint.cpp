// Drawing the lines on the page, and where a place is on it: only the lines
// on screen are laid out, and what was drawn is what a click hits.
#include "ui/terminal/ReceiveView.h"

#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace terminal {

std::shared_ptr<QTextLayout> ReceiveView::Layout(int index) const
{
    return ring_.layout(index, font(), viewport(), TextWidth());
}

int ReceiveView::TextWidth() const
{
    return viewport()->width() - 2 * kMargin;
}

int ReceiveView::RowHeight() const
{
    if (rowHeight_ == 0) {
        QTextLayout layout(QStringLiteral("0"), font(), viewport());
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLeadingIncluded(true);
        layout.endLayout();
        rowHeight_ = std::max(1, int(std::ceil(line.height())));
    }
    return rowHeight_;
}

qreal ReceiveView::TextLeft() const
{
    return kMargin - (wraps() ? 0 : horizontalScrollBar()->value());
}

void ReceiveView::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    shown_.clear();
    if (ring_.empty())
        return;
    const QPalette& palette = this->palette();
    p.setPen(palette.color(QPalette::Text));
    const auto [from, to] = selectionRange();
    const bool selecting = from != to;
    const bool caretShown = hasFocus();
    const Pos caret = ring_.caretAsPut();
    const int height = viewport()->height();
    const qreal x = TextLeft();
    int y = kMargin;
    bool wider = false;
    for (int i = FirstShown(); i < lineCount() && y < height; ++i) {
        const qint64 l = dropped() + i;
        std::shared_ptr<QTextLayout> layout = Layout(i);
        QList<QTextLayout::FormatRange> selections;
        if (selecting && l >= from.line && l <= to.line) {
            QTextLayout::FormatRange range;
            range.start = int(l == from.line ? from.column : 0);
            // Past the end when the selection goes on: the line break shows.
            const qsizetype end = l == to.line ? to.column : line(i).size() + 1;
            range.length = int(end - range.start);
            range.format.setBackground(palette.brush(QPalette::Highlight));
            range.format.setForeground(palette.brush(QPalette::HighlightedText));
            if (range.length > 0)
                selections.push_back(range);
        }
        layout->draw(&p, QPointF(x, y), selections);
        if (caretShown && l == caret.line)
            layout->drawCursor(&p, QPointF(x, y), int(caret.column), 1);
        if (!wraps() && layout->lineCount() > 0) {
            const int width = int(std::ceil(layout->lineAt(0).naturalTextWidth()));
            if (width > widestSeen_) {
                widestSeen_ = width;
                wider = true;
            }
        }
        const int h = LineRing::heightOf(*layout);
        shown_.push_back({l, y, h, std::move(layout)});
        y += h;
    }
    if (wider && !sync_.isActive())
        sync_.start();
}

QRect ReceiveView::characterRect(Pos pos) const
{
    pos = ring_.clamped(pos);
    const qreal x = TextLeft();
    for (const Shown& s : shown_) {
        if (s.line != pos.line)
            continue;
        const QTextLine line = s.layout->lineForTextPosition(int(pos.column));
        if (!line.isValid())
            return {};
        const qreal left = line.cursorToX(int(pos.column));
        const qreal right = pos.column < ring_.at(pos.line).size() ? line.cursorToX(int(pos.column) + 1)
                                                                   : left + fontMetrics().averageCharWidth();
        return QRectF(x + std::min(left, right), s.top + line.y(), std::max<qreal>(1, std::abs(right - left)), line.height())
            .toAlignedRect();
    }
    return {};
}

ReceiveView::Pos ReceiveView::posAtPoint(QPoint point) const
{
    if (ring_.empty())
        return {ring_.firstLine(), 0};
    if (shown_.empty())
        return ring_.clamped({ring_.endLine(), 0});
    if (point.y() < shown_.front().top)
        return ring_.clamped({shown_.front().line, 0});
    const qreal x = point.x() - TextLeft();
    for (const Shown& s : shown_) {
        if (point.y() >= s.top + s.height)
            continue;
        const qreal y = point.y() - s.top;
        for (int n = 0; n < s.layout->lineCount(); ++n) {
            const QTextLine line = s.layout->lineAt(n);
            if (y < line.y() + line.height() || n + 1 == s.layout->lineCount())
                return ring_.clamped({s.line, line.xToCursor(x)});
        }
    }
    return ring_.clamped({shown_.back().line, std::numeric_limits<qsizetype>::max()});
}

}  // namespace terminal
