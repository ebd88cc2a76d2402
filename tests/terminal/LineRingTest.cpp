// The receive view's lines without the view: the bound and what it drops,
// the text and places in it, the selection, and how a line wraps.
#include "ui/terminal/LineRing.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QTest>
#include <QTextLayout>

#include <cmath>
#include <vector>

Q_DECLARE_METATYPE(std::vector<int>)

namespace {

using terminal::LineRing;
using Pos = LineRing::Pos;

// Lines "0", "1", ... counted across calls.
QStringList Numbered(int& next, int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << QString::number(next++);
    return out;
}

}  // namespace

class LineRingTest : public QObject {
    Q_OBJECT

private slots:
    // Batches appended in turn; a negative batch lowers the bound to its
    // size instead.
    void holdsTheNewestAndCountsTheRest_data()
    {
        QTest::addColumn<int>("max");
        QTest::addColumn<std::vector<int>>("batches");
        QTest::addColumn<int>("held");
        QTest::addColumn<qint64>("dropped");
        QTest::addColumn<qint64>("leftLines");  // by the last batch, of lines held
        QTest::addColumn<qint64>("leftChars");
        QTest::newRow("under the bound") << 10 << std::vector{3, 4} << 7 << qint64(0) << qint64(0) << qint64(0);
        QTest::newRow("exactly the bound") << 10 << std::vector{10} << 10 << qint64(0) << qint64(0) << qint64(0);
        // "0".."9" leave: ten characters, ten line breaks.
        QTest::newRow("the oldest leave") << 10 << std::vector{10, 10} << 10 << qint64(10) << qint64(10) << qint64(20);
        QTest::newRow("one past") << 10 << std::vector{10, 1} << 10 << qint64(1) << qint64(1) << qint64(2);
        // "0".."24" never come in, "25".."34" leave at once: 25 of them
        // held never, 10 held.
        QTest::newRow("a batch larger than the ring") << 10 << std::vector{35} << 10 << qint64(25) << qint64(0)
                                                      << qint64(10 * 2 + 15 * 3);
        QTest::newRow("a batch larger than the ring, after others")
            << 10 << std::vector{5, 30} << 10 << qint64(25) << qint64(5) << qint64(5 * 2 + 5 * 2 + 15 * 3);
        QTest::newRow("the bound lowered") << 10 << std::vector{8, -3} << 3 << qint64(5) << qint64(5) << qint64(10);
        QTest::newRow("the bound raised") << 3 << std::vector{5, -6, 3} << 6 << qint64(2) << qint64(0) << qint64(0);
        QTest::newRow("a bound below one holds one") << 0 << std::vector{4} << 1 << qint64(3) << qint64(0) << qint64(6);
    }
    void holdsTheNewestAndCountsTheRest()
    {
        QFETCH(int, max);
        QFETCH(std::vector<int>, batches);
        QFETCH(int, held);
        QFETCH(qint64, dropped);
        QFETCH(qint64, leftLines);
        QFETCH(qint64, leftChars);
        LineRing ring;
        ring.setMaxLines(max);
        int next = 0;
        LineRing::Left left;
        for (const int batch : batches)
            left = batch < 0 ? ring.setMaxLines(-batch) : ring.append(Numbered(next, batch));
        QCOMPARE(ring.count(), held);
        QCOMPARE(ring.dropped(), dropped);
        QCOMPARE(left.lines, leftLines);
        QCOMPARE(left.chars, leftChars);
        // The newest, in order, numbered from the first ever held.
        QCOMPARE(ring.firstLine(), dropped);
        QCOMPARE(ring.endLine(), dropped + held);
        for (int i = 0; i < held; ++i) {
            QCOMPARE(ring.line(i), QString::number(next - held + i));
            QCOMPARE(ring.at(dropped + i), ring.line(i));
        }
        QCOMPARE(ring.characterCount(), ring.text().size());

        // Taken back and given again: the numbers go on where they were.
        ring.removeLast(2);
        QCOMPARE(ring.count(), std::max(0, held - 2));
        ring.append({QStringLiteral("again")});
        QCOMPARE(ring.at(ring.endLine() - 1), QStringLiteral("again"));
        QCOMPARE(ring.characterCount(), ring.text().size());

        ring.clear();
        QCOMPARE(ring.count(), 0);
        QCOMPARE(ring.dropped(), qint64(0));
        QCOMPARE(ring.characterCount(), qint64(0));
        QCOMPARE(ring.widest(), qsizetype(0));
    }

