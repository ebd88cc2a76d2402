// The terminal's words for bytes, both ways. Received bytes are shown as
// text (GBK or UTF-8, with the escapes of core/common/ByteText.h, so that
// every byte on the line can be read back from the view or the log), as
// hex, or as both side by side.
//
// A line of text breaks after each \n, so that an AT answer reads as lines.
// What the user sends is built here too: text in the chosen encoding with
// the chosen line ending, or hex digits, whole bytes only.
#pragma once

#include "core/common/ByteText.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>
#include <vector>

namespace terminal {

using Bytes = std::vector<std::uint8_t>;

using text::Encoding;
enum class View { Text, Hex, Both };
enum class LineEnding { None, Cr, Lf, CrLf };

// Bytes per row of the hex views.
inline constexpr std::size_t kHexRow = 16;
// A text line longer than this continues on the next one, so that no line
// of the bounded view can grow without bound.
inline constexpr qsizetype kMaxLineChars = 256;

// One character, or one escape, and the bytes it came from.
struct Piece {
    std::size_t offset = 0;
    std::size_t length = 0;
    QString text;
    bool endsLine = false;  // a line feed
};

std::vector<Piece> Decode(std::span<const std::uint8_t> bytes, Encoding encoding);

// The last lines, that more bytes after these may change: the bytes from
// `at` on show as the lines from `line` on. Shown again with the bytes that
// come after them (and the same `skip`), they read as all the bytes shown
// at once.
struct Tail {
    std::size_t at = 0;
    qsizetype line = 0;
    // Bytes at `at` that end a character shown on a line above (the text
    // beside the hex shows a character on the row where it begins).
    std::size_t skip = 0;
};

// The bytes as the view shows them in `view`, line by line, and their tail.
// The first `skip` bytes show as hex only.
QStringList Render(std::span<const std::uint8_t> bytes, View view, Encoding encoding, Tail* tail = nullptr,
                   std::size_t skip = 0);

// The bytes as one line of text with escapes, as the session log keeps them.
QString OneLine(std::span<const std::uint8_t> bytes, Encoding encoding);

// What the user asked to send, or why it cannot go.
struct Outgoing {
    Bytes bytes;
    QString refusal;
    bool ok() const { return refusal.isEmpty(); }
};

Outgoing BuildText(const QString& text, Encoding encoding, LineEnding ending);
// Hex digits in either case, blanks between them as the user likes. A
// character that is not a hex digit or a blank, or an odd number of digits,
// is refused: a terminal sends whole bytes, nothing the user did not type.
Outgoing BuildHex(const QString& text);

}  // namespace terminal
