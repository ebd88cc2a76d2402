// The debugging terminal, opened from the main window and driven through
// its real widgets (offscreen) on g_Serial, against a pseudo-terminal whose
// far side the test plays as the DTU: what goes on the line byte for byte,
// what the view shows of what comes back, what is kept across a restart,
// the session log, and the closed port.
#include "core/common/ByteText.h"
#include "driver/serial/BufferedPort.h"
#include "tests/support/Bytes.h"
#include "tests/support/MessageBoxes.h"
#include "tests/support/Pty.h"
#include "ui/app/MainWindow.h"
#include "ui/common/FileDialog.h"
#include "ui/common/Settings.h"
#include "ui/dtu/DtuPage.h"
#include "ui/monitor/MonitorWindow.h"
#include "ui/terminal/CommandsDialog.h"
#include "ui/terminal/TerminalWindow.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <memory>
#include <random>
#include <thread>

Q_DECLARE_METATYPE(Bytes)

namespace {

using namespace std::chrono_literals;

// Records the frame events a page receives, by type.
class FrameRecorder : public QObject {
public:
    explicit FrameRecorder(std::vector<int>& log) : log_(log) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() >= QEvent::Type(1001) && e->type() <= QEvent::Type(1026))
            log_.push_back(static_cast<int>(e->type()));
        return false;
    }

private:
    std::vector<int>& log_;
};

}  // namespace

class TerminalTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir settings_;
    std::unique_ptr<PtyPair> pty_;
    std::unique_ptr<MainWindow> window_;
    TerminalWindow* term_ = nullptr;
    MessageBoxes boxes_;

    template <class W = QWidget>
    W* In(const char* name)
    {
        W* w = term_->findChild<W*>(QLatin1String(name));
        if (!w)
            qFatal("no %s on the terminal", name);
        return w;
    }
    void OpenTerminal()
    {
        window_ = std::make_unique<MainWindow>([] { return QStringList{}; });
        window_->show();
        window_->findChild<QAction*>(QStringLiteral("terminalToolbarAction"))->trigger();
        term_ = window_->terminalPage();
        QVERIFY(term_ && term_->isVisible());
    }
    void SendLine(const QString& text)
    {
        In<QLineEdit>("sendEdit")->setText(text);
        QTest::keyClick(In<QLineEdit>("sendEdit"), Qt::Key_Return);
    }
    // What the terminal wrote: exactly `count` bytes, and nothing after them.
    Bytes Written(std::size_t count) { return pty_->ReceiveExactly(count); }
    bool NothingWritten() { return pty_->ReceivesNothing(); }
    // At least `count` bytes, with the event loop (and so the page's timers)
    // running meanwhile.
    Bytes Collect(std::size_t count, qint64 timeoutMs = 2000)
    {
        Bytes got;
        QElapsedTimer clock;
        clock.start();
        while (got.size() < count && clock.elapsed() < timeoutMs) {
            QCoreApplication::processEvents();
            got = got + pty_->Receive(count - got.size(), 10ms);
        }
        return got;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(settings_.isValid());
        QCoreApplication::setOrganizationName(QStringLiteral("dtutool"));
        QCoreApplication::setApplicationName(QStringLiteral("dtutool"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
        ui::RememberSettings(true);
    }
    void init()
    {
        QSettings().clear();
        boxes_.Start();
        pty_ = std::make_unique<PtyPair>();
        QVERIFY(g_Serial.Open(pty_->terminalPath(), 115200, 0));
        OpenTerminal();
    }
    void cleanup()
    {
        window_.reset();
        g_Serial.Close();
        pty_.reset();
        boxes_.Stop();
        ui::SetSaveFileHandler(nullptr);
    }

    void opensAsAPageAndLooksWithoutAnswering()
    {
        QCOMPARE(term_->windowTitle(), QStringLiteral("调试工具"));
        QVERIFY(!term_->isModal());
        // Ctrl+T from another of the tool's windows shows the same page again.
        window_->findChild<QAction*>(QStringLiteral("dtuToolbarAction"))->trigger();
        DtuPage* dtu = window_->dtuPage();
        term_->hide();
        QApplication::setActiveWindow(dtu);
        QVERIFY(QTest::qWaitForWindowActive(dtu));
        QTest::keyClick(dtu, Qt::Key_T, Qt::ControlModifier);
        QTRY_VERIFY(term_->isVisible());
        QCOMPARE(window_->terminalPage(), term_);
        QCOMPARE(window_->findChildren<TerminalWindow*>().size(), qsizetype(1));

        // The DTU page gets the frame; the terminal reads the line itself.
        std::vector<int> log;
        FrameRecorder recorder(log);
        dtu->installEventFilter(&recorder);
        term_->installEventFilter(&recorder);
        In<QComboBox>("viewCombo")->setCurrentIndex(1);
        pty_->Send(H("FA 00 E7 01 00 E2 0D"));
        QTRY_COMPARE_WITH_TIMEOUT(log.size(), size_t(1), 3000);
        QCOMPARE(log, (std::vector<int>{1004}));
        QVERIFY(term_->viewText().contains(QStringLiteral("FA 00 E7 01 00 E2 0D")));
        // Looking sends nothing.
        QVERIFY(NothingWritten());
    }

    // Plain ASCII takes a quicker way to text than the decoding of each
    // byte: it must read exactly the same, line breaks included.
    void textReadsAsTheFullDecodingReadsIt()
    {
        std::string random(4096, '\0');
        std::mt19937 generator(7);
        for (char& c : random)
            c = char(generator());
        const std::string inputs[] = {
            "AT\r\nOK\r\n", std::string(600, 'a'), std::string(255, 'b') + "\x1b[6n" + std::string(300, 'c'),
            std::string("\\x\t\0\x7f end", 9) + "\n\n", std::string(256, 'd') + "\r\n" + std::string(257, 'e'),
            // GBK and UTF-8 text, a surrogate pair at the line's end, C1
            std::string(255, 'f') + "\xF0\x9F\x98\x80\xC4\xE3\xBA\xC3\x81\x5C\xC2\x85\xFE", random,
        };
        for (const std::string& input : inputs) {
            for (const auto encoding : {text::Encoding::Gbk, text::Encoding::Utf8}) {
                const Bytes bytes(input.begin(), input.end());
                QStringList expected;
                QString line, whole;
                for (const terminal::Piece& p : terminal::Decode(bytes, encoding)) {
                    whole += p.text;
                    if (!line.isEmpty() && line.size() + p.text.size() > terminal::kMaxLineChars)
                        expected << std::exchange(line, {});
                    line += p.text;
                    if (p.endsLine)
                        expected << std::exchange(line, {});
                }
                if (!line.isEmpty())
                    expected << line;
                QCOMPARE(terminal::Render(bytes, terminal::View::Text, encoding), expected);
                QCOMPARE(terminal::OneLine(bytes, encoding), whole);
                QCOMPARE(QString::fromStdString(text::EscapedLine(bytes, encoding)), whole);
            }
        }
    }

    // Chunks cut for their size are each shown from the tail of the one
    // before, as the window shows them: that reads as the bytes shown
    // whole, wherever the cuts fell (inside a character, or where its
    // escapes began a line for want of room).
    void aTailShownAgainReadsAsTheWhole()
    {
        std::string random(1500, '\0');
        std::mt19937 generator(13);
        for (char& c : random)
            c = char(generator());
        const std::string inputs[] = {
            "AT\r\nOK\r\n",
            std::string(600, 'a'),
            std::string(255, 'a') + "\xD6\xD0\r\n",
            std::string(254, 'a') + "\xE4\xB8\xAD\r\n" + std::string(300, 'b'),
            std::string(255, 'f') + "\xF0\x9F\x98\x80\xC4\xE3\xBA\xC3\x81\x5C\xC2\x85\xFE",
            random,
        };
        for (const std::string& input : inputs) {
            const Bytes bytes(input.begin(), input.end());
            for (const auto encoding : {text::Encoding::Gbk, text::Encoding::Utf8}) {
                for (const auto view : {terminal::View::Text, terminal::View::Hex, terminal::View::Both}) {
                    const QStringList whole = terminal::Render(bytes, view, encoding);
                    for (const std::size_t size : {1, 2, 3, 5, 16, 17, 255, 256, 257}) {
                        QStringList shown;
                        qsizetype tailLines = 0;
                        std::size_t from = 0, skip = 0;  // where the tail begins
                        for (std::size_t end = 0; end < bytes.size();) {
                            end = std::min(end + size, bytes.size());
                            const auto piece = std::span(bytes).subspan(from, end - from);
                            terminal::Tail tail;
                            const QStringList lines = terminal::Render(piece, view, encoding, &tail, skip);
                            shown.resize(shown.size() - tailLines);
                            shown += lines;
                            tailLines = lines.size() - tail.line;
                            from += tail.at;
                            skip = tail.skip;
                        }
                        const QString what = QStringLiteral("%1 bytes cut every %2, encoding %3, view %4")
                                                 .arg(bytes.size())
                                                 .arg(size)
                                                 .arg(int(encoding))
                                                 .arg(int(view));
                        QVERIFY2(shown == whole, qPrintable(what));
                    }
                }
            }
        }
    }

    // A stream with no pause long enough to end a frame: shown while it
    // runs, its last line at the end, the log and the monitor whole, and
    // nothing it holds (escape sequences that ask a terminal to answer)
    // answered.
    void aStreamIsShownWhileItRunsAndKeptWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("stream.log"));
        ui::SetSaveFileHandler([&](const QString&, QString*) { return path; });
        In<QPushButton>("logButton")->click();
        In<QSpinBox>("viewLinesSpin")->setValue(1000);
        const qsizetype recordsBefore = qsizetype(window_->monitor()->log().size());
        Bytes stream;
        const auto line = [&stream](int n) {
            const std::string text = QStringLiteral("line %1 \x1b[6n\x1b[c 0123456789abcdef\r\n")
                                         .arg(n, 6, 10, QLatin1Char('0'))
                                         .toStdString();
            stream.insert(stream.end(), text.begin(), text.end());
            return Bytes(text.begin(), text.end());
        };
        constexpr int kFirst = 4000, kLines = 8000;
        std::atomic<bool> go{false};
        std::thread peer([&] {
            Bytes first;
            for (int n = 1; n <= kFirst; ++n)
                first = first + line(n);
            pty_->Send(first);
            // Never silent for a frame's 400 ms until told to go on.
            int n = kFirst;
            while (!go) {
                std::this_thread::sleep_for(50ms);
                pty_->Send(line(++n));
            }
            Bytes rest;
            while (n < kLines)
                rest = rest + line(++n);
            pty_->Send(rest);
        });
        const QString firstPart = QStringLiteral("line %1").arg(kFirst, 6, 10, QLatin1Char('0'));
        const bool shownWhileRunning = QTest::qWaitFor([&] { return term_->viewText().contains(firstPart); }, 5000);
        go = true;
        peer.join();
        QVERIFY(shownWhileRunning);
        const QString last = QStringLiteral("line %1").arg(kLines, 6, 10, QLatin1Char('0'));
        QTRY_VERIFY_WITH_TIMEOUT(term_->viewText().contains(last), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(g_Rx.RxIdleTicks() < 0, 3000);  // the stream ended by silence
        QTest::qWait(100);
        In<QPushButton>("logButton")->click();
        QVERIFY(NothingWritten());
        // The view keeps its last 1000 lines and says how many went.
        QVERIFY(term_->findChild<terminal::ReceiveView*>(QStringLiteral("receiveView"))->lineCount() <= 1000);
        QVERIFY(term_->linesGone() >= kLines - 1000);
        QVERIFY(In<QLabel>("linesGone")->text().contains(QString::number(term_->linesGone())));

        // The monitor's records add up to the stream, byte for byte.
        const auto& records = window_->monitor()->log();
        Bytes monitored;
        for (std::size_t i = std::size_t(recordsBefore); i < records.size(); ++i)
            if (records[i].direction == monitor::Direction::Received)
                monitored = monitored + records[i].bytes;
        QVERIFY(monitored == stream);
        // The log holds every line: its received parts, joined, are the stream.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString logged;
        for (const QString& l : QString::fromUtf8(file.readAll()).split(u'\n'))
            if (const qsizetype at = l.indexOf(QStringLiteral(" RX ")); at > 0)
                logged += l.mid(at + 4);
        QCOMPARE(logged, terminal::OneLine(stream, text::Encoding::Gbk));
    }

    // A record cut for its size goes on in the line it broke, as if the
    // bytes had come whole (a character the cut split reads whole too); a
    // pause starts a new line with its own header.
    void aCutForSizeContinuesTheLine()
    {
        // Lines of `width` bytes, numbered from `from`.
        const auto lines = [](int from, int count, std::size_t width) {
            Bytes out;
            for (int n = from; n < from + count; ++n) {
                std::string line = QStringLiteral("LINE %1 ").arg(n, 6, 10, QLatin1Char('0')).toStdString();
                line += std::string(width - 2 - line.size(), char('a' + n % 26)) + "\r\n";
                out.insert(out.end(), line.begin(), line.end());
            }
            return out;
        };
        const auto ascii = [](std::string_view s) { return Bytes(s.begin(), s.end()); };
        const Bytes split = Bytes(4095, 'a') + H("D6 D0 0D 0A");  // 中 across the cut
        const struct {
            const char* name;
            terminal::View view;
            std::vector<Bytes> parts;  // a pause after each
        } cases[] = {
            {"cut by size mid-line", terminal::View::Text, {lines(0, 100, 50)}},
            {"cut by size at a line end", terminal::View::Text, {lines(0, 70, 64)}},
            {"cut by a pause mid-line", terminal::View::Text,
             {ascii("LINE 000000 the qu"), ascii("ick brown fox\r\n")}},
            {"a pause after a cut by size", terminal::View::Text, {lines(0, 100, 50), lines(100, 3, 50)}},
            {"a character across the cut", terminal::View::Text, {split}},
            {"a character across the cut, hex and text", terminal::View::Both, {split}},
        };
        In<QComboBox>("encodingCombo")->setCurrentIndex(0);
        for (const auto& c : cases) {
            In<QComboBox>("viewCombo")->setCurrentIndex(int(c.view));
            In<QPushButton>("clearButton")->click();
            QStringList expected;
            for (const Bytes& part : c.parts) {
                const QStringList shown = terminal::Render(part, c.view, text::Encoding::Gbk);
                for (qsizetype i = 0; i < shown.size(); ++i)
                    expected << (i == 0 ? QStringLiteral("RX ") : QStringLiteral("   ")) + shown[i];
                const std::uint64_t end = g_Rx.Received() + part.size();
                pty_->Send(part);
                QTRY_VERIFY_WITH_TIMEOUT(g_Rx.Received() == end, 3000);
                // The same while the record in progress grows, before the
                // silence ends it.
                QTRY_COMPARE_WITH_TIMEOUT(term_->viewText(), expected.join(u'\n'), 300);
                QTRY_VERIFY_WITH_TIMEOUT(g_Rx.RxIdleTicks() < 0, 3000);  // ended by silence
            }
            // Where they part, when they do: the texts are long.
            const QString shown = term_->viewText(), wanted = expected.join(u'\n');
            const qsizetype apart =
                std::mismatch(shown.begin(), shown.end(), wanted.begin(), wanted.end()).first - shown.begin();
            const qsizetype from = std::max<qsizetype>(0, apart - 20);
            const QString there = QStringLiteral("%1: \"%2\", wanted \"%3\"")
                                      .arg(QLatin1String(c.name), shown.mid(from, 60), wanted.mid(from, 60));
            QVERIFY2(shown == wanted, qPrintable(there));
        }
    }

    // The receive view on its own: a ring of at most `max` lines that says
    // how many left, follows the end unless the user scrolled up (then the
    // same line stays at the top while older ones leave), and copies a
    // selection made with the mouse across two lines.
    void receiveViewHoldsFollowsAndCopies_data()
    {
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("scrollTo");  // -1: left at the end
        QTest::addColumn<int>("more");      // lines that arrive then
        QTest::addColumn<qint64>("dropped");
        QTest::newRow("follows the end") << 1000 << -1 << 50 << qint64(0);
        QTest::newRow("scrolled up, stays put") << 1000 << 10 << 50 << qint64(0);
        QTest::newRow("oldest leave while it follows") << 120 << -1 << 50 << qint64(30);
        QTest::newRow("scrolled up while the oldest leave") << 120 << 40 << 50 << qint64(30);
        QTest::newRow("the line on top leaves") << 120 << 10 << 50 << qint64(30);
        QTest::newRow("a flood past the ring") << 100 << -1 << 250 << qint64(250);
    }
    void receiveViewHoldsFollowsAndCopies()
    {
        QFETCH(int, max);
        QFETCH(int, scrollTo);
        QFETCH(int, more);
        QFETCH(qint64, dropped);
        terminal::ReceiveView view;
        view.resize(500, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setMaxLines(max);
        int next = 0;
        const auto lines = [&next](int count) {
            QStringList out;
            for (int i = 0; i < count; ++i, ++next)
                out << QStringLiteral("line %1 abcdefghij").arg(next);
            return out;
        };
        const auto settle = [&view] {
            QTest::qWait(1);
            view.viewport()->repaint();
        };
        view.append(lines(100));
        settle();
        QScrollBar* bar = view.verticalScrollBar();
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(bar->maximum() > 50);  // well more than a page
        QRect top;
        if (scrollTo >= 0) {
            bar->setValue(scrollTo);
            settle();
            top = view.characterRect({scrollTo, 0});
            QVERIFY(!top.isEmpty());
        }
        // In batches, as a stream delivers them.
        for (int sent = 0; sent < more; sent += 25) {
            view.append(lines(std::min(25, more - sent)));
            settle();
        }
        const int held = std::min(max, 100 + more);
        QCOMPARE(view.lineCount(), held);
        QCOMPARE(view.dropped(), dropped);
        QCOMPARE(view.line(0), QStringLiteral("line %1 abcdefghij").arg(dropped));
        QCOMPARE(view.line(held - 1), QStringLiteral("line %1 abcdefghij").arg(next - 1));
        const qint64 last = dropped + held - 1;
        if (scrollTo < 0) {
            QVERIFY(view.following());
            QCOMPARE(bar->value(), bar->maximum());
            const QRect shown = view.characterRect({last, 0});
            QVERIFY(!shown.isEmpty() && shown.bottom() < view.viewport()->height());
        } else {
            // The same line at the same place, or the oldest held if it left.
            QVERIFY(!view.following());
            QCOMPARE(view.characterRect({std::max<qint64>(scrollTo, dropped), 0}).top(), top.top());
            QVERIFY(view.characterRect({last, 0}).isEmpty());
        }

        // Pressed at the 6th character of a line on screen, shift-clicked
        // at the 4th of the next, copied with Ctrl+C.
        const qint64 from = scrollTo < 0 ? last - 2 : std::max<qint64>(scrollTo, dropped);
        const QRect a = view.characterRect({from, 5}), b = view.characterRect({from + 1, 3});
        QVERIFY(!a.isEmpty() && !b.isEmpty());
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, a.topLeft() + QPoint(1, a.height() / 2));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, b.topLeft() + QPoint(1, b.height() / 2));
        QApplication::clipboard()->clear();
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        const QString first = view.line(int(from - dropped)), second = view.line(int(from + 1 - dropped));
        QCOMPARE(QApplication::clipboard()->text(), first.mid(5) + u'\n' + second.left(3));
        // A screen reader reads the same selection.
        QAccessibleTextInterface* read = QAccessible::queryAccessibleInterface(&view)->textInterface();
        int start = 0, end = 0;
        read->selection(0, &start, &end);
        QCOMPARE(read->text(start, end), QApplication::clipboard()->text());
    }

    // PageUp and PageDown page from what is shown, as the wheel does, and
    // take the caret along; after a clear the caret stays at the top while
    // what arrives pushes the page down, and the page keys must not jump
    // there.
    void pageKeysPageFromWhatIsShown_data()
    {
        QTest::addColumn<bool>("cleared");
        QTest::addColumn<bool>("arriving");  // lines come after the key too
        QTest::addColumn<bool>("clicked");   // the caret put on the page
        QTest::newRow("cleared, while lines arrive") << true << true << false;
        QTest::newRow("cleared, after they stopped") << true << false << false;
        QTest::newRow("never clicked") << false << false << false;
        QTest::newRow("caret on the page, while lines arrive") << true << true << true;
    }
    void pageKeysPageFromWhatIsShown()
    {
        QFETCH(bool, cleared);
        QFETCH(bool, arriving);
        QFETCH(bool, clicked);
        terminal::ReceiveView view;
        view.resize(500, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        int next = 0;
        const auto arrive = [&](int count) {
            QStringList out;
            for (int i = 0; i < count; ++i, ++next)
                out << QStringLiteral("CONT %1").arg(next, 7, 10, QLatin1Char('0'));
            view.append(out);
            QTest::qWait(1);
            view.viewport()->repaint();
        };
        arrive(30);
        if (cleared)
            view.clear();
        for (int i = 0; i < 8; ++i)
            arrive(25);
        QScrollBar* bar = view.verticalScrollBar();
        const int page = bar->pageStep(), end = bar->value();
        QCOMPARE(end, bar->maximum());
        QVERIFY(end > 2 * page);
        if (clicked) {
            const QRect r = view.characterRect({view.dropped() + end + 2, 3});
            QVERIFY(!r.isEmpty());
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, r.center());
        }
        const qint64 caretRow = clicked ? 2 : 0;  // on the page, from its top
        QTest::keyClick(&view, Qt::Key_PageUp);
        if (arriving)
            arrive(25);
        QCOMPARE(bar->value(), end - page);
        QCOMPARE(view.caret().line, view.dropped() + end - page + caretRow);
        QTest::keyClick(&view, Qt::Key_PageUp);
        QCOMPARE(bar->value(), end - 2 * page);
        QTest::keyClick(&view, Qt::Key_PageDown);
        if (arriving)
            arrive(25);
        QCOMPARE(bar->value(), end - page);
        QCOMPARE(view.caret().line, view.dropped() + end - page + caretRow);
    }

    void sendsTextWithItsLineEnding_data()
    {
        QTest::addColumn<int>("encoding");
        QTest::addColumn<int>("ending");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Bytes>("wire");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("none") << 0 << 0 << QStringLiteral("AT") << H("41 54") << QString();
        QTest::newRow("CR") << 0 << 1 << QStringLiteral("AT") << H("41 54 0D") << QString();
        QTest::newRow("LF") << 0 << 2 << QStringLiteral("AT") << H("41 54 0A") << QString();
        QTest::newRow("CR+LF") << 0 << 3 << QStringLiteral("AT") << H("41 54 0D 0A") << QString();
        QTest::newRow("Enter alone, CR") << 0 << 1 << QString() << H("0D") << QString();
        QTest::newRow("GBK") << 0 << 1 << QStringLiteral("短信?") << H("B6 CC D0 C5 3F 0D") << QString();
        QTest::newRow("UTF-8") << 1 << 1 << QStringLiteral("短信") << H("E7 9F AD E4 BF A1 0D") << QString();
        QTest::newRow("not in GBK") << 0 << 1 << QStringLiteral("A?\U0001F600") << Bytes{}
                                    << QStringLiteral("发送数据第 3 个字符“\U0001F600”不能用 GBK 编码发送，请改用 UTF-8 或删去它！");
    }
    void sendsTextWithItsLineEnding()
    {
        QFETCH(int, encoding);
        QFETCH(int, ending);
        QFETCH(QString, typed);
        QFETCH(Bytes, wire);
        QFETCH(QString, refusal);
        In<QComboBox>("encodingCombo")->setCurrentIndex(encoding);
        In<QComboBox>("endingCombo")->setCurrentIndex(ending);
        SendLine(typed);
        if (refusal.isEmpty()) {
            QCOMPARE(Written(wire.size()), wire);
            QVERIFY(In<QLineEdit>("sendEdit")->text().isEmpty());
            QVERIFY(boxes_.texts().isEmpty());
        } else {
            QCOMPARE(boxes_.texts(), QStringList{refusal});
            QVERIFY(NothingWritten());
        }
    }

    void sendsHexAndRefusesWhatIsNotWholeBytes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Bytes>("wire");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("spaced, either case") << QStringLiteral("fa 80 E9 01  00 64 0d") << H("FA 80 E9 01 00 64 0D")
                                             << QString();
        QTest::newRow("not a digit") << QStringLiteral("41 5G 0D") << Bytes{}
                                     << QStringLiteral("发送数据第 5 个字符“G”不是十六进制数字，只能输入 0-9、A-F和空格！");
        QTest::newRow("a Chinese character")
            << QStringLiteral("41 中") << Bytes{}
            << QStringLiteral("发送数据第 4 个字符“中”不是十六进制数字，只能输入 0-9、A-F和空格！");
        QTest::newRow("odd count") << QStringLiteral("41 54 0") << Bytes{}
                                   << QStringLiteral("发送数据共 5 位十六进制数字，不是整字节：每个字节两位，请补足或删去一位！");
    }
    void sendsHexAndRefusesWhatIsNotWholeBytes()
    {
        QFETCH(QString, typed);
        QFETCH(Bytes, wire);
        QFETCH(QString, refusal);
        In<QCheckBox>("hexSendCheck")->setChecked(true);
        QVERIFY(!In<QComboBox>("endingCombo")->isEnabled());
        SendLine(typed);
        if (refusal.isEmpty()) {
            QCOMPARE(Written(wire.size()), wire);
            QVERIFY(boxes_.texts().isEmpty());
        } else {
            QCOMPARE(boxes_.texts(), QStringList{refusal});
            QVERIFY(NothingWritten());
            QCOMPARE(In<QLineEdit>("sendEdit")->text(), typed);  // left to correct
        }
    }

    void showsWhatArrivesAsTextAndHex()
    {
        // "+INFO: 中文\r\n" in GBK, a tab and a stray byte.
        pty_->Send(H("2B 49 4E 46 4F 3A 20 D6 D0 CE C4 0D 0A 09 FF"));
        QTRY_VERIFY_WITH_TIMEOUT(!term_->viewText().isEmpty(), 3000);
        struct Case {
            int view;
            int encoding;
            bool stamps;
            QString shown;
        };
        const Case cases[] = {
            {0, 0, false, QStringLiteral("RX +INFO: 中文\\r\\n\n   \\t\\xFF")},
            {0, 1, false, QStringLiteral("RX +INFO: \\xD6\\xD0\\xCE\\xC4\\r\\n\n   \\t\\xFF")},
            {1, 0, false, QStringLiteral("RX 2B 49 4E 46 4F 3A 20 D6 D0 CE C4 0D 0A 09 FF")},
            {2, 0, false,
             QStringLiteral("RX 2B 49 4E 46 4F 3A 20 D6 D0 CE C4 0D 0A 09 FF     +INFO: 中文\\r\\n\\t\\xFF")},
        };
        for (const Case& c : cases) {
            In<QComboBox>("viewCombo")->setCurrentIndex(c.view);
            In<QComboBox>("encodingCombo")->setCurrentIndex(c.encoding);
            QCOMPARE(term_->viewText(), c.shown);
        }
        In<QCheckBox>("stampsCheck")->setChecked(true);
        QVERIFY2(QRegularExpression(QStringLiteral("^\\[\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\] RX 2B 49 "))
                     .match(term_->viewText())
                     .hasMatch(),
                 qPrintable(term_->viewText()));
        In<QPushButton>("clearButton")->click();
        QVERIFY(term_->viewText().isEmpty());
    }

    void keepsHistoryCommandsAndOptionsAcrossARestart()
    {
        for (const QString& line : {QStringLiteral("AT"), QStringLiteral("AT+CSQ"), QStringLiteral("AT")})
            SendLine(line);
        In<QComboBox>("endingCombo")->setCurrentIndex(1);
        // A saved command, added in its editor.
        QTimer::singleShot(0, this, [] {
            auto* editor = qobject_cast<CommandsDialog*>(QApplication::activeModalWidget());
            QVERIFY(editor);
            editor->findChild<QPushButton*>(QStringLiteral("addCommandButton"))->click();
            auto* table = editor->findChild<QTableWidget*>(QStringLiteral("commandTable"));
            table->item(0, 0)->setText(QStringLiteral("版本"));
            table->item(0, 1)->setText(QStringLiteral("ATI"));
            editor->accept();
        });
        In<QPushButton>("editCommandsButton")->click();
        pty_->Receive(64, 300ms);

        window_.reset();
        OpenTerminal();
        QCOMPARE(In<QComboBox>("endingCombo")->currentIndex(), 1);
        auto* command = In<QPushButton>("commandButton");
        QCOMPARE(command->text(), QStringLiteral("版本"));
        command->click();
        QCOMPARE(Written(4), H("41 54 49 0D"));

        // Up walks back from the line being typed, Down returns to it.
        auto* edit = In<QLineEdit>("sendEdit");
        edit->setText(QStringLiteral("typed"));
        QStringList walked;
        for (Qt::Key k : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down}) {
            QTest::keyClick(edit, k);
            walked << edit->text();
        }
        QCOMPARE(walked, (QStringList{"AT", "AT+CSQ", "AT+CSQ", "AT", "typed", "typed"}));

        // At most a hundred lines are kept.
        for (int i = 0; i < 101; ++i)
            SendLine(QString::number(i));
        const QStringList kept = QSettings().value(QStringLiteral("terminal/history")).toStringList();
        QCOMPARE(kept.size(), 100);
        QCOMPARE(kept.front(), QStringLiteral("1"));
        QCOMPARE(kept.back(), QStringLiteral("100"));
    }

    void timedSendRepeatsUntilStoppedOrThePortCloses()
    {
        In<QComboBox>("endingCombo")->setCurrentIndex(0);
        In<QSpinBox>("intervalSpin")->setValue(20);
        In<QLineEdit>("sendEdit")->setText(QStringLiteral("AT"));
        auto* timed = In<QCheckBox>("timedCheck");
        for (bool byClosing : {false, true}) {
            timed->setChecked(true);
            const Bytes got = Collect(8);
            QVERIFY(got.size() >= 8);
            for (std::size_t i = 0; i < got.size(); ++i)
                QCOMPARE(got[i], std::uint8_t(i % 2 == 0 ? 'A' : 'T'));
            if (byClosing) {
                g_Serial.Close();
                QTRY_VERIFY(!timed->isChecked());
            } else {
                timed->setChecked(false);
                pty_->Receive(64, 100ms);  // what was on its way
                QVERIFY(Collect(1, 300).empty());
            }
        }
    }

    void logsTheSessionToAFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("session.log"));
        ui::SetSaveFileHandler([&](const QString&, QString*) { return path; });
        auto* logButton = In<QPushButton>("logButton");
        logButton->click();
        QCOMPARE(logButton->text(), QStringLiteral("停止日志"));
        SendLine(QStringLiteral("AT"));
        QCOMPARE(Written(4), H("41 54 0D 0A"));
        pty_->Send(H("0D 0A 4F 4B 0D 0A"));
        QTRY_VERIFY_WITH_TIMEOUT(term_->viewText().contains(QStringLiteral("OK")), 3000);
        logButton->click();
        QCOMPARE(logButton->text(), QStringLiteral("保存日志…"));
        pty_->Send(H("0D 0A"));  // after the log stopped
        QTest::qWait(600);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines[0].startsWith(QStringLiteral("# 调试工具会话日志，开始于 ")), qPrintable(lines[0]));
        const QString port = QString::fromStdString(pty_->terminalPath());
        QVERIFY(lines[0].endsWith(QStringLiteral("串口 %1，115200 bps").arg(port)));
        const QString stamp = QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} ");
        QVERIFY2(QRegularExpression(stamp + QStringLiteral("TX AT\\\\r\\\\n$")).match(lines[1]).hasMatch(),
                 qPrintable(lines[1]));
        QVERIFY2(QRegularExpression(stamp + QStringLiteral("RX \\\\r\\\\nOK\\\\r\\\\n$")).match(lines[2]).hasMatch(),
                 qPrintable(lines[2]));
    }

    void logFailureStopsTheLogNotTheTerminal_data()
    {
        QTest::addColumn<bool>("removeFolder");
        QTest::newRow("full disk") << false;
        QTest::newRow("folder removed") << true;
    }
    void logFailureStopsTheLogNotTheTerminal()
    {
        QFETCH(bool, removeFolder);
        QTemporaryDir dir;
        const QString path =
            removeFolder ? dir.filePath(QStringLiteral("logs/session.log")) : QStringLiteral("/dev/full");
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("logs"))));
        ui::SetSaveFileHandler([&](const QString&, QString*) { return path; });
        In<QPushButton>("logButton")->click();
        if (removeFolder) {
            QVERIFY(boxes_.texts().isEmpty());
            QVERIFY(QDir(dir.filePath(QStringLiteral("logs"))).removeRecursively());
            SendLine(QStringLiteral("AT"));
            QCOMPARE(Written(4), H("41 54 0D 0A"));
        }
        QTRY_COMPARE(boxes_.texts().size(), 1);
        QVERIFY2(boxes_.texts()[0].contains(path), qPrintable(boxes_.texts()[0]));
        QCOMPARE(In<QPushButton>("logButton")->text(), QStringLiteral("保存日志…"));
        // The terminal goes on.
        SendLine(QStringLiteral("ATI"));
        QCOMPARE(Written(5), H("41 54 49 0D 0A"));
    }

    void closedPortDisablesSendingAndOffersTheSettings()
    {
        window_.reset();
        g_Serial.Close();
        OpenTerminal();
        QVERIFY(In<QLabel>("portState")->text().contains(QStringLiteral("串口未打开")));
        QVERIFY(!In<QPushButton>("sendButton")->isEnabled());
        QVERIFY(!In<QCheckBox>("timedCheck")->isEnabled());
        SendLine(QStringLiteral("AT"));
        QVERIFY(boxes_.texts().isEmpty());
        In<QPushButton>("settingsButton")->click();
        QVERIFY(window_->settingsPage() && window_->settingsPage()->isVisible());
        // Opened there, the terminal can send.
        QVERIFY(g_Serial.Open(pty_->terminalPath(), 115200, 0));
        QTRY_VERIFY(In<QPushButton>("sendButton")->isEnabled());
        QVERIFY(In<QLabel>("portState")->text().contains(QString::fromStdString(pty_->terminalPath())));
    }
};

QTEST_MAIN(TerminalTest)
#include "TerminalTest.moc"
