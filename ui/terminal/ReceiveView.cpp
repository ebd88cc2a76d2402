#include "ui/terminal/ReceiveView.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace terminal {

namespace {

// Room around the text, as a QPlainTextEdit's document leaves it.
constexpr int kMargin = 4;

bool IsWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

}  // namespace

ReceiveView::ReceiveView(QWidget* parent) : QAbstractScrollArea(parent)
{
    static const bool accessible = (InstallAccessible(), true);
    Q_UNUSED(accessible);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    viewport()->setCursor(Qt::IBeamCursor);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(1);
    sync_.setSingleShot(true);
    sync_.setInterval(0);
    connect(&sync_, &QTimer::timeout, this, &ReceiveView::Sync);
}

ReceiveView::~ReceiveView() = default;

void ReceiveView::setMaxLines(int lines)
{
    maxLines_ = std::max(1, lines);
    if (lines_.size() > std::size_t(maxLines_))
        append({});
}

void ReceiveView::setWrap(bool wrap)
{
    if (wrap == wrap_)
        return;
    wrap_ = wrap;
    widestSeen_ = 0;
    horizontalScrollBar()->setValue(0);
    setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    Changed();
}

void ReceiveView::append(QStringList lines)
{
    const bool told = QAccessible::isActive();
    // More than it holds: the ones that would leave at once never come in.
    qsizetype from = 0;
    if (lines.size() >= maxLines_) {
        from = lines.size() - maxLines_;
        dropped_ += from;
        for (qsizetype i = 0; told && i < from; ++i)
            a11yRemoved_ += lines[i].size() + 1;
    }
    for (qsizetype i = from; i < lines.size(); ++i) {
        widest_ = std::max(widest_, lines[i].size());
        chars_ += lines[i].size();
        lines_.push_back(std::move(lines[i]));
    }
    while (lines_.size() > std::size_t(maxLines_)) {
        if (told)
            a11yRemoved_ += lines_.front().size() + 1;
        chars_ -= lines_.front().size();
        lines_.pop_front();
        ++dropped_;
        a11yKeptLines_ = std::max<qint64>(0, a11yKeptLines_ - 1);
    }
    Changed();
}

void ReceiveView::removeLast(int count)
{
    count = std::min(count, lineCount());
    for (int i = 0; i < count; ++i) {
        chars_ -= lines_.back().size();
        lines_.pop_back();
    }
    a11yKeptLines_ = std::min<qint64>(a11yKeptLines_, lineCount());
    Changed();
}

void ReceiveView::clear()
{
    lines_.clear();
    chars_ = 0;
    dropped_ = 0;
    anchor_ = caret_ = {};
    widest_ = 0;
    widestSeen_ = 0;
    following_ = true;
    top_ = 0;
    shown_.clear();
    a11yKeptLines_ = 0;
    a11yRemoved_ = 0;
    Changed();
}

QString ReceiveView::text() const
{
    return textBetween(0, characterCount());
}

QString ReceiveView::selectedText() const
{
    if (!hasSelection())
        return {};
    const auto [from, to] = selectionRange();
    return textBetween(offsetOf(from), offsetOf(to));
}

void ReceiveView::select(Pos anchor, Pos caret)
{
    anchor_ = Clamped(anchor);
    caret_ = Clamped(caret);
    SelectionChanged();
}

void ReceiveView::copy() const
{
    if (hasSelection())
        QGuiApplication::clipboard()->setText(selectedText());
}

void ReceiveView::selectAll()
{
    if (lines_.empty())
        return;
    anchor_ = {FirstLine(), 0};
    caret_ = {EndLine() - 1, lines_.back().size()};
    SelectionChanged();
}

void ReceiveView::scrollToEnd()
{
    following_ = true;
    Changed();
}

ReceiveView::Pos ReceiveView::Clamped(Pos pos) const
{
    if (lines_.empty())
        return {FirstLine(), 0};
    if (pos.line < FirstLine())
        return {FirstLine(), 0};
    if (pos.line >= EndLine())
        return {EndLine() - 1, lines_.back().size()};
    return {pos.line, std::clamp<qsizetype>(pos.column, 0, At(pos.line).size())};
}

