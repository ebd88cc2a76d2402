#include "ui/terminal/LineRing.h"

#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace terminal {

namespace {

bool IsWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

}  // namespace

LineRing::Left LineRing::setMaxLines(int lines)
{
    maxLines_ = std::max(1, lines);
    return Trim();
}

LineRing::Left LineRing::append(QStringList lines)
{
    Left left;
    qsizetype from = 0;
    if (lines.size() >= maxLines_) {
        from = lines.size() - maxLines_;
        dropped_ += from;
        for (qsizetype i = 0; i < from; ++i)
            left.chars += lines[i].size() + 1;
    }
    for (qsizetype i = from; i < lines.size(); ++i) {
        widest_ = std::max(widest_, lines[i].size());
        chars_ += lines[i].size();
        lines_.push_back(std::move(lines[i]));
    }
    const Left trimmed = Trim();
    left.lines = trimmed.lines;
    left.chars += trimmed.chars;
    return left;
}

LineRing::Left LineRing::Trim()
{
    Left left;
    while (lines_.size() > std::size_t(maxLines_)) {
        left.chars += lines_.front().size() + 1;
        ++left.lines;
        chars_ -= lines_.front().size();
        lines_.pop_front();
        ++dropped_;
    }
    return left;
}

void LineRing::removeLast(int count)
{
    count = std::min(count, this->count());
    for (int i = 0; i < count; ++i) {
        chars_ -= lines_.back().size();
        lines_.pop_back();
    }
}

void LineRing::clear()
{
    lines_.clear();
    chars_ = 0;
    dropped_ = 0;
    widest_ = 0;
    anchor_ = caret_ = {};
}

qint64 LineRing::characterCount() const
{
    return lines_.empty() ? 0 : chars_ + qint64(lines_.size()) - 1;
}

qint64 LineRing::offsetOf(Pos pos) const
{
    pos = clamped(pos);
    qint64 offset = 0;
    for (qint64 l = firstLine(); l < pos.line; ++l)
        offset += at(l).size() + 1;
    return offset + pos.column;
}

LineRing::Pos LineRing::posOf(qint64 offset) const
{
    qint64 l = firstLine();
    for (; l < endLine(); ++l) {
        if (offset <= at(l).size())
            return {l, qsizetype(std::max<qint64>(0, offset))};
        offset -= at(l).size() + 1;
    }
    return clamped({endLine(), 0});
}

QString LineRing::textBetween(qint64 start, qint64 end) const
{
    const Pos from = posOf(start), to = posOf(std::max(start, end));
    QString out;
    for (qint64 l = from.line; l <= to.line && l < endLine(); ++l) {
        const QString& s = at(l);
        const qsizetype a = l == from.line ? from.column : 0;
        const qsizetype b = l == to.line ? to.column : s.size();
        out += QStringView(s).mid(a, b - a);
        if (l != to.line)
            out += u'\n';
    }
    return out;
}

LineRing::Pos LineRing::clamped(Pos pos) const
{
    if (lines_.empty())
        return {firstLine(), 0};
    if (pos.line < firstLine())
        return {firstLine(), 0};
    if (pos.line >= endLine())
        return {endLine() - 1, lines_.back().size()};
    return {pos.line, std::clamp<qsizetype>(pos.column, 0, at(pos.line).size())};
}

QString LineRing::selectedText() const
{
    if (!hasSelection())
        return {};
    const auto [from, to] = selectionRange();
    return textBetween(offsetOf(from), offsetOf(to));
}

void LineRing::select(Pos anchor, Pos caret)
{
    anchor_ = clamped(anchor);
    caret_ = clamped(caret);
}

void LineRing::moveCaret(Pos to, bool keep)
{
    caret_ = clamped(to);
    if (!keep)
        anchor_ = caret_;
}

bool LineRing::selectAll()
{
    if (lines_.empty())
        return false;
    anchor_ = {firstLine(), 0};
    caret_ = {endLine() - 1, lines_.back().size()};
    return true;
}

std::pair<LineRing::Pos, LineRing::Pos> LineRing::wordAt(Pos pos) const
{
    pos = clamped(pos);
    if (lines_.empty())
        return {pos, pos};
    const QString& s = at(pos.line);
    qsizetype a = pos.column, b = pos.column;
    while (a > 0 && IsWordChar(s[a - 1]))
        --a;
    while (b < s.size() && IsWordChar(s[b]))
        ++b;
    return {{pos.line, a}, {pos.line, b}};
}

std::shared_ptr<QTextLayout> LineRing::layout(int index, const QFont& font, QPaintDevice* device, int width) const
{
    auto layout = std::make_shared<QTextLayout>(line(index), font, device);
    QTextOption option;
    option.setWrapMode(wrap_ ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    width = std::max(1, width);
    qreal y = 0;
    layout->beginLayout();
    for (QTextLine row = layout->createLine(); row.isValid(); row = layout->createLine()) {
        row.setLeadingIncluded(true);
        row.setLineWidth(width);
        row.setPosition(QPointF(0, y));
        y += row.height();
    }
    layout->endLayout();
    return layout;
}

int LineRing::heightOf(const QTextLayout& layout)
{
    return std::max(1, int(std::ceil(layout.boundingRect().height())));
}

}  // namespace terminal