    // Offsets into the text joined with '\n', and back, before and after
    // the first lines left.
    void placesAndOffsetsAgree_data()
    {
        QTest::addColumn<int>("leave");
        QTest::newRow("all held") << 0;
        QTest::newRow("two left") << 2;
    }
    void placesAndOffsetsAgree()
    {
        QFETCH(int, leave);
        LineRing ring;
        ring.setMaxLines(3);
        int next = 0;
        ring.append(Numbered(next, leave));
        ring.append({QStringLiteral("second line"), QString(), QStringLiteral("短信 AT")});
        QCOMPARE(ring.dropped(), qint64(leave));
        const QString text = ring.text();
        QCOMPARE(text, QStringLiteral("second line\n\n短信 AT"));
        QCOMPARE(ring.characterCount(), text.size());
        for (qint64 offset = 0; offset <= text.size(); ++offset) {
            const Pos at = ring.posOf(offset);
            QCOMPARE(ring.offsetOf(at), offset);
            QCOMPARE(ring.textBetween(offset, text.size()), text.mid(offset));
        }
        QCOMPARE(ring.posOf(12), (Pos{ring.firstLine() + 1, 0}));
        QCOMPARE(ring.textBetween(7, 15), QStringLiteral("line\n\n短信"));
        // Outside the text: its ends.
        QCOMPARE(ring.posOf(-5), (Pos{ring.firstLine(), 0}));
        QCOMPARE(ring.posOf(1000), (Pos{ring.endLine() - 1, 5}));
        QCOMPARE(ring.offsetOf({ring.firstLine() - 1, 3}), qint64(0));
        QCOMPARE(ring.offsetOf({ring.endLine(), 0}), text.size());
        QCOMPARE(ring.offsetOf({ring.firstLine(), 999}), qint64(11));
    }

    void selects_data()
    {
        QTest::addColumn<Pos>("anchor");
        QTest::addColumn<Pos>("caret");
        QTest::addColumn<int>("more");  // lines that arrive after it, past the bound of 4
        QTest::addColumn<QString>("selected");
        // Lines 0..3: "alpha beta", "gamma", "", "delta_9 x".
        QTest::newRow("within a line") << Pos{0, 6} << Pos{0, 10} << 0 << QStringLiteral("beta");
        QTest::newRow("backwards") << Pos{0, 10} << Pos{0, 6} << 0 << QStringLiteral("beta");
        QTest::newRow("across lines") << Pos{0, 6} << Pos{1, 2} << 0 << QStringLiteral("beta\nga");
        QTest::newRow("across an empty line") << Pos{1, 3} << Pos{3, 5} << 0 << QStringLiteral("ma\n\ndelta");
        QTest::newRow("past the ends") << Pos{-4, 0} << Pos{9, 99} << 0
                                       << QStringLiteral("alpha beta\ngamma\n\ndelta_9 x");
        QTest::newRow("nothing") << Pos{1, 2} << Pos{1, 2} << 0 << QString();
        // Its first line left: it starts where the text now starts.
        QTest::newRow("its start left") << Pos{0, 6} << Pos{1, 2} << 1 << QStringLiteral("ga");
        QTest::newRow("all of it left") << Pos{0, 1} << Pos{1, 2} << 2 << QString();
    }
    void selects()
    {
        QFETCH(Pos, anchor);
        QFETCH(Pos, caret);
        QFETCH(int, more);
        QFETCH(QString, selected);
        LineRing ring;
        ring.setMaxLines(4);
        ring.append({QStringLiteral("alpha beta"), QStringLiteral("gamma"), QString(), QStringLiteral("delta_9 x")});
        ring.select(anchor, caret);
        int next = 0;
        ring.append(Numbered(next, more));
        QCOMPARE(ring.selectedText(), selected);
        QCOMPARE(ring.hasSelection(), !selected.isEmpty());
        const auto [from, to] = ring.selectionRange();
        QVERIFY(from <= to);
        QCOMPARE(ring.textBetween(ring.offsetOf(from), ring.offsetOf(to)), selected);
    }

