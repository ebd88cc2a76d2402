#include "ui/terminal/TerminalText.h"

#include "core/common/ByteText.h"
#include "core/common/Codepage.h"
#include "core/common/Hex.h"
#include "core/pages/TypedBytes.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <string>
#include <utility>

namespace terminal {

namespace {

// Made once from the core's escapes: a copy of a shared string costs no
// allocation, and binary data asks for an escape on most bytes.
const QString& EscapeText(std::uint8_t b)
{
    static const std::array<QString, 256> escapes = [] {
        std::array<QString, 256> all;
        for (int k = 0; k < 256; ++k) {
            const std::string_view e = text::Escape(std::uint8_t(k));
            all[std::size_t(k)] = QString::fromLatin1(e.data(), qsizetype(e.size()));
        }
        return all;
    }();
    return escapes[b];
}

QString FromGbk(std::span<const std::uint8_t> bytes)
{
    return QString::fromStdString(text::FromAnsi(bytes));
}

// The bytes as Decode's pieces would show them, without a string per piece:
// a stream would pay for that on every byte. Calls out(text, bytes,
// endsLine, run) for text made of `bytes` bytes: `run` for text whose code
// points are pieces of one character each, made by one conversion of the
// bytes they came from; otherwise one piece.
template <class Emit>
void Walk(std::span<const std::uint8_t> bytes, Encoding encoding, Emit out)
{
    // ASCII runs are widened into one buffer that keeps its room: a stream
    // of text lines would pay an allocation for each.
    QString ascii;
    text::Walk(
        bytes, encoding, [&](std::uint8_t b) { out(QStringView(EscapeText(b)), 1, b == '\n', false); },
        [&](std::span<const std::uint8_t> run, std::size_t characters, bool isAscii) {
            const auto* chars = reinterpret_cast<const char*>(run.data());
            if (isAscii) {
                ascii = QLatin1StringView(chars, qsizetype(run.size()));
                out(QStringView(ascii), run.size(), false, true);
                return;
            }
            if (encoding == Encoding::Utf8) {
                out(QStringView(QString::fromUtf8(chars, qsizetype(run.size()))), run.size(), false, true);
                return;
            }
            // A run the converter does not map one to one is done again
            // character by character.
            const QString converted = FromGbk(run);
            const auto lows = std::count_if(converted.begin(), converted.end(), [](QChar c) { return c.isLowSurrogate(); });
            if (std::size_t(converted.size() - lows) == characters) {
                out(QStringView(converted), run.size(), false, true);
                return;
            }
            for (std::size_t k = 0; k < run.size();) {
                const std::size_t length = text::CharacterLength(run, k, encoding);
                out(QStringView(FromGbk(run.subspan(k, length))), length, false, false);
                k += length;
            }
        });
}

// The bytes that characters of a run came from: UTF-8's lengths, or GBK's
// (one byte for ASCII, two for any other).
std::size_t BytesOf(QStringView characters, Encoding encoding)
{
    std::size_t n = 0;
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const char16_t c = characters[i].unicode();
        if (c < 0x80) {
            n += 1;
        } else if (encoding == Encoding::Gbk) {
            n += 2;
        } else if (QChar::isHighSurrogate(c)) {
            n += 4;
            ++i;
        } else {
            n += c < 0x800 ? 2 : 3;
        }
    }
    return n;
}

// GBK characters converted a run at a time (one converter per run, not per
// character); a run the converter does not map one to one is done again
// character by character.
void ConvertGbk(std::span<const std::uint8_t> bytes, std::vector<Piece>& pieces, std::size_t first)
{
    if (first == pieces.size())
        return;
    const std::size_t from = pieces[first].offset;
    const std::size_t to = pieces.back().offset + pieces.back().length;
    const QString run = FromGbk(bytes.subspan(from, to - from));
    const std::u32string codePoints = run.toStdU32String();
    const bool oneToOne = codePoints.size() == pieces.size() - first;
    for (std::size_t k = first; k < pieces.size(); ++k) {
        Piece& p = pieces[k];
        p.text = oneToOne ? QString::fromUcs4(&codePoints[k - first], 1) : FromGbk(bytes.subspan(p.offset, p.length));
    }
}

// More bytes fill a short last row, and may make one character of escaped
// bytes at the end (at most three: UTF-8's longest character less one); the
// text beside the hex shows a character on the row where it begins.
Tail HexTail(std::size_t size, const std::vector<Piece>& pieces)
{
    std::size_t redo = size % kHexRow != 0 ? size - 1 : size;
    const std::size_t last = size > 3 ? size - 3 : 0;
    const auto before = [](std::size_t at) { return [at](const Piece& p) { return p.offset < at; }; };
    if (const auto p = std::partition_point(pieces.begin(), pieces.end(), before(last)); p != pieces.end())
        redo = std::min(redo, p->offset);
    if (redo >= size)
        return {size, qsizetype((size + kHexRow - 1) / kHexRow), 0};
    const std::size_t at = redo / kHexRow * kHexRow;
    const auto first = std::partition_point(pieces.begin(), pieces.end(), before(at));
    if (pieces.empty())
        return {at, qsizetype(at / kHexRow), 0};
    return {at, qsizetype(at / kHexRow), (first == pieces.end() ? size : first->offset) - at};
}

}  // namespace

