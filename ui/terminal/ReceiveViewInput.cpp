// The keys and the mouse: the caret and the selection, copying, and the
// page keys, which move the page as the wheel does.
#include "ui/terminal/ReceiveView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>

#include <algorithm>
#include <limits>

namespace terminal {

void ReceiveView::copy() const
{
    if (hasSelection())
        QGuiApplication::clipboard()->setText(selectedText());
}

void ReceiveView::selectAll()
{
    if (ring_.selectAll())
        SelectionChanged();
}

void ReceiveView::MoveCaret(Pos to, bool keep)
{
    ring_.moveCaret(to, keep);
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
    if (ring_.empty()) {
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    const bool keep = e->modifiers() & Qt::ShiftModifier;
    const bool whole = e->modifiers() & Qt::ControlModifier;
    const qint64 first = ring_.firstLine(), end = ring_.endLine();
    Pos c = caret();
    const qsizetype length = ring_.at(c.line).size();
    const int page = verticalScrollBar()->pageStep();
    switch (e->key()) {
    case Qt::Key_Left:
        c = c.column > 0 ? Pos{c.line, c.column - 1} : Pos{c.line - 1, std::numeric_limits<qsizetype>::max()};
        if (c.line < first)
            c = {first, 0};
        break;
    case Qt::Key_Right:
        c = c.column < length ? Pos{c.line, c.column + 1} : Pos{std::min(c.line + 1, end - 1), 0};
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
            c = {dropped() + FirstShown(), 0};
        const int step = e->key() == Qt::Key_PageUp ? -page : page;
        c.line += step;
        verticalScrollBar()->setValue(verticalScrollBar()->value() + step);
        break;
    }
    case Qt::Key_Home: c = whole ? Pos{first, 0} : Pos{c.line, 0}; break;
    case Qt::Key_End: c = whole ? Pos{end - 1, ring_.at(end - 1).size()} : Pos{c.line, length}; break;
    default: QAbstractScrollArea::keyPressEvent(e); return;
    }
    MoveCaret(c, keep);
    ensureVisible(caret().line);
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
    if (e->button() != Qt::LeftButton || ring_.empty())
        return;
    const auto [from, to] = ring_.wordAt(posAtPoint(e->position().toPoint()));
    select(from, to);
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
    all->setEnabled(!ring_.empty());
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

}  // namespace terminal
