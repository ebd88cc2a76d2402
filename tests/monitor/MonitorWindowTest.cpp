// The line monitor in the main window, against the simulated DTU on a real
// pseudo-terminal: requests from the DTU page appear as sent rows, the
// answers as received rows, decoded; an answer that fails its checksum and a
// request left unanswered are marked; the rows filter, copy and save; a
// flood it could not keep up with is said.
#include "core/dtu/Frame.h"
#include "driver/serial/BufferedPort.h"
#include "dtu-sim/sim/SimulatedDtu.h"
#include "tests/support/Bytes.h"
#include "tests/support/MessageBoxes.h"
#include "tests/support/Pty.h"
#include "tests/support/RunTests.h"
#include "ui/app/MainWindow.h"
#include "ui/common/FileDialog.h"
#include "ui/common/ReceivedStream.h"
#include "ui/dtu/DtuPage.h"
#include "ui/monitor/MonitorWindow.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <thread>

namespace {

// "direction|meaning" of every row the table shows.
QStringList Rows(const MonitorModel* model)
{
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r)
        rows << model->index(r, MonitorModel::Direction).data().toString() + u'|' +
                    model->index(r, MonitorModel::Meaning).data().toString();
    return rows;
}

}  // namespace

class MonitorWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<sim::SimulatedDtu> dtu_;
    std::unique_ptr<MainWindow> window_;
    MonitorWindow* monitor_ = nullptr;
    DtuPage* page_ = nullptr;
    MessageBoxes boxes_;

    template <class W = QWidget>
    W* In(QWidget* parent, const char* name)
    {
        W* w = parent->findChild<W*>(QLatin1String(name));
        if (!w)
            qFatal("no widget %s", name);
        return w;
    }
    void Click(const char* name) { In<QPushButton>(page_, name)->click(); }
    QStringList Shown() { return Rows(monitor_->model()); }
    bool HasRow(const QString& row) { return Shown().contains(row); }

