// The terminal's receive view: a ring of at most N lines that draws only
// the lines on screen. A document that lays out all it holds (a
// QPlainTextEdit) costs a third of a stream's CPU; this keeps each line as a
// string and lays out only the ones painted.
//
// The vertical scroll bar counts lines: its value is the first line shown,
// its maximum the first line of the last page. In the text view long lines
// wrap at the width, as a text editor wraps them (at a word, or anywhere in
// a long word), laid out only when painted; the hex views do not wrap and
// scroll sideways instead. While it shows the last line it follows the end;
// scrolled up, it keeps the same lines on screen as older ones leave.
//
// Selection and a caret work with the mouse and the keyboard (arrows,
// PageUp/PageDown, Home/End on a line, Ctrl+Home/Ctrl+End for the whole
// view, Shift to select), Ctrl+C copies and Ctrl+A selects all, and the
// context menu offers both. PageUp and PageDown move the page shown, as the
// wheel does, and the caret with it. Assistive technology reads it as
// read-only multi-line text: every line held, joined with '\n'
// (ReceiveViewAccessible.cpp).
//
// The lines, the caret and the selection are a LineRing; this file and
// ReceiveView.cpp keep the page shown over it, ReceiveViewPaint.cpp draws
// it and finds places on it, ReceiveViewInput.cpp takes the keys and the
// mouse.
#pragma once

#include "ui/terminal/LineRing.h"

#include <QAbstractScrollArea>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <utility>
#include <vector>

class QTextLayout;

namespace terminal {

class ReceiveView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // A place in the text: a line, counted from the first ever held (lines
    // that left the ring keep their numbers) and a character in it.
    using Pos = LineRing::Pos;

    explicit ReceiveView(QWidget* parent = nullptr);
    ~ReceiveView() override;

    // The most lines held; the oldest leave first.
    void setMaxLines(int lines);
    int maxLines() const { return ring_.maxLines(); }
    // Long lines wrap at the width (the text view) or scroll sideways.
    void setWrap(bool wrap);
    bool wraps() const { return ring_.wraps(); }

    void append(QStringList lines);
    // Takes back the newest lines (a record shown while it grows).
    void removeLast(int count);
    void clear();

    const LineRing& lines() const { return ring_; }
    int lineCount() const { return ring_.count(); }
    // 0 is the oldest held.
    const QString& line(int index) const { return ring_.line(index); }
    // Lines that left at the top since the view was last cleared.
    qint64 dropped() const { return ring_.dropped(); }
    // Every line held, joined with '\n'.
    QString text() const { return ring_.text(); }
    QString selectedText() const { return ring_.selectedText(); }
    bool hasSelection() const { return ring_.hasSelection(); }
    // True while it shows the last line and follows new ones.
    bool following() const { return following_; }
    void scrollToEnd();

    // For the accessible interface: the text as one string of characters.
    qint64 characterCount() const { return ring_.characterCount(); }
    qint64 offsetOf(Pos pos) const { return ring_.offsetOf(pos); }
    Pos posOf(qint64 offset) const { return ring_.posOf(offset); }
    QString textBetween(qint64 start, qint64 end) const { return ring_.textBetween(start, end); }
    Pos caret() const { return ring_.caret(); }
    Pos anchor() const { return ring_.anchor(); }
    // The selection's first and last place.
    std::pair<Pos, Pos> selectionRange() const { return ring_.selectionRange(); }
    void select(Pos anchor, Pos caret);
    // Where a place is drawn, in viewport coordinates; empty off screen.
    QRect characterRect(Pos pos) const;
    Pos posAtPoint(QPoint viewportPoint) const;
    void ensureVisible(qint64 line);

public slots:
    void copy() const;
    void selectAll();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // A line as painted: where, and its layout.
    struct Shown {
        qint64 line = 0;
        int top = 0;
        int height = 0;
        std::shared_ptr<QTextLayout> layout;
    };

    // Room around the text, as a QPlainTextEdit's document leaves it.
    static constexpr int kMargin = 4;

    // Lines that left the ring, for assistive technology.
    void Gone(const LineRing::Left& left);
    // The first line of the page that ends with line `last`.
    int TopFor(int last) const;
    int FirstShown() const;
    // Whether the page shown holds the line, or part of it.
    bool Shows(qint64 line) const;
    // The scroll bars over what is held, once after a batch of changes.
    void Changed();
    void Sync();

    // ReceiveViewPaint.cpp
    std::shared_ptr<QTextLayout> Layout(int index) const;
    int TextWidth() const;
    int RowHeight() const;
    // Where the text starts across, scrolled sideways.
    qreal TextLeft() const;

    // ReceiveViewInput.cpp
    void MoveCaret(Pos to, bool keep);
    void SelectionChanged();

    // ReceiveViewAccessible.cpp
    static void InstallAccessible();
    void TellSelection();
    void TellTextChanged();

    LineRing ring_;
    bool following_ = true;
    qint64 top_ = 0;  // the first line shown while not following
    int widestSeen_ = 0;       // pixels, of the lines painted
    mutable int rowHeight_ = 0;
    bool dragging_ = false;
    bool syncing_ = false;
    QTimer sync_;
    mutable std::vector<Shown> shown_;  // as last painted
    // Since the last Sync(), for assistive technology: characters that left
    // at the top, and the lines held before it that are unchanged.
    qint64 a11yRemoved_ = 0;
    qint64 a11yKeptLines_ = 0;
    qint64 a11yChars_ = 0;
};

}  // namespace terminal