    void caretAndWords()
    {
        LineRing ring;
        QVERIFY(!ring.selectAll());
        QCOMPARE(ring.wordAt({5, 5}), (std::pair{Pos{0, 0}, Pos{0, 0}}));
        ring.append({QStringLiteral("AT+CSQ: 23,99"), QStringLiteral("delta_9 短信x")});
        const struct {
            Pos at;
            QString word;
        } words[] = {
            {{0, 0}, QStringLiteral("AT")},      {{0, 2}, QStringLiteral("AT")},   {{0, 4}, QStringLiteral("CSQ")},
            {{0, 6}, QStringLiteral("CSQ")},     {{0, 7}, QString()},              {{0, 13}, QStringLiteral("99")},
            {{1, 3}, QStringLiteral("delta_9")}, {{1, 9}, QStringLiteral("短信x")}, {{1, 99}, QStringLiteral("短信x")},
        };
        for (const auto& w : words) {
            const auto [a, b] = ring.wordAt(w.at);
            QCOMPARE(ring.textBetween(ring.offsetOf(a), ring.offsetOf(b)), w.word);
        }
        // The caret moves alone, or takes the selection along with Shift.
        ring.moveCaret({0, 3}, false);
        QVERIFY(!ring.hasSelection());
        ring.moveCaret({1, 5}, true);
        QCOMPARE(ring.selectedText(), QStringLiteral("CSQ: 23,99\ndelta"));
        ring.moveCaret({1, 99}, false);
        QCOMPARE(ring.caret(), (Pos{1, 11}));
        QVERIFY(ring.selectAll());
        QCOMPARE(ring.selectedText(), ring.text());
        // A caret whose line went stays where it was put, and reads as the
        // nearest place held.
        ring.moveCaret({1, 2}, false);
        ring.removeLast(1);
        QCOMPARE(ring.caretAsPut(), (Pos{1, 2}));
        QCOMPARE(ring.caret(), (Pos{0, 13}));
    }

    // Rows a line lays out in, at a width of `fits` in the view's font and
    // half a character more.
    void wraps_data()
    {
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("fits");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("fits") << true << QStringLiteral("OK") << QStringLiteral("0123456789") << QStringList{"OK"};
        QTest::newRow("empty") << true << QString() << QStringLiteral("0123456789") << QStringList{""};
        QTest::newRow("at words") << true << QStringLiteral("+CSQ: 23,99 OK done") << QStringLiteral("0123456789ab")
                                  << QStringList{"+CSQ: 23,99 ", "OK done"};
        QTest::newRow("a long word anywhere") << true << QStringLiteral("0123456789abcdefghijklmnopqrstuvwxyz")
                                              << QStringLiteral("0123456789ab")
                                              << QStringList{"0123456789ab", "cdefghijklmn", "opqrstuvwxyz"};
        QTest::newRow("a word, then a long one") << true << QStringLiteral("AT 0123456789abcdef")
                                                 << QStringLiteral("0123456789")
                                                 << QStringList{"AT ", "0123456789", "abcdef"};
        QTest::newRow("hex runs on") << false << QStringLiteral("41 54 2B 43 53 51 0D 0A")
                                     << QStringLiteral("0123456789") << QStringList{"41 54 2B 43 53 51 0D 0A"};
    }
    void wraps()
    {
        QFETCH(bool, wrap);
        QFETCH(QString, line);
        QFETCH(QString, fits);
        QFETCH(QStringList, rows);
        const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        const QFontMetrics metrics(font);
        const int width = metrics.horizontalAdvance(fits) + metrics.averageCharWidth() / 2;
        LineRing ring;
        ring.setWrap(wrap);
        ring.append({line});
        const auto layout = ring.layout(0, font, nullptr, width);
        QStringList laid;
        qreal top = 0;
        for (int n = 0; n < layout->lineCount(); ++n) {
            const QTextLine row = layout->lineAt(n);
            laid << line.mid(row.textStart(), row.textLength());
            QCOMPARE(row.y(), top);  // one under the other
            top += row.height();
        }
        QCOMPARE(laid, rows);
        QCOMPARE(LineRing::heightOf(*layout), int(std::ceil(top)));
        if (!wrap)
            QVERIFY(layout->lineAt(0).naturalTextWidth() > width);
    }
};

int main(int argc, char** argv)
{
    // Fonts, no widget.
    QGuiApplication app(argc, argv);
    LineRingTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "LineRingTest.moc"