private slots:
    void init()
    {
        boxes_.Start();
        dtu_ = std::make_unique<sim::SimulatedDtu>(sim::SimulatedDtu::Options{});
        QVERIFY2(dtu_->Start(), dtu_->error().c_str());
        QVERIFY(g_Serial.Open(dtu_->TerminalPath(), 115200, 0));
        window_ = std::make_unique<MainWindow>([] { return QStringList{}; });
        window_->show();
        window_->findChild<QAction*>(QStringLiteral("dtuToolbarAction"))->trigger();
        page_ = window_->dtuPage();
        QVERIFY(page_ && page_->isVisible());
        monitor_ = window_->monitor();
        QVERIFY(monitor_ && !monitor_->isVisible());
    }
    void cleanup()
    {
        window_.reset();
        g_Serial.Close();
        dtu_.reset();
        boxes_.Stop();
        ui::SetSaveFileHandler(nullptr);
    }

    void opensFromMenuToolbarAndShortcut()
    {
        for (const char* action : {"monitorMenuAction", "monitorToolbarAction"}) {
            monitor_->hide();
            window_->findChild<QAction*>(QLatin1String(action))->trigger();
            QVERIFY2(monitor_->isVisible(), action);
            QVERIFY(!monitor_->isModal());
        }
        auto* menuAction = window_->findChild<QAction*>(QStringLiteral("monitorMenuAction"));
        QCOMPARE(menuAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
        QCOMPARE(menuAction->shortcutContext(), Qt::ApplicationShortcut);
        // The shortcut, pressed.
        // From the DTU page, not only from the main window.
        monitor_->hide();
        QApplication::setActiveWindow(page_);
        QVERIFY(QTest::qWaitForWindowActive(page_));
        QTest::keyClick(page_, Qt::Key_M, Qt::ControlModifier);
        QTRY_VERIFY(monitor_->isVisible());
        // Beside the pages: the DTU page stays on screen.
        QVERIFY(page_->isVisible());
        // Every control is reachable and named.
        for (const char* name : {"directionCombo", "commandCombo", "pauseButton", "clearButton", "copyButton",
                                 "saveButton", "frameTable"}) {
            QWidget* w = In(monitor_, name);
            QVERIFY2(w->focusPolicy() & Qt::TabFocus, name);
            QVERIFY2(w->property("controlId").isValid(), name);
        }
    }

    void requestsAndAnswersFromTheDtuPage()
    {
        window_->findChild<QAction*>(QStringLiteral("monitorMenuAction"))->trigger();
        Click("readNetButton");
        const QString answer = QStringLiteral("received|read network parameters: 192.168.1.100 port 8080, "
                                              "protocol mode (SMS, SMS hex), address by IP");
        QTRY_VERIFY2_WITH_TIMEOUT(HasRow(answer), qPrintable(Shown().join(u'\n')), 3000);
        QCOMPARE(Shown().first(), QStringLiteral("sent|read network parameters"));
        const MonitorModel* model = monitor_->model();
        QCOMPARE(model->index(0, MonitorModel::Bytes).data().toString(), QStringLiteral("FA 80 E9 01 00 64 0D"));
        QCOMPARE(model->index(0, MonitorModel::Length).data().toInt(), 7);
        QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d$"))
                    .match(model->index(0, MonitorModel::Time).data().toString())
                    .hasMatch());
        QVERIFY(!model->index(1, MonitorModel::Meaning).data(Qt::ForegroundRole).isValid());

        Click("readVersionButton");
        QTRY_VERIFY_WITH_TIMEOUT(HasRow(QStringLiteral("received|read version: \"KV-331 V2.3.1 (simulated)\"")), 3000);
        QCOMPARE(Shown().size(), 4);
        QCOMPARE(In<QLabel>(monitor_, "countLabel")->text(), QStringLiteral("4 帧"));
    }

    void unansweredRequestIsMarked()
    {
        window_->findChild<QAction*>(QStringLiteral("monitorMenuAction"))->trigger();
        sim::Faults faults;
        faults.noReply = true;
        dtu_->SetFaults(faults);
        Click("readSignalButton");
        QTRY_VERIFY_WITH_TIMEOUT(HasRow(QStringLiteral("sent|read signal strength (no answer)")),
                                 monitor::LineLog::kCommandReplyMs + 2000);
        QVERIFY(monitor_->model()->index(0, MonitorModel::Meaning).data(Qt::ForegroundRole).isValid());
    }

    void recordsWhileHiddenAndPaused()
    {
        Click("readVersionButton");
        QTRY_COMPARE_WITH_TIMEOUT(monitor_->log().size(), std::size_t(2), 3000);
        // Nothing was put in the table while nobody could see it.
        QCOMPARE(monitor_->model()->rowCount(), 0);
        window_->findChild<QAction*>(QStringLiteral("monitorMenuAction"))->trigger();
        QCOMPARE(monitor_->model()->rowCount(), 2);

        In<QPushButton>(monitor_, "pauseButton")->click();
        Click("readVersionButton");
        QTRY_COMPARE_WITH_TIMEOUT(monitor_->log().size(), std::size_t(4), 3000);
        QTest::qWait(50);
        QCOMPARE(monitor_->model()->rowCount(), 2);
        In<QPushButton>(monitor_, "pauseButton")->click();
        QCOMPARE(monitor_->model()->rowCount(), 4);

        In<QPushButton>(monitor_, "clearButton")->click();
        QCOMPARE(monitor_->model()->rowCount(), 0);
        QVERIFY(monitor_->log().empty());
    }

    void filtersByDirectionAndCommand()
    {
        window_->findChild<QAction*>(QStringLiteral("monitorMenuAction"))->trigger();
        Click("readVersionButton");
        QTRY_COMPARE_WITH_TIMEOUT(monitor_->model()->rowCount(), 2, 3000);
        Click("readNetButton");
        QTRY_COMPARE_WITH_TIMEOUT(monitor_->model()->rowCount(), 4, 3000);

        auto* direction = In<QComboBox>(monitor_, "directionCombo");
        auto* command = In<QComboBox>(monitor_, "commandCombo");
        direction->setCurrentIndex(2);
        QCOMPARE(monitor_->model()->rowCount(), 2);
        for (const QString& row : Shown())
            QVERIFY2(row.startsWith(QStringLiteral("received|")), qPrintable(row));
        command->setCurrentIndex(command->findData(0xF1));
        QCOMPARE(Shown(), QStringList{QStringLiteral("received|read version: \"KV-331 V2.3.1 (simulated)\"")});
        direction->setCurrentIndex(0);
        QCOMPARE(monitor_->model()->rowCount(), 2);
        // New frames pass the same filter.
        Click("readNetButton");
        QTRY_COMPARE_WITH_TIMEOUT(monitor_->log().size(), std::size_t(6), 3000);
        Click("readVersionButton");
        QTRY_COMPARE_WITH_TIMEOUT(monitor_->log().size(), std::size_t(8), 3000);
        QTRY_COMPARE(monitor_->model()->rowCount(), 4);
    }

    void copiesSelectedRowsAndSavesCsv()
    {
        window_->findChild<QAction*>(QStringLiteral("monitorMenuAction"))->trigger();
        Click("readNetButton");
        QTRY_COMPARE_WITH_TIMEOUT(monitor_->model()->rowCount(), 2, 3000);
        monitor_->table()->selectRow(1);
        const QString copied = monitor_->SelectedText();
        QVERIFY2(copied.contains(QStringLiteral("received")) && copied.contains(QStringLiteral("port 8080")),
                 qPrintable(copied));
        QCOMPARE(copied.count(u'\n'), 1);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("line.csv"));
        ui::SetSaveFileHandler([&](const QString& filter, QString*) {
            return filter.contains(QStringLiteral("*.csv")) ? path : QString();
        });
        In<QPushButton>(monitor_, "saveButton")->click();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("time,direction,length,bytes,meaning"));
        std::vector<std::string> sent = monitor::ParseCsvLine(lines[1].toStdString());
        std::vector<std::string> received = monitor::ParseCsvLine(lines[2].toStdString());
        QCOMPARE(sent.size(), std::size_t(5));
        QCOMPARE(received.size(), std::size_t(5));
        QCOMPARE(sent[1], std::string("sent"));
        QCOMPARE(sent[2], std::string("7"));
        QCOMPARE(sent[3], std::string("FA 80 E9 01 00 64 0D"));
        QCOMPARE(sent[4], std::string("read network parameters"));
        QCOMPARE(received[1], std::string("received"));
        QCOMPARE(received[2], std::string("47"));
        QCOMPARE(received[4], monitor::Meaning(monitor_->log()[1]));
        QVERIFY(received[4].find(", protocol mode") != std::string::npos);

        // A file that cannot be written is said so.
        boxes_.shown.clear();
        ui::SetSaveFileHandler([&](const QString&, QString*) { return dir.filePath(QStringLiteral("no/such/dir.csv")); });
        In<QPushButton>(monitor_, "saveButton")->click();
        QCOMPARE(boxes_.shown.size(), size_t(1));
    }

    void savesPlainText()
    {
        window_->findChild<QAction*>(QStringLiteral("monitorMenuAction"))->trigger();
        Click("readVersionButton");
        QTRY_COMPARE_WITH_TIMEOUT(monitor_->model()->rowCount(), 2, 3000);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("line.txt"));
        QVERIFY(monitor_->SaveRows(path, false));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].contains(QStringLiteral("  sent  ")) && lines[0].endsWith(QStringLiteral("read version")),
                 qPrintable(lines[0]));
    }
};