// ---- Layout ----

std::shared_ptr<QTextLayout> ReceiveView::Layout(int index) const
{
    auto layout = std::make_shared<QTextLayout>(lines_[std::size_t(index)], font(), viewport());
    QTextOption option;
    option.setWrapMode(wrap_ ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    const int width = std::max(1, TextWidth());
    qreal y = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout->endLayout();
    return layout;
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

static int HeightOf(const QTextLayout& layout)
{
    return std::max(1, int(std::ceil(layout.boundingRect().height())));
}

int ReceiveView::TopFor(int last) const
{
    const int room = viewport()->height() - 2 * kMargin;
    int used = 0;
    int i = last;
    for (; i >= 0; --i) {
        // Laid out as painted: a character from a fallback font makes a row
        // taller.
        const int h = HeightOf(*Layout(i));
        if (used + h > room && i != last)
            break;
        used += h;
    }
    return i + 1;
}

int ReceiveView::FirstShown() const
{
    if (lines_.empty())
        return 0;
    if (following_)
        return TopFor(lineCount() - 1);
    return int(std::clamp<qint64>(top_ - dropped_, 0, lineCount() - 1));
}

bool ReceiveView::Shows(qint64 line) const
{
    const int first = FirstShown();
    const int room = viewport()->height() - 2 * kMargin;
    int used = 0;
    for (int i = first; i < lineCount() && used < room; ++i) {
        if (dropped_ + i == line)
            return true;
        used += HeightOf(*Layout(i));
    }
    return false;
}

void ReceiveView::Changed()
{
    if (!sync_.isActive())
        sync_.start();
    viewport()->update();
}

void ReceiveView::Sync()
{
    sync_.stop();
    syncing_ = true;
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    // A scroll bar that comes or goes changes the room: once more then.
    for (int pass = 0; pass < 2; ++pass) {
        const QSize room = viewport()->size();
        if (wrap_) {
            h->setRange(0, 0);
        } else {
            const int average = fontMetrics().averageCharWidth();
            const qint64 widest = std::max<qint64>(widest_ * average, widestSeen_) + 2 * kMargin;
            h->setRange(0, int(std::clamp<qint64>(widest - room.width(), 0, std::numeric_limits<int>::max() / 2)));
            h->setPageStep(std::max(1, room.width()));
            h->setSingleStep(std::max(1, 2 * average));
        }
        const int maxTop = lines_.empty() ? 0 : TopFor(lineCount() - 1);
        v->setRange(0, maxTop);
        v->setPageStep(std::max(1, (room.height() - 2 * kMargin) / RowHeight()));
        if (viewport()->size() == room)
            break;
    }
    if (following_) {
        v->setValue(v->maximum());
    } else {
        const int value = int(std::clamp<qint64>(top_ - dropped_, 0, v->maximum()));
        v->setValue(value);
        top_ = dropped_ + value;
        following_ = value >= v->maximum();
    }
    syncing_ = false;
    viewport()->update();
    TellTextChanged();
}

void ReceiveView::scrollContentsBy(int, int)
{
    if (!syncing_) {
        QScrollBar* v = verticalScrollBar();
        top_ = dropped_ + v->value();
        following_ = v->value() >= v->maximum();
    }
    viewport()->update();
}

void ReceiveView::ensureVisible(qint64 line)
{
    if (sync_.isActive())
        Sync();
    if (lines_.empty())
        return;
    const int index = int(std::clamp<qint64>(line - dropped_, 0, lineCount() - 1));
    const int first = FirstShown();
    QScrollBar* v = verticalScrollBar();
    if (index < first)
        v->setValue(index);
    else if (const int top = TopFor(index); top > first)
        v->setValue(top);
}

// ---- Painting ----

void ReceiveView::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    shown_.clear();
    if (lines_.empty())
        return;
    const QPalette& palette = this->palette();
    p.setPen(palette.color(QPalette::Text));
    const auto [from, to] = selectionRange();
    const bool selecting = from != to;
    const bool caretShown = hasFocus();
    const int height = viewport()->height();
    const qreal x = kMargin - (wrap_ ? 0 : horizontalScrollBar()->value());
    int y = kMargin;
    bool wider = false;
    for (int i = FirstShown(); i < lineCount() && y < height; ++i) {
        const qint64 l = dropped_ + i;
        std::shared_ptr<QTextLayout> layout = Layout(i);
        QList<QTextLayout::FormatRange> selections;
        if (selecting && l >= from.line && l <= to.line) {
            QTextLayout::FormatRange range;
            range.start = int(l == from.line ? from.column : 0);
            // Past the end when the selection goes on: the line break shows.
            const qsizetype end = l == to.line ? to.column : lines_[std::size_t(i)].size() + 1;
            range.length = int(end - range.start);
            range.format.setBackground(palette.brush(QPalette::Highlight));
            range.format.setForeground(palette.brush(QPalette::HighlightedText));
            if (range.length > 0)
                selections.push_back(range);
        }
        layout->draw(&p, QPointF(x, y), selections);
        if (caretShown && l == caret_.line)
            layout->drawCursor(&p, QPointF(x, y), int(caret_.column), 1);
        if (!wrap_ && layout->lineCount() > 0) {
            const int width = int(std::ceil(layout->lineAt(0).naturalTextWidth()));
            if (width > widestSeen_) {
                widestSeen_ = width;
                wider = true;
            }
        }
        const int h = HeightOf(*layout);
        shown_.push_back({l, y, h, std::move(layout)});
        y += h;
    }
    if (wider && !sync_.isActive())
        sync_.start();
}

QRect ReceiveView::characterRect(Pos pos) const
{
    pos = Clamped(pos);
    const qreal x = kMargin - (wrap_ ? 0 : horizontalScrollBar()->value());
    for (const Shown& s : shown_) {
        if (s.line != pos.line)
            continue;
        const QTextLine line = s.layout->lineForTextPosition(int(pos.column));
        if (!line.isValid())
            return {};
        const qreal left = line.cursorToX(int(pos.column));
        const qreal right =
            pos.column < At(pos.line).size() ? line.cursorToX(int(pos.column) + 1) : left + fontMetrics().averageCharWidth();
        return QRectF(x + std::min(left, right), s.top + line.y(), std::max<qreal>(1, std::abs(right - left)), line.height())
            .toAlignedRect();
    }
    return {};
}

ReceiveView::Pos ReceiveView::posAtPoint(QPoint point) const
{
    if (lines_.empty())
        return {FirstLine(), 0};
    if (shown_.empty())
        return Clamped({EndLine(), 0});
    if (point.y() < shown_.front().top)
        return Clamped({shown_.front().line, 0});
    const qreal x = point.x() - (kMargin - (wrap_ ? 0 : horizontalScrollBar()->value()));
    for (const Shown& s : shown_) {
        if (point.y() >= s.top + s.height)
            continue;
        const qreal y = point.y() - s.top;
        for (int n = 0; n < s.layout->lineCount(); ++n) {
            const QTextLine line = s.layout->lineAt(n);
            if (y < line.y() + line.height() || n + 1 == s.layout->lineCount())
                return Clamped({s.line, line.xToCursor(x)});
        }
    }
    return Clamped({shown_.back().line, std::numeric_limits<qsizetype>::max()});
}

// ---- Input ----

void ReceiveView::MoveCaret(Pos to, bool keep)
{
    caret_ = Clamped(to);
    if (!keep)
        anchor_ = caret_;
    SelectionChanged();
}

void ReceiveView::SelectionChanged()
{
    viewport()->update();
    TellSelection();
}

bool ReceiveView::event(QEvent* e)
{
    // Its keys are its own, whatever shortcuts the window has.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key == QKeySequence::Copy || key == QKeySequence::SelectAll) {
            e->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

void ReceiveView::keyPressEvent(QKeyEvent* e)
{
    if (e == QKeySequence::Copy) {
        copy();
        return;
    }
    if (e == QKeySequence::SelectAll) {
        selectAll();
        return;
    }
    if (lines_.empty()) {
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    const bool keep = e->modifiers() & Qt::ShiftModifier;
    const bool whole = e->modifiers() & Qt::ControlModifier;
    Pos c = caret();
    const qsizetype length = At(c.line).size();
    const int page = verticalScrollBar()->pageStep();
    switch (e->key()) {
    case Qt::Key_Left:
        c = c.column > 0 ? Pos{c.line, c.column - 1} : Pos{c.line - 1, std::numeric_limits<qsizetype>::max()};
        if (c.line < FirstLine())
            c = {FirstLine(), 0};
        break;
    case Qt::Key_Right:
        c = c.column < length ? Pos{c.line, c.column + 1} : Pos{std::min(c.line + 1, EndLine() - 1), 0};
        if (c.line == caret().line && c.column == caret().column)
            c.column = length;
        break;
    case Qt::Key_Up: c.line -= 1; break;
    case Qt::Key_Down: c.line += 1; break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        // The page moves a page, as the wheel moves it, and the caret with
        // it. A caret off the page (left at the top by a clear while the
        // view followed what arrived) starts from the page's first line.
        if (sync_.isActive())
            Sync();
        if (!Shows(c.line))
            c = {dropped_ + FirstShown(), 0};
        const int step = e->key() == Qt::Key_PageUp ? -page : page;
        c.line += step;
        verticalScrollBar()->setValue(verticalScrollBar()->value() + step);
        break;
    }
    case Qt::Key_Home: c = whole ? Pos{FirstLine(), 0} : Pos{c.line, 0}; break;
    case Qt::Key_End: c = whole ? Pos{EndLine() - 1, lines_.back().size()} : Pos{c.line, length}; break;
    default: QAbstractScrollArea::keyPressEvent(e); return;
    }
    MoveCaret(c, keep);
    ensureVisible(caret_.line);
}

void ReceiveView::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(e);
        return;
    }
    dragging_ = true;
    MoveCaret(posAtPoint(e->position().toPoint()), e->modifiers() & Qt::ShiftModifier);
}

