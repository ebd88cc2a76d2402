// Assistive technology reads the view as read-only multi-line text: every
// line held, joined with '\n', told of what changes once per batch.
#include "ui/terminal/ReceiveView.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <algorithm>
#include <limits>

namespace terminal {

namespace {

// Read-only multi-line text over every line held, joined with '\n'.
class ReceiveViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ReceiveViewAccessible(ReceiveView* view) : QAccessibleWidget(view, QAccessible::EditableText) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        s.selectableText = true;
        s.focusable = true;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? view()->text() : QAccessibleWidget::text(t);
    }

    void selection(int index, int* start, int* end) const override
    {
        *start = *end = 0;
        if (index != 0 || !view()->hasSelection())
            return;
        const auto [from, to] = view()->selectionRange();
        *start = Int(view()->offsetOf(from));
        *end = Int(view()->offsetOf(to));
    }
    int selectionCount() const override { return view()->hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { view()->select(view()->caret(), view()->caret()); }
    void setSelection(int, int start, int end) override
    {
        view()->select(view()->posOf(start), view()->posOf(end));
    }
    int cursorPosition() const override { return Int(view()->offsetOf(view()->caret())); }
    void setCursorPosition(int position) override
    {
        const ReceiveView::Pos at = view()->posOf(position);
        view()->select(at, at);
        view()->ensureVisible(at.line);
    }
    QString text(int start, int end) const override { return view()->textBetween(start, end); }
    int characterCount() const override { return Int(view()->characterCount()); }
    QRect characterRect(int offset) const override
    {
        const QRect r = view()->characterRect(view()->posOf(offset));
        return r.isEmpty() ? QRect() : QRect(view()->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        const QPoint at = view()->viewport()->mapFromGlobal(point);
        if (!view()->viewport()->rect().contains(at))
            return -1;
        return Int(view()->offsetOf(view()->posAtPoint(at)));
    }
    void scrollToSubstring(int start, int) override { view()->ensureVisible(view()->posOf(start).line); }
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    ReceiveView* view() const { return static_cast<ReceiveView*>(widget()); }
    static int Int(qint64 n) { return int(std::min<qint64>(n, std::numeric_limits<int>::max())); }
};

QAccessibleInterface* AccessibleFor(const QString& key, QObject* object)
{
    if (key == QLatin1String(ReceiveView::staticMetaObject.className()) && object && object->isWidgetType())
        return new ReceiveViewAccessible(static_cast<ReceiveView*>(object));
    return nullptr;
}

}  // namespace

void ReceiveView::InstallAccessible()
{
    QAccessible::installFactory(&AccessibleFor);
}

void ReceiveView::TellSelection()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleTextCursorEvent moved(this, int(offsetOf(caret())));
    QAccessible::updateAccessibility(&moved);
    const auto [from, to] = selectionRange();
    QAccessibleTextSelectionEvent selected(this, int(offsetOf(from)), int(offsetOf(to)));
    QAccessible::updateAccessibility(&selected);
}

void ReceiveView::TellTextChanged()
{
    if (!QAccessible::isActive()) {
        a11yChars_ = -1;
        a11yKeptLines_ = lineCount();
        a11yRemoved_ = 0;
        return;
    }
    const qint64 kept = std::min<qint64>(a11yKeptLines_, lineCount());
    if (a11yChars_ >= 0) {
        // Removed text is told in spaces, as a QPlainTextEdit tells it.
        if (a11yRemoved_ > 0) {
            QAccessibleTextRemoveEvent removed(this, 0, QString(qsizetype(std::min(a11yRemoved_, a11yChars_)), u' '));
            QAccessible::updateAccessibility(&removed);
        }
        const qint64 keptChars = kept == 0 ? 0 : offsetOf({dropped() + kept - 1, std::numeric_limits<qsizetype>::max()});
        const qint64 before = std::max<qint64>(0, a11yChars_ - a11yRemoved_ - keptChars);
        const qint64 after = characterCount() - keptChars;
        const int at = int(keptChars);
        if (before == 0 && after > 0) {
            QAccessibleTextInsertEvent inserted(this, at, textBetween(keptChars, characterCount()));
            QAccessible::updateAccessibility(&inserted);
        } else if (before > 0 && after == 0) {
            QAccessibleTextRemoveEvent removed(this, at, QString(qsizetype(before), u' '));
            QAccessible::updateAccessibility(&removed);
        } else if (before > 0) {
            QAccessibleTextUpdateEvent updated(this, at, QString(qsizetype(before), u' '),
                                               textBetween(keptChars, characterCount()));
            QAccessible::updateAccessibility(&updated);
        }
    }
    a11yChars_ = characterCount();
    a11yKeptLines_ = lineCount();
    a11yRemoved_ = 0;
}

}  // namespace terminal