// The DTU's side played by the test, for answers the simulated DTU never
// gives and for traffic of the test's own making.
class MonitorLineTest : public QObject {
    Q_OBJECT

    template <class W>
    static W* In(QWidget* parent, const char* name)
    {
        W* w = parent->findChild<W*>(QLatin1String(name));
        if (!w)
            qFatal("no widget %s", name);
        return w;
    }

private slots:
    void framesWrittenOnOtherThreadsArriveInOrder()
    {
        PtyPair pty;
        QVERIFY(g_Serial.Open(pty.terminalPath(), 115200, 0));
        {
            MonitorWindow monitor;
            monitor.show();
            constexpr int kFrames = 100;
            auto writer = [](std::uint8_t id) {
                for (int i = 0; i < kFrames; ++i) {
                    const Bytes frame{0x7E, 0x04, id, static_cast<std::uint8_t>(i), 0x7F};
                    g_Serial.Write(frame.data(), frame.size());
                }
            };
            std::thread a(writer, 1);
            std::thread b(writer, 2);
            a.join();
            b.join();
            QTRY_COMPARE(monitor.model()->rowCount(), 2 * kFrames);
            int next[3] = {0, 0, 0};
            for (int row = 0; row < 2 * kFrames; ++row) {
                const monitor::Entry* e = monitor.model()->EntryAt(row);
                QVERIFY(e && e->direction == monitor::Direction::Sent && e->bytes.size() == 5);
                const std::uint8_t id = e->bytes[2];
                QVERIFY(id == 1 || id == 2);
                QCOMPARE(int(e->bytes[3]), next[id]++);
            }
            QCOMPARE(pty.Receive(10 * kFrames, std::chrono::milliseconds(2000)).size(), std::size_t(10 * kFrames));
        }
        // Gone with the window: a later write is seen by nobody.
        const Bytes late{0x41};
        QVERIFY(g_Serial.Write(late.data(), late.size()));
        g_Serial.Close();
    }