void ReceiveView::mouseMoveEvent(QMouseEvent* e)
{
    if (!dragging_ || !(e->buttons() & Qt::LeftButton))
        return;
    const QPoint at = e->position().toPoint();
    // Dragged past the top or the bottom: the view scrolls a line.
    QScrollBar* v = verticalScrollBar();
    if (at.y() < 0)
        v->setValue(v->value() - 1);
    else if (at.y() > viewport()->height())
        v->setValue(v->value() + 1);
    if (at.y() < 0 || at.y() > viewport()->height())
        viewport()->repaint();  // what is hit is what is shown
    MoveCaret(posAtPoint(at), true);
}

void ReceiveView::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    dragging_ = false;
    if (hasSelection() && QGuiApplication::clipboard()->supportsSelection())
        QGuiApplication::clipboard()->setText(selectedText(), QClipboard::Selection);
}

void ReceiveView::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || lines_.empty())
        return;
    const Pos at = posAtPoint(e->position().toPoint());
    const QString& s = At(at.line);
    qsizetype a = at.column, b = at.column;
    while (a > 0 && IsWordChar(s[a - 1]))
        --a;
    while (b < s.size() && IsWordChar(s[b]))
        ++b;
    select({at.line, a}, {at.line, b});
    dragging_ = false;
}

void ReceiveView::contextMenuEvent(QContextMenuEvent* e)
{
    QMenu menu(this);
    QAction* copyAction = menu.addAction(tr("复制(&C)"), this, &ReceiveView::copy);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(hasSelection());
    QAction* all = menu.addAction(tr("全选(&A)"), this, &ReceiveView::selectAll);
    all->setShortcut(QKeySequence::SelectAll);
    all->setEnabled(!lines_.empty());
    menu.exec(e->globalPos());
}

void ReceiveView::focusInEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusInEvent(e);
    viewport()->update();
}

void ReceiveView::focusOutEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusOutEvent(e);
    viewport()->update();
}

void ReceiveView::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    if (!syncing_)
        Changed();
}

void ReceiveView::changeEvent(QEvent* e)
{
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        rowHeight_ = 0;
        widestSeen_ = 0;
        Changed();
    } else if (e->type() == QEvent::PaletteChange) {
        viewport()->update();
    }
}

}  // namespace terminal
