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
#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
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
    struct Pos {
        qint64 line = 0;
        qsizetype column = 0;
        friend bool operator==(const Pos&, const Pos&) = default;
        friend auto operator<=>(const Pos&, const Pos&) = default;
    };

    explicit ReceiveView(QWidget* parent = nullptr);
    ~ReceiveView() override;

    // The most lines held; the oldest leave first.
    void setMaxLines(int lines);
    int maxLines() const { return maxLines_; }
    // Long lines wrap at the width (the text view) or scroll sideways.
    void setWrap(bool wrap);
    bool wraps() const { return wrap_; }

    void append(QStringList lines);
    // Takes back the newest lines (a record shown while it grows).
    void removeLast(int count);
    void clear();

    int lineCount() const { return int(lines_.size()); }
    // 0 is the oldest held.
    const QString& line(int index) const { return lines_[std::size_t(index)]; }
    // Lines that left at the top since the view was last cleared.
    qint64 dropped() const { return dropped_; }
    // Every line held, joined with '\n'.
    QString text() const;
    QString selectedText() const;
    bool hasSelection() const { return anchor_ != caret_; }
    // True while it shows the last line and follows new ones.
    bool following() const { return following_; }
    void scrollToEnd();

    // For the accessible interface: the text as one string of characters.
    qint64 characterCount() const;
    qint64 offsetOf(Pos pos) const;
    Pos posOf(qint64 offset) const;
    QString textBetween(qint64 start, qint64 end) const;
    Pos caret() const { return Clamped(caret_); }
    Pos anchor() const { return Clamped(anchor_); }
    // The selection's first and last place.
    std::pair<Pos, Pos> selectionRange() const
    {
        const Pos a = anchor(), c = caret();
        return a < c ? std::pair{a, c} : std::pair{c, a};
    }
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

    std::shared_ptr<QTextLayout> Layout(int index) const;
    int TextWidth() const;
    int RowHeight() const;
    // The first line of the page that ends with line `last`.
    int TopFor(int last) const;
    int FirstShown() const;
    // Whether the page shown holds the line, or part of it.
    bool Shows(qint64 line) const;
    // The scroll bars over what is held, once after a batch of changes.
    void Changed();
    void Sync();
    void OnScrolled(int value);
    Pos Clamped(Pos pos) const;
    qint64 FirstLine() const { return dropped_; }
    qint64 EndLine() const { return dropped_ + qint64(lines_.size()); }
    const QString& At(qint64 line) const { return lines_[std::size_t(line - dropped_)]; }
    // Moves the caret; `keep` extends the selection from the anchor.
    void MoveCaret(Pos to, bool keep);
    void SelectionChanged();
    // ReceiveViewAccessible.cpp
    static void InstallAccessible();
    void TellSelection();
    void TellTextChanged();

    std::deque<QString> lines_;
    qint64 chars_ = 0;  // in the lines held
    int maxLines_ = 10000;
    qint64 dropped_ = 0;
    bool wrap_ = true;
    bool following_ = true;
    qint64 top_ = 0;  // the first line shown while not following
    qsizetype widest_ = 0;     // characters, for the sideways scroll bar
    int widestSeen_ = 0;       // pixels, of the lines painted
    mutable int rowHeight_ = 0;
    Pos anchor_, caret_;
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