    void oldestRowsLeaveAtTheBound()
    {
        MonitorWindow monitor(nullptr, 10);
        monitor.show();
        // Enough rows that the table's own index is compacted on the way.
        for (int i = 0; i < 9000; ++i) {
            const Bytes frame{0x41, static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i)};
            monitor.OnReceived(frame);
            if (i % 100 == 0)
                monitor.Refresh();
        }
        monitor.Refresh();
        QCOMPARE(monitor.log().size(), std::size_t(10));
        QCOMPARE(monitor.model()->rowCount(), 10);
        QCOMPARE(monitor.model()->EntryAt(0)->seq, std::uint64_t(8990));
        QCOMPARE(monitor.model()->EntryAt(9)->seq, std::uint64_t(8999));
        QCOMPARE(monitor.model()->index(9, MonitorModel::Bytes).data().toString(), QStringLiteral("41 23 27"));
        QVERIFY(!monitor.model()->index(10, MonitorModel::Bytes).data().isValid());
    }

    // A flood while the window's thread is busy: what the stream could not
    // keep for it is said in the bar, in the terminal's words, and every
    // byte is either in the log or in that count.
    void saysWhatAFloodCostIt()
    {
        PtyPair pty;
        QVERIFY(g_Serial.Open(pty.terminalPath(), 115200, 0));
        {
            MonitorWindow monitor;
            monitor.show();
            auto* dropped = monitor.findChild<QLabel*>(QStringLiteral("droppedLabel"));
            QVERIFY(dropped && dropped->isHidden());
            const std::size_t total = ui::ReceivedStream::kMaxWaiting + (std::size_t{1} << 20);
            Bytes flood(total);
            for (std::size_t i = 0; i < total; ++i)
                flood[i] = std::uint8_t('0' + i % 64);
            const std::uint64_t end = g_Rx.Received() + total;
            // No event is handled meanwhile: nothing is delivered.
            pty.Send(flood);
            QVERIFY(WaitFor([&] { return g_Rx.Received() == end; }, std::chrono::seconds(20)));
            QTRY_VERIFY(dropped->isVisible());
            const auto lost = [&] {
                std::size_t logged = 0;
                for (std::size_t i = 0; i < monitor.log().size(); ++i)
                    logged += monitor.log()[i].bytes.size();
                return total - logged;
            };
            QTRY_COMPARE(dropped->text(), QStringLiteral("窗口来不及处理，%1 字节收到的数据已丢失。").arg(lost()));
            QVERIFY2(lost() >= total - ui::ReceivedStream::kMaxWaiting, qPrintable(QString::number(lost())));
            // Said until cleared with the rows.
            In<QPushButton>(&monitor, "clearButton")->click();
            QVERIFY(dropped->isHidden());
        }
        g_Serial.Close();
    }

    void badChecksumAnswerIsMarked()
    {
        MessageBoxes boxes;
        boxes.Start();
        PtyPair pty;
        QVERIFY(g_Serial.Open(pty.terminalPath(), 115200, 0));
        {
            MainWindow window([] { return QStringList{}; });
            window.show();
            window.findChild<QAction*>(QStringLiteral("dtuToolbarAction"))->trigger();
            window.findChild<QAction*>(QStringLiteral("monitorMenuAction"))->trigger();
            MonitorWindow* monitor = window.monitor();
            window.dtuPage()->findChild<QPushButton*>(QStringLiteral("readVersionButton"))->click();
            QCOMPARE(pty.Receive(8, std::chrono::milliseconds(2000)), H("FA 80 F1 02 00 00 6D 0D"));
            // The right sum is 0x6D + 0x80 ... here one off.
            Bytes answer = *dtu::BuildResponse(0xF1, Bytes{'V', '1'});
            answer[answer.size() - 2] ^= 0x01;
            pty.Send(answer);
            QTRY_COMPARE_WITH_TIMEOUT(monitor->model()->rowCount(), 2, 3000);
            const QString meaning = monitor->model()->index(1, MonitorModel::Meaning).data().toString();
            QVERIFY2(meaning.startsWith(QStringLiteral("read version (bad checksum: sum ")), qPrintable(meaning));
            QVERIFY(monitor->model()->index(1, MonitorModel::Meaning).data(Qt::ForegroundRole).isValid());
            // Its code still answers the request: the request is not marked.
            QVERIFY(!monitor->log()[0].unanswered);
        }
        g_Serial.Close();
        boxes.Stop();
    }
};

int main(int argc, char* argv[])
{
    return RunTests<MonitorWindowTest, MonitorLineTest>(argc, argv);
}

#include "MonitorWindowTest.moc"
