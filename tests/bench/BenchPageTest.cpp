// The bench as a user drives it: three simulated DTUs on pseudo-terminals,
// named on the command line, worked on at once; one made to fail part-way
// while the others finish.
#include "dtu-sim/sim/SimulatedDtu.h"
#include "tests/support/KeptRecords.h"
#include "tests/support/MessageBoxes.h"
#include "tests/support/Ser2net.h"
#include "ui/app/LoginDialog.h"
#include "ui/app/MainWindow.h"
#include "ui/bench/BenchPage.h"
#include "ui/common/FileDialog.h"
#include "ui/common/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kDtus = 3;

const char kProfile[] = "[serial]\nbaud = 9600\nparity = \"none\"\n";
// One own ID for every unit it is written to.
const char kOwnIdProfile[] = "[own_id]\nid = \"0123456789AB\"\n[serial]\nbaud = 9600\n";

}  // namespace

class BenchPageTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::vector<std::unique_ptr<sim::SimulatedDtu>> dtus_;
    std::unique_ptr<MainWindow> window_;
    BenchPage* page_ = nullptr;
    MessageBoxes boxes_;

    QString Write(const char* name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(QString::fromLatin1(name));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }

    void Click(const char* name)
    {
        page_->findChild<QPushButton*>(QString::fromLatin1(name))->click();
    }

    QStringList Results() const
    {
        QStringList out;
        for (const BenchRow& r : page_->model()->rows())
            out << r.result;
        return out;
    }

    // The password prompt in front of an upgrade, answered once it shows.
    static void AnswerLogin()
    {
        QTimer::singleShot(0, [] {
            auto* login = qobject_cast<LoginDialog*>(QApplication::activeModalWidget());
            login->findChild<QLineEdit*>(QStringLiteral("passwordEdit"))->setText(QStringLiteral("QWPZ"));
            QTest::keyClick(login, Qt::Key_Return);
        });
    }

    void Wait()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!page_->running(), 60000);
    }

    QString RecordsPath() const { return dir_.filePath(QStringLiteral("records.sqlite")); }

    // The batch's records, one a row, hold what the rows show.
    void CheckRecords(std::string_view action, const QStringList& results)
    {
        const std::vector<records::Record> kept = KeptRecords(RecordsPath().toStdString(), kDtus);
        QCOMPARE(kept.size(), std::size_t(kDtus));
        for (const records::Record& r : kept) {
            const auto row = std::find_if(page_->model()->rows().begin(), page_->model()->rows().end(),
                                          [&](const BenchRow& b) { return b.port.toStdString() == r.port; });
            QVERIFY(row != page_->model()->rows().end());
            const qsizetype i = row - page_->model()->rows().begin();
            QCOMPARE(r.action, std::string(action));
            QCOMPARE(r.unitId, row->ownId.toStdString());
            QCOMPARE(r.version, row->version.toStdString());
            QCOMPARE(r.result, std::string(results[i].startsWith(QStringLiteral("已停止")) ? records::kResultStopped
                                           : results[i].startsWith(QStringLiteral("失败")) ? records::kResultFailed
                                                                                          : records::kResultOk));
            QVERIFY(r.program.starts_with("dtutool "));
        }
    }

