// The page shown over the lines held: the scroll bars, following the end,
// and keeping a page put while older lines leave.
#include "ui/terminal/ReceiveView.h"

#include <QAccessible>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>
#include <limits>

namespace terminal {

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
    const int held = lineCount();
    Gone(ring_.setMaxLines(lines));
    if (lineCount() != held)
        Changed();
}

void ReceiveView::setWrap(bool wrap)
{
    if (wrap == wraps())
        return;
    ring_.setWrap(wrap);
    widestSeen_ = 0;
    horizontalScrollBar()->setValue(0);
    setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    Changed();
}

void ReceiveView::append(QStringList lines)
{
    Gone(ring_.append(std::move(lines)));
    Changed();
}

void ReceiveView::Gone(const LineRing::Left& left)
{
    if (QAccessible::isActive())
        a11yRemoved_ += left.chars;
    a11yKeptLines_ = std::max<qint64>(0, a11yKeptLines_ - left.lines);
}

void ReceiveView::removeLast(int count)
{
    ring_.removeLast(count);
    a11yKeptLines_ = std::min<qint64>(a11yKeptLines_, lineCount());
    Changed();
}

void ReceiveView::clear()
{
    ring_.clear();
    widestSeen_ = 0;
    following_ = true;
    top_ = 0;
    shown_.clear();
    a11yKeptLines_ = 0;
    a11yRemoved_ = 0;
    Changed();
}

void ReceiveView::select(Pos anchor, Pos caret)
{
    ring_.select(anchor, caret);
    SelectionChanged();
}

void ReceiveView::scrollToEnd()
{
    following_ = true;
    Changed();
}

int ReceiveView::TopFor(int last) const
{
    const int room = viewport()->height() - 2 * kMargin;
    int used = 0;
    int i = last;
    for (; i >= 0; --i) {
        // Laid out as painted: a character from a fallback font makes a row
        // taller.
        const int h = LineRing::heightOf(*Layout(i));
        if (used + h > room && i != last)
            break;
        used += h;
    }
    return i + 1;
}

int ReceiveView::FirstShown() const
{
    if (ring_.empty())
        return 0;
    if (following_)
        return TopFor(lineCount() - 1);
    return int(std::clamp<qint64>(top_ - dropped(), 0, lineCount() - 1));
}

bool ReceiveView::Shows(qint64 line) const
{
    const int first = FirstShown();
    const int room = viewport()->height() - 2 * kMargin;
    int used = 0;
    for (int i = first; i < lineCount() && used < room; ++i) {
        if (dropped() + i == line)
            return true;
        used += LineRing::heightOf(*Layout(i));
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
        if (wraps()) {
            h->setRange(0, 0);
        } else {
            const int average = fontMetrics().averageCharWidth();
            const qint64 widest = std::max<qint64>(ring_.widest() * average, widestSeen_) + 2 * kMargin;
            h->setRange(0, int(std::clamp<qint64>(widest - room.width(), 0, std::numeric_limits<int>::max() / 2)));
            h->setPageStep(std::max(1, room.width()));
            h->setSingleStep(std::max(1, 2 * average));
        }
        const int maxTop = ring_.empty() ? 0 : TopFor(lineCount() - 1);
        v->setRange(0, maxTop);
        v->setPageStep(std::max(1, (room.height() - 2 * kMargin) / RowHeight()));
        if (viewport()->size() == room)
            break;
    }
    if (following_) {
        v->setValue(v->maximum());
    } else {
        const int value = int(std::clamp<qint64>(top_ - dropped(), 0, v->maximum()));
        v->setValue(value);
        top_ = dropped() + value;
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
        top_ = dropped() + v->value();
        following_ = v->value() >= v->maximum();
    }
    viewport()->update();
}

void ReceiveView::ensureVisible(qint64 line)
{
    if (sync_.isActive())
        Sync();
    if (ring_.empty())
        return;
    const int index = int(std::clamp<qint64>(line - dropped(), 0, lineCount() - 1));
    const int first = FirstShown();
    QScrollBar* v = verticalScrollBar();
    if (index < first)
        v->setValue(index);
    else if (const int top = TopFor(index); top > first)
        v->setValue(top);
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