std::vector<Piece> Decode(std::span<const std::uint8_t> bytes, Encoding encoding)
{
    std::vector<Piece> pieces;
    pieces.reserve(bytes.size());
    std::size_t gbkRun = 0;  // first piece of the GBK run not yet converted
    for (std::size_t i = 0; i < bytes.size();) {
        const std::uint8_t b = bytes[i];
        Piece p;
        p.offset = i;
        p.length = text::CharacterLength(bytes, i, encoding);
        // Text comes with the run's conversion.
        const bool pending = p.length != 0 && encoding == Encoding::Gbk;
        if (p.length == 0) {
            p.length = 1;
            p.text = EscapeText(b);
            p.endsLine = b == '\n';
        } else if (!pending) {
            p.text = QString::fromUtf8(reinterpret_cast<const char*>(bytes.data() + i), qsizetype(p.length));
        }
        if (!pending) {
            ConvertGbk(bytes, pieces, gbkRun);
            gbkRun = pieces.size() + 1;
        }
        i += p.length;
        pieces.push_back(std::move(p));
    }
    ConvertGbk(bytes, pieces, gbkRun);
    return pieces;
}

QStringList Render(std::span<const std::uint8_t> bytes, View view, Encoding encoding, Tail* tail, std::size_t skip)
{
    QStringList lines;
    if (view == View::Text) {
        QString line;
        // Bytes shown, where `line` begins, where the line before it began,
        // and whether `line` began where that one was full.
        std::size_t at = 0, lineAt = 0, lineBeforeAt = 0;
        bool wrapped = false;
        const auto next = [&](bool full) {
            lines << std::exchange(line, {});
            lineBeforeAt = std::exchange(lineAt, at);
            wrapped = full;
        };
        // A run splits where a piece would have: characters of a run are
        // pieces of one character each.
        const auto add = [&](QStringView text, std::size_t length, bool endsLine, bool run) {
            if (!run) {
                if (!line.isEmpty() && line.size() + text.size() > kMaxLineChars)
                    next(true);
                line += text;
                at += length;
                if (endsLine)
                    next(false);
                return;
            }
            const std::size_t end = at + length;
            while (!text.isEmpty()) {
                if (line.size() >= kMaxLineChars)
                    next(true);
                qsizetype take = std::min(kMaxLineChars - line.size(), text.size());
                // A surrogate pair is one character: it moves down whole.
                if (take < text.size() && text[take - 1].isHighSurrogate() && --take == 0) {
                    next(true);
                    continue;
                }
                line += text.first(take);
                // Counted only where the run goes on to the next line.
                at = take == text.size() ? end : at + BytesOf(text.first(take), encoding);
                text = text.sliced(take);
            }
        };
        Walk(bytes, encoding, add);
        if (!line.isEmpty())
            lines << line;
        // Bytes at the end that begin a character yet show as escapes may
        // become one with what follows, and then fit on the line before
        // theirs when they began a line of their own for want of room.
        if (tail)
            *tail = line.isEmpty() ? Tail{bytes.size(), lines.size()}
                    : wrapped      ? Tail{lineBeforeAt, lines.size() - 2}
                                   : Tail{lineAt, lines.size() - 1};
        return lines;
    }
    std::vector<Piece> pieces;
    if (view == View::Both) {
        skip = std::min(skip, bytes.size());
        pieces = Decode(bytes.subspan(skip), encoding);
        for (Piece& p : pieces)
            p.offset += skip;
    }
    if (tail)
        *tail = HexTail(bytes.size(), pieces);
    auto piece = pieces.begin();
    for (std::size_t row = 0; row < bytes.size(); row += kHexRow) {
        const auto rowBytes = bytes.subspan(row, std::min(kHexRow, bytes.size() - row));
        QString line = QString::fromStdString(hex::FormatSpaced(rowBytes)).trimmed();
        if (view == View::Both) {
            // The text of the characters that start in this row.
            line = line.leftJustified(int(3 * kHexRow - 1)) + QStringLiteral("  ");
            for (; piece != pieces.end() && piece->offset < row + kHexRow; ++piece)
                line += piece->text;
        }
        lines << line;
    }
    return lines;
}

QString OneLine(std::span<const std::uint8_t> bytes, Encoding encoding)
{
    QString line;
    Walk(bytes, encoding, [&line](QStringView text, std::size_t, bool, bool) { line += text; });
    return line;
}

Outgoing BuildText(const QString& typed, Encoding encoding, LineEnding ending)
{
    Outgoing out;
    pages::TypedBytes read = pages::ReadTyped(typed.toStdString(), false, encoding);
    if (read.fault == pages::TypedBytes::Fault::NotInGbk) {
        out.refusal = QCoreApplication::translate(
                          "TerminalWindow", "发送数据第 %1 个字符“%2”不能用 GBK 编码发送，请改用 UTF-8 或删去它！")
                          .arg(read.count)
                          .arg(QString::fromStdString(read.text));
        return out;
    }
    out.bytes = std::move(read.bytes);
    static const char* const kEndings[] = {"", "\r", "\n", "\r\n"};
    for (const char* c = kEndings[static_cast<int>(ending)]; *c; ++c)
        out.bytes.push_back(static_cast<std::uint8_t>(*c));
    return out;
}

Outgoing BuildHex(const QString& typed)
{
    Outgoing out;
    pages::TypedBytes read = pages::ReadTyped(typed.toStdString(), true, Encoding::Utf8);
    if (read.fault == pages::TypedBytes::Fault::NotHex)
        out.refusal = QString::fromStdString(read.text);
    else if (read.fault == pages::TypedBytes::Fault::OddDigits)
        out.refusal = QCoreApplication::translate(
                          "TerminalWindow", "发送数据共 %1 位十六进制数字，不是整字节：每个字节两位，请补足或删去一位！")
                          .arg(read.count);
    else
        out.bytes = std::move(read.bytes);
    return out;
}

}  // namespace terminal