private slots:
    void initTestCase()
    {
        // The window's store is opened once, at the first job.
        ::setenv("DTUTOOL_RECORDS", RecordsPath().toLocal8Bit().constData(), 1);
    }

    void init()
    {
        QStringList named;
        dtus_.clear();
        // Online, for a test: a DTU pointed at a server dials it.
        sim::SimulatedDtu::Options online;
        online.online = true;
        online.heartbeatMs = 500;
        for (int i = 0; i < kDtus; ++i) {
            dtus_.push_back(std::make_unique<sim::SimulatedDtu>(online));
            QVERIFY(dtus_.back()->Start());
            named << QString::fromStdString(dtus_.back()->TerminalPath());
        }
        window_ = std::make_unique<MainWindow>([] { return QStringList{}; });
        window_->SetNamedPorts(named);
        window_->show();
        window_->findChild<QAction*>(QStringLiteral("benchToolbarAction"))->trigger();
        page_ = window_->benchPage();
        QVERIFY(page_);
        boxes_.Start();
    }

    void cleanup()
    {
        boxes_.Stop();
        ui::SetOpenFileHandler(nullptr);
        ui::SetChoiceHandler(nullptr);
        window_.reset();
        dtus_.clear();
    }

    // Each row works on its own; a DTU that fails part-way fails its row
    // alone, in words that name the block.
    void eachRowWorksAndFailsAlone_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("hangupAfter");  // of the second DTU
        QTest::addColumn<int>("dropAckEvery");
        QTest::addColumn<QStringList>("results");
        QTest::addColumn<QString>("summary");
        const QStringList ok(kDtus, QStringLiteral("成功"));
        QTest::newRow("read") << "read" << 0 << 0 << ok << "完成 3/3";
        QTest::newRow("write") << "write" << 0 << 0 << QStringList(kDtus, QStringLiteral("一致")) << "完成 3/3";
        QTest::newRow("upgrade") << "upgrade" << 0 << 0 << ok << "完成 3/3";
        QTest::newRow("upgrade, one hangs up") << "upgrade" << 3 << 0 << QStringList{"成功", "失败", "成功"}
                                                << "完成 2/3，失败 1";
        QTest::newRow("upgrade, one drops an ACK") << "upgrade" << 0 << 2 << QStringList{"成功", "失败", "成功"}
                                                    << "完成 2/3，失败 1";
    }
    void eachRowWorksAndFailsAlone()
    {
        QFETCH(QString, action);
        QFETCH(int, hangupAfter);
        QFETCH(int, dropAckEvery);
        QFETCH(QStringList, results);
        QFETCH(QString, summary);
        QByteArray image;
        sim::Faults faults;
        faults.hangupAfterBlocks = hangupAfter;
        faults.dropAckEvery = dropAckEvery;
        dtus_[1]->SetFaults(faults);
        if (action == QStringLiteral("read")) {
            Click("benchRead");
        } else if (action == QStringLiteral("write")) {
            const QString profile = Write("p.toml", kProfile);
            ui::SetOpenFileHandler([profile](const QString&) { return profile; });
            Click("benchWrite");
        } else {
            image = QByteArray(8 * 1024, '\x5A');
            const QString path = Write("app.bin", image);
            ui::SetOpenFileHandler([path](const QString&) { return path; });
            ui::SetChoiceHandler([](const QString&, const QStringList&) { return 0; });
            AnswerLogin();
            Click("benchUpgrade");
        }
        Wait();
        const QStringList got = Results();
        QCOMPARE(got.size(), results.size());
        for (qsizetype i = 0; i < got.size(); ++i)
            QVERIFY2(got[i].startsWith(results[i]), qPrintable(got.join(QStringLiteral(" | "))));
        if (hangupAfter > 0)
            QVERIFY2(page_->model()->rows()[1].detail.contains(QStringLiteral("块")), qPrintable(got[1]));
        for (const BenchRow& r : page_->model()->rows())
            QVERIFY(action != QStringLiteral("read") || r.ownId.size() == 12);
        // A unit that took its image is asked its version again.
        const QString upgraded = QString::fromStdString(sim::VersionOf(dtu::Bytes(image.begin(), image.end())));
        for (qsizetype i = 0; i < got.size(); ++i)
            QCOMPARE(page_->model()->rows()[std::size_t(i)].version == upgraded,
                     action == QStringLiteral("upgrade") && results[i] == QStringLiteral("成功"));
        CheckRecords(action.toStdString(), results);
        QCOMPARE(page_->summaryText(), summary);
        QVERIFY(boxes_.texts().isEmpty());
        // The rows to run again are those that failed.
        Click("benchFailed");
        for (qsizetype i = 0; i < got.size(); ++i)
            QCOMPARE(page_->model()->rows()[std::size_t(i)].checked, results[i] == QStringLiteral("失败"));
    }

    // A production test: labels scanned in one after the other, each unit
    // judged by its measurements, the failing one named in the row and all
    // of them a double-click away.
    void testsEveryUnitWithItsLabel()
    {
        dtus_[1]->WithDevice([](sim::Device& d) { d.signal = "+CSQ: 9,99"; });
        dtus_[2]->WithDevice([](sim::Device& d) { d.version = "KV-331 V1.0"; });
        auto* table = page_->findChild<QTableView*>(QStringLiteral("benchTable"));
        QApplication::setActiveWindow(page_);
        table->setFocus();
        table->setCurrentIndex(table->model()->index(0, BenchModel::Label));
        // As a scanner types: the number, then Enter, the next row's label.
        for (const char* label : {"SN-0001", "SN-0002"}) {
            for (const char c : std::string_view(label)) {
                QWidget* typing = QApplication::focusWidget();
                QVERIFY(typing);
                QTest::keyClick(typing, c);
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTRY_VERIFY(table->currentIndex().row() > (label[6] - '1'));
        }
        QCOMPARE(page_->model()->rows()[0].label, QStringLiteral("SN-0001"));
        QCOMPARE(page_->model()->rows()[1].label, QStringLiteral("SN-0002"));
        QCOMPARE(table->currentIndex().row(), 2);

        const QString plan = Write("plan.toml", "version = \"KV-331 V2*\"\nsignal = { min = 15, max = 31 }\n"
                                                "[server]\nlisten = \"127.0.0.1:0\"\nregister_within = \"5s\"\n"
                                                "[echo]\nbytes = 64\nwithin = \"3s\"\n");
        ui::SetOpenFileHandler([plan](const QString&) { return plan; });
        Click("benchTest");
        Wait();
        QVERIFY(boxes_.texts().isEmpty());
        const QStringList got = Results();
        QCOMPARE(got, (QStringList{"通过", "失败：信号 9 < 15", "失败：版本“KV-331 V1.0”不符合“KV-331 V2*”"}));
        QCOMPARE(page_->summaryText(), QStringLiteral("通过 1/3，失败 2"));
        QCOMPARE(page_->model()->rows()[0].steps.size(), std::size_t(7));

        const QModelIndex failed = table->model()->index(1, BenchModel::Result);
        emit table->doubleClicked(failed);
        auto* shown = page_->findChild<QDialog*>(QStringLiteral("benchMeasurements"));
        QVERIFY(shown);
        auto* measured = shown->findChild<QTableWidget*>(QStringLiteral("measurementsTable"));
        QCOMPARE(measured->rowCount(), 2);
        QCOMPARE(measured->item(1, 0)->text(), QStringLiteral("信号"));
        QCOMPARE(measured->item(1, 5)->text(), QStringLiteral("失败：信号 9 < 15"));

        // Again with the same labels: asked first, as new units need new ones.
        QStringList asked;
        ui::SetChoiceHandler([&asked](const QString& text, const QStringList&) {
            asked << text;
            return 0;
        });
        Click("benchTest");
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].contains(QStringLiteral("SN-0001")) && asked[0].contains(QStringLiteral("SN-0002")),
                 qPrintable(asked[0]));
        QVERIFY(!page_->running());
    }

    // Stop ends every job at its next safe point.
    void stopEndsEveryJob()
    {
        sim::Faults slow;
        slow.delayMs = 150;
        for (auto& dtu : dtus_)
            dtu->SetFaults(slow);
        const QString image = Write("big.bin", QByteArray(64 * 1024, '\x11'));
        ui::SetOpenFileHandler([image](const QString&) { return image; });
        ui::SetChoiceHandler([](const QString&, const QStringList&) { return 0; });
        AnswerLogin();
        Click("benchUpgrade");
        QTRY_VERIFY_WITH_TIMEOUT(page_->model()->rows()[0].progress.contains(u'/'), 20000);
        Click("benchStop");
        Wait();
        for (const QString& result : Results())
            QVERIFY2(result.startsWith(QStringLiteral("已停止")), qPrintable(result));
        // Every row that ran is counted, and the records say how far each got.
        QCOMPARE(page_->summaryText(), QStringLiteral("完成 0/3，已停止 3"));
        CheckRecords(records::kActionUpgrade, Results());
        for (const records::Record& r : KeptRecords(RecordsPath().toStdString(), kDtus))
            QVERIFY2(r.detail.starts_with("stopped after ") && r.detail.ends_with("/64 blocks"), r.detail.c_str());
    }

    // A port typed on the page, here a network port through ser2net, is a
    // row like the others.
    void aTypedNetworkPortIsARowLikeTheOthers()
    {
        sim::SimulatedDtu behind(sim::SimulatedDtu::Options{});
        QVERIFY(behind.Start());
        Ser2net server(behind.TerminalPath(), behind.TerminalPath(), "115200n81");
        if (!server.error().empty())
            QSKIP(server.error().c_str());
        const QString url = QString::fromStdString(server.Rfc2217Url());
        Click("benchNone");
        page_->findChild<QLineEdit*>(QStringLiteral("benchPortEdit"))->setText(url);
        Click("benchAdd");
        QCOMPARE(page_->model()->Find(url), kDtus);
        Click("benchRead");
        Wait();
        QCOMPARE(Results(), QStringList(kDtus, QString()) << QStringLiteral("成功"));
        QCOMPARE(page_->model()->rows().back().ownId.size(), 12);
    }

    // Bad input changes nothing and sends nothing, and says why.
    void badInputSendsNothing_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("said");
        QTest::newRow("no row checked") << "none" << "没有勾选的端口";
        QTest::newRow("profile with an error") << "profile" << "bad.toml:2";
        QTest::newRow("empty image") << "image" << "是空的";
        QTest::newRow("one own ID for three") << "own id" << "本机ID 0123456789AB";
    }
    void badInputSendsNothing()
    {
        QFETCH(QString, what);
        QFETCH(QString, said);
        if (what == QStringLiteral("none")) {
            Click("benchNone");
            Click("benchRead");
        } else if (what == QStringLiteral("profile")) {
            const QString profile = Write("bad.toml", "[serial]\nbaud = 12345\n");
            ui::SetOpenFileHandler([profile](const QString&) { return profile; });
            Click("benchWrite");
        } else if (what == QStringLiteral("own id")) {
            const QString profile = Write("id.toml", kOwnIdProfile);
            ui::SetOpenFileHandler([profile](const QString&) { return profile; });
            // Asked, and not asked for: the choice a person makes by default.
            ui::SetChoiceHandler([this](const QString& text, const QStringList&) {
                boxes_.shown.push_back({{}, text, ui::Buttons::Ok});
                return 0;
            });
            Click("benchWrite");
        } else {
            const QString image = Write("empty.bin", {});
            ui::SetOpenFileHandler([image](const QString&) { return image; });
            ui::SetChoiceHandler([](const QString&, const QStringList&) { return 1; });
            AnswerLogin();
            Click("benchUpgrade");
        }
        QCOMPARE(boxes_.shown.size(), std::size_t{1});
        QVERIFY2(boxes_.shown[0].text.contains(said), qPrintable(boxes_.shown[0].text));
        QVERIFY(!page_->running());
        QCOMPARE(Results(), QStringList(kDtus, QString()));
    }

    // A typed port is checked when it is added, not when a batch fails on it.
    void typedPortsAreCheckedWhenAdded_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("said");
        QTest::newRow("no such device") << "foo" << "找不到设备 foo";
        QTest::newRow("already listed") << "" << "已在列表中";
        QTest::newRow("a URL without a port") << "rfc2217://host" << "不是可用的网络端口";
    }
    void typedPortsAreCheckedWhenAdded()
    {
        QFETCH(QString, port);
        QFETCH(QString, said);
        if (port.isEmpty())
            port = page_->model()->rows()[0].port;
        page_->findChild<QLineEdit*>(QStringLiteral("benchPortEdit"))->setText(port);
        Click("benchAdd");
        QCOMPARE(boxes_.shown.size(), std::size_t{1});
        QVERIFY2(boxes_.shown[0].text.contains(said), qPrintable(boxes_.shown[0].text));
        QCOMPARE(page_->model()->rows().size(), std::size_t(kDtus));
    }

    // The report holds what the records hold, in UTC, for the rows that ran,
    // with the words the window showed; a spreadsheet reads it as UTF-8.
    void theReportHoldsWhatTheRecordsHold()
    {
        BenchRow extra;
        extra.port = extra.shown = QStringLiteral("/dev/not-run");
        page_->model()->Add(extra);
        Click("benchRead");
        Wait();
        const QString path = dir_.filePath(QStringLiteral("report"));
        ui::SetSaveFileHandler([path](const QString&, QString*) { return path; });
        Click("benchExport");
        ui::SetSaveFileHandler(nullptr);
        QFile file(path + QStringLiteral(".csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QList<QByteArray> lines = bytes.mid(3).trimmed().split('\n');
        QCOMPARE(lines.size(), qsizetype(kDtus + 1));
        QCOMPARE(lines[0].toStdString(), records::CsvHeader() + ",shown");
        const std::vector<records::Record> kept = KeptRecords(RecordsPath().toStdString(), kDtus);
        for (const records::Record& r : kept) {
            const std::string line = records::CsvLine(r) + ",成功";
            QVERIFY2(lines.contains(QByteArray::fromStdString(line)), line.c_str());
            QVERIFY(r.started.ends_with('Z'));
        }
    }
};

QTEST_MAIN(BenchPageTest)
#include "BenchPageTest.moc"
