#include "ui/terminal/TerminalText.h"

#include "core/common/Codepage.h"
#include "core/common/Hex.h"
#include "core/pages/DataFrame.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <string>
#include <utility>

namespace terminal {

namespace {

// Made once: a stream of binary data asks for an escape on most bytes, and a
// copy of a shared string costs no allocation.
const std::array<QString, 256>& ByteEscapes()
{
    static const std::array<QString, 256> escapes = [] {
        std::array<QString, 256> all;
        for (int b = 0; b < 256; ++b)
            all[std::size_t(b)] =
                QStringLiteral("\\x") + QString::number(b, 16).toUpper().rightJustified(2, QLatin1Char('0'));
        return all;
    }();
    return escapes;
}

QString ByteEscape(std::uint8_t b)
{
    return ByteEscapes()[b];
}

// The escape of a byte that is no printable character, or nothing.
QString ControlEscape(std::uint8_t b)
{
    static const QString r = QStringLiteral("\\r"), n = QStringLiteral("\\n"), t = QStringLiteral("\\t"),
                         zero = QStringLiteral("\\0"), backslash = QStringLiteral("\\\\");
    switch (b) {
    case '\r': return r;
    case '\n': return n;
    case '\t': return t;
    case 0: return zero;
    case '\\': return backslash;
    default: return b < 0x20 || b == 0x7F ? ByteEscape(b) : QString();
    }
}

// Length of the GBK character at `i`: 2 for a lead byte with its trail,
// 0 for a byte that begins none.
std::size_t GbkLength(std::span<const std::uint8_t> s, std::size_t i)
{
    const std::uint8_t lead = s[i];
    if (lead < 0x81 || lead == 0xFF || i + 1 >= s.size())
        return 0;
    const std::uint8_t trail = s[i + 1];
    return trail >= 0x40 && trail != 0x7F && trail != 0xFF ? 2 : 0;
}

// Length of a well-formed UTF-8 sequence at `i` (no overlong forms, no
// surrogates, nothing past U+10FFFF), 0 otherwise.
std::size_t Utf8Length(std::span<const std::uint8_t> s, std::size_t i)
{
    const std::uint8_t lead = s[i];
    std::size_t n = 0;
    std::uint8_t low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (n == 0 || i + n > s.size() || s[i + 1] < low || s[i + 1] > high)
        return 0;
    for (std::size_t k = 2; k < n; ++k)
        if ((s[i + k] & 0xC0) != 0x80)
            return 0;
    return n;
}

QString FromGbk(std::span<const std::uint8_t> bytes)
{
    return QString::fromStdString(text::FromAnsi(bytes));
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

// A byte shown as itself in both encodings.
constexpr bool Plain(std::uint8_t b)
{
    return b >= 0x20 && b < 0x7F && b != '\\';
}

// The bytes as Decode's pieces would show them, without a string per piece:
// a stream would pay for that on every byte. Calls out(text, endsLine, run):
// `run` for text whose code points are pieces of one character each, made
// by one conversion of the bytes they came from; otherwise one piece.
template <class Emit>
void Walk(std::span<const std::uint8_t> bytes, Encoding encoding, Emit out)
{
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        std::size_t end = i, characters = 0;
        bool ascii = true;
        while (end < n) {
            const std::uint8_t b = bytes[end];
            std::size_t length = 1;
            if (!Plain(b)) {
                if (b < 0x80)
                    break;
                length = encoding == Encoding::Gbk ? GbkLength(bytes, end) : Utf8Length(bytes, end);
                // C1 controls (U+0080 to U+009F) print nothing either.
                if (length == 0 || (encoding == Encoding::Utf8 && b == 0xC2 && bytes[end + 1] < 0xA0))
                    break;
                ascii = false;
            }
            end += length;
            ++characters;
        }
        if (end == i) {
            const std::uint8_t b = bytes[i++];
            const QString escape = ControlEscape(b);
            out(QStringView(escape.isEmpty() ? ByteEscapes()[b] : escape), b == '\n', false);
            continue;
        }
        const auto run = bytes.subspan(i, end - i);
        const auto* chars = reinterpret_cast<const char*>(run.data());
        if (ascii) {
            out(QStringView(QString::fromLatin1(chars, qsizetype(run.size()))), false, true);
        } else if (encoding == Encoding::Utf8) {
            out(QStringView(QString::fromUtf8(chars, qsizetype(run.size()))), false, true);
        } else {
            // A run the converter does not map one to one is done again
            // character by character.
            const QString text = FromGbk(run);
            const auto codePoints = std::size_t(text.size() - std::count_if(text.begin(), text.end(), [](QChar c) {
                                                    return c.isLowSurrogate();
                                                }));
            if (codePoints == characters) {
                out(QStringView(text), false, true);
            } else {
                for (std::size_t k = 0; k < run.size();) {
                    const std::size_t length = Plain(run[k]) ? 1 : GbkLength(run, k);
                    out(QStringView(FromGbk(run.subspan(k, length))), false, false);
                    k += length;
                }
            }
        }
        i = end;
    }
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
        p.length = 1;
        bool pending = false;  // text comes with the run's conversion
        if (QString escape = ControlEscape(b); !escape.isEmpty()) {
            p.text = escape;
            p.endsLine = b == '\n';
        } else if (b < 0x80) {
            p.text = QChar(b);
            pending = encoding == Encoding::Gbk;
        } else if (encoding == Encoding::Gbk) {
            p.length = GbkLength(bytes, i);
            pending = p.length != 0;
        } else if ((p.length = Utf8Length(bytes, i)) != 0) {
            p.text = QString::fromUtf8(reinterpret_cast<const char*>(bytes.data() + i), qsizetype(p.length));
            // C1 controls (U+0080 to U+009F) print nothing either.
            if (p.text.size() == 1 && p.text[0].unicode() < 0xA0)
                p.length = 0;
        }
        if (p.length == 0) {
            p.length = 1;
            p.text = ByteEscape(b);
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

QStringList Render(std::span<const std::uint8_t> bytes, View view, Encoding encoding)
{
    QStringList lines;
    if (view == View::Text) {
        QString line;
        // A run splits where a piece would have: characters of a run are
        // pieces of one character each.
        const auto add = [&](QStringView text, bool endsLine, bool run) {
            if (!run) {
                if (!line.isEmpty() && line.size() + text.size() > kMaxLineChars)
                    lines << std::exchange(line, {});
                line += text;
                if (endsLine)
                    lines << std::exchange(line, {});
                return;
            }
            while (!text.isEmpty()) {
                if (line.size() >= kMaxLineChars)
                    lines << std::exchange(line, {});
                qsizetype take = std::min(kMaxLineChars - line.size(), text.size());
                // A surrogate pair is one character: it moves down whole.
                if (take < text.size() && text[take - 1].isHighSurrogate() && --take == 0) {
                    lines << std::exchange(line, {});
                    continue;
                }
                line += text.first(take);
                text = text.sliced(take);
            }
        };
        Walk(bytes, encoding, add);
        if (!line.isEmpty())
            lines << line;
        return lines;
    }
    std::vector<Piece> pieces;
    if (view == View::Both)
        pieces = Decode(bytes, encoding);
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
    Walk(bytes, encoding, [&line](QStringView text, bool, bool) { line += text; });
    return line;
}

Outgoing BuildText(const QString& typed, Encoding encoding, LineEnding ending)
{
    Outgoing out;
    const std::string utf8 = typed.toStdString();
    if (encoding == Encoding::Utf8) {
        out.bytes.assign(utf8.begin(), utf8.end());
    } else {
        // GBK has no place for some characters; a '?' the user did not type
        // would go out in their place.
        if (const auto culprit = text::FindNotInAnsi(utf8)) {
            out.refusal = QCoreApplication::translate(
                              "TerminalWindow", "发送数据第 %1 个字符“%2”不能用 GBK 编码发送，请改用 UTF-8 或删去它！")
                              .arg(culprit->position)
                              .arg(QString::fromStdString(culprit->character));
            return out;
        }
        out.bytes = text::ToAnsi(utf8);
    }
    static const char* const kEndings[] = {"", "\r", "\n", "\r\n"};
    for (const char* c = kEndings[static_cast<int>(ending)]; *c; ++c)
        out.bytes.push_back(static_cast<std::uint8_t>(*c));
    return out;
}

Outgoing BuildHex(const QString& typed)
{
    Outgoing out;
    const std::string utf8 = typed.toStdString();
    if (auto refusal = pages::CheckHexText(utf8, pages::kDataField, true)) {
        out.refusal = QString::fromStdString(*refusal);
        return out;
    }
    const std::string digits = pages::NormaliseHexText(utf8);
    if (digits.size() % 2 != 0) {
        out.refusal = QCoreApplication::translate(
                          "TerminalWindow", "发送数据共 %1 位十六进制数字，不是整字节：每个字节两位，请补足或删去一位！")
                          .arg(digits.size());
        return out;
    }
    out.bytes = hex::ParsePairs(digits, digits.size() / 2);
    return out;
}

}  // namespace terminal
