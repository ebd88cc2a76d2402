// The lines the terminal's receive view holds, without the view: a ring of
// at most N lines (the oldest leave first, and are counted), the caret and
// the selection in them, the text they make joined with '\n', and how a line
// lays out at a width. The view scrolls, paints and takes input over it.
//
// Places keep their line numbers as lines leave: a line is counted from the
// first ever held since the last clear, so a place the user chose stays on
// its line while older ones go.
#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <utility>

class QFont;
class QPaintDevice;
class QTextLayout;

namespace terminal {

class LineRing {
public:
    // A place in the text: a line, by its number, and a character in it.
    struct Pos {
        qint64 line = 0;
        qsizetype column = 0;
        friend bool operator==(const Pos&, const Pos&) = default;
        friend auto operator<=>(const Pos&, const Pos&) = default;
    };
    // What left at the top in one change: lines that were held, and the
    // characters of every line that left or never came in, a line break each.
    struct Left {
        qint64 lines = 0;
        qint64 chars = 0;
    };

    Left setMaxLines(int lines);
    int maxLines() const { return maxLines_; }
    // More lines than it holds: the ones that would leave at once never
    // come in, but are counted as dropped.
    Left append(QStringList lines);
    // Takes back the newest lines.
    void removeLast(int count);
    void clear();

    int count() const { return int(lines_.size()); }
    bool empty() const { return lines_.empty(); }
    // 0 is the oldest held.
    const QString& line(int index) const { return lines_[std::size_t(index)]; }
    // By its number, from firstLine() to before endLine().
    const QString& at(qint64 line) const { return lines_[std::size_t(line - dropped_)]; }
    // Lines that left at the top since the last clear.
    qint64 dropped() const { return dropped_; }
    qint64 firstLine() const { return dropped_; }
    qint64 endLine() const { return dropped_ + qint64(lines_.size()); }
    // Characters in the longest line that came in since the last clear.
    qsizetype widest() const { return widest_; }

    // The text as one string of characters, lines joined with '\n'.
    qint64 characterCount() const;
    qint64 offsetOf(Pos pos) const;
    Pos posOf(qint64 offset) const;
    QString textBetween(qint64 start, qint64 end) const;
    QString text() const { return textBetween(0, characterCount()); }
    // The nearest place held.
    Pos clamped(Pos pos) const;

    Pos caret() const { return clamped(caret_); }
    Pos anchor() const { return clamped(anchor_); }
    // Where the caret was put, whether or not its line is still held.
    Pos caretAsPut() const { return caret_; }
    // A selection whose lines all left is none.
    bool hasSelection() const { return anchor() != caret(); }
    // The selection's first and last place.
    std::pair<Pos, Pos> selectionRange() const
    {
        const Pos a = anchor(), c = caret();
        return a < c ? std::pair{a, c} : std::pair{c, a};
    }
    QString selectedText() const;
    void select(Pos anchor, Pos caret);
    // `keep` extends the selection from the anchor.
    void moveCaret(Pos to, bool keep);
    // False when there is nothing to select.
    bool selectAll();
    // The word around a place (letters, digits and '_'), as a double click
    // selects it.
    std::pair<Pos, Pos> wordAt(Pos pos) const;

    // Lines wrap at the width, at a word or anywhere in a long word, or run
    // on in one row.
    void setWrap(bool wrap) { wrap_ = wrap; }
    bool wraps() const { return wrap_; }
    // A held line (0 the oldest) laid out as it is painted.
    std::shared_ptr<QTextLayout> layout(int index, const QFont& font, QPaintDevice* device, int width) const;
    // Whole pixels, at least one.
    static int heightOf(const QTextLayout& layout);

private:
    Left Trim();

    std::deque<QString> lines_;
    qint64 chars_ = 0;  // in the lines held
    int maxLines_ = 10000;
    qint64 dropped_ = 0;
    qsizetype widest_ = 0;
    bool wrap_ = true;
    Pos anchor_, caret_;
};

}  // namespace terminal
