// The DTU page's whole-DTU read and write and its profiles, through the real
// page against the simulated DTU, checked with dtuctl on the same device.
#include "driver/serial/BufferedPort.h"
#include "dtu-sim/sim/SimulatedDtu.h"
#include "tests/support/KeptRecords.h"
#include "tests/support/MessageBoxes.h"
#include "tests/support/OwnSettings.h"
#include "tests/support/Postgres.h"
#include "tests/support/RunCtl.h"
#include "ui/app/MainWindow.h"
#include "ui/common/FastReplies.h"
#include "ui/common/FileDialog.h"
#include "ui/dtu/DtuPage.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <nlohmann/json.hpp>
#include <toml++/toml.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// Every leaf of a TOML table as "section.key" -> value text.
std::map<std::string, std::string> Leaves(const std::string& text)
{
    std::map<std::string, std::string> leaves;
    const toml::table table = toml::parse(text);
    const auto walk = [&](auto&& self, const toml::table& t, const std::string& prefix) -> void {
        for (const auto& [key, node] : t) {
            const std::string name = prefix + std::string(key.str());
            if (const toml::table* inner = node.as_table()) {
                self(self, *inner, name + ".");
            } else {
                std::ostringstream value;
                node.visit([&](const auto& v) { value << v; });
                leaves[name] = value.str();
            }
        }
    };
    walk(walk, table, "");
    return leaves;
}

const char kProfile[] = R"([own_id]
id = "AABBCCDDEEFF"
custom = true

[server]
ip = "10.1.2.3"
port = 6060

[serial]
baud = 115200
parity = "none"
interface = "rs485"

[apn]
apn = "CMIOT"
user = "u"
password = "secret"

[packets]
custom = true
hex = false
heartbeat = "PING"
registration = "DTU-0042"

[rf]
frequency_mhz = 433
sleep = "6s"
breathing = "16ms"
address = 123
power = "Level5"
)";

}  // namespace

class ProfilePageTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<sim::SimulatedDtu> dtu_;
    std::unique_ptr<MainWindow> window_;
    DtuPage* page_ = nullptr;
    QTemporaryDir dir_;
    MessageBoxes boxes_;

    void Click(const char* name) { page_->findChild<QAbstractButton*>(QLatin1String(name))->click(); }
    QString File(const char* name, const char* content)
    {
        const QString path = dir_.filePath(QLatin1String(name));
        std::ofstream(path.toStdString()) << content;
        return path;
    }
    records::Record Newest()
    {
        const auto kept = KeptRecords(dir_.filePath(QStringLiteral("records.sqlite")).toStdString(), 1);
        return kept.empty() ? records::Record{} : kept.front();
    }
    // dtuctl needs the port: the window lets it go.
    void ClosePage()
    {
        window_.reset();
        g_Serial.Close();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        ::setenv("DTUTOOL_RECORDS", dir_.filePath(QStringLiteral("records.sqlite")).toLocal8Bit().constData(), 1);
    }
    void init()
    {
        boxes_.Start();
        dtu_ = std::make_unique<sim::SimulatedDtu>(sim::SimulatedDtu::Options{});
        QVERIFY(dtu_->Start());
        QVERIFY(g_Serial.Open(dtu_->TerminalPath(), 115200, 0));
        window_ = std::make_unique<MainWindow>([] { return QStringList{}; });
        window_->show();
        window_->findChild<QAction*>(QStringLiteral("dtuToolbarAction"))->trigger();
        page_ = window_->dtuPage();
        ui::FastReplies::instance().set(true);
    }
    void cleanup()
    {
        ClosePage();
        dtu_.reset();
        ui::FastReplies::instance().set(false);
        boxes_.Stop();
        ui::SetOpenFileHandler(nullptr);
        ui::SetSaveFileHandler(nullptr);
    }

    void readAllThenSaveIsWhatDtuctlReads()
    {
        Click("readAllButton");
        QTRY_VERIFY_WITH_TIMEOUT(page_->paneText(1).startsWith(QStringLiteral("全部读取完成")), 5000);
        QCOMPARE(page_->paneText(1), QStringLiteral("全部读取完成"));
        const QString saved = dir_.filePath(QStringLiteral("saved.toml"));
        ui::SetSaveFileHandler([&](const QString&, QString*) { return saved; });
        Click("saveProfileButton");
        std::ifstream in(saved.toStdString());
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        ClosePage();

        const CtlRun read = RunCtl({"-p", dtu_->TerminalPath(), "read", "--profile"});
        QCOMPARE(read.code, 0);
        std::map<std::string, std::string> expected = Leaves(read.out);
        // A KV-331 has no phone or ID lists.
        QCOMPARE(expected.erase("phones") + expected.erase("ids"), std::size_t(2));
        QVERIFY(expected.size() > 15);
        QCOMPARE(Leaves(text), expected);
        QVERIFY(boxes_.texts().isEmpty());
    }

    void loadThenWriteAllLeavesTheDtuAsTheProfileSays()
    {
        // The record names the unit the page heard on this port before.
        Click("readVersionButton");
        QTRY_COMPARE_WITH_TIMEOUT(page_->paneText(1), QStringLiteral("Success!"), 3000);
        const QString path = File("unit.toml", kProfile);
        ui::SetOpenFileHandler([&](const QString&) { return path; });
        Click("loadProfileButton");
        QCOMPARE(page_->findChild<QLineEdit*>(QStringLiteral("portEdit"))->text(), QStringLiteral("6060"));
        Click("writeAllButton");
        QTRY_VERIFY_WITH_TIMEOUT(page_->paneText(1).startsWith(QStringLiteral("全部写入完成")), 5000);
        auto* report = page_->findChild<QTreeWidget*>(QStringLiteral("reportRows"));
        QVERIFY(report && report->isVisible());
        QStringList verdicts;
        for (int i = 0; i < report->topLevelItemCount(); ++i) {
            verdicts << report->topLevelItem(i)->text(3);
            QVERIFY(!report->topLevelItem(i)->text(1).contains(QStringLiteral("secret")));
        }
        QVERIFY(verdicts.size() >= 10);
        QVERIFY2(verdicts.filter(QRegularExpression(QStringLiteral("^(ok|written.*)$"))).size() == verdicts.size(),
                 qPrintable(verdicts.join(u',')));
        QTRY_COMPARE(Newest().result, std::string(records::kResultOk));
        const records::Record r = Newest();
        QCOMPARE(r.action, std::string(records::kActionWrite));
        QCOMPARE(r.port, dtu_->TerminalPath());
        QVERIFY2(r.version.starts_with("KV-331"), r.version.c_str());
        QCOMPARE(r.profileSha256.size(), std::size_t(64));
        ClosePage();

        const CtlRun read = RunCtl({"-p", dtu_->TerminalPath(), "--json", "read"});
        const nlohmann::json s = nlohmann::json::parse(read.out)["settings"];
        QCOMPARE(s["own_id"]["id"].get<std::string>(), std::string("AABBCCDDEEFF"));
        QCOMPARE(s["server"]["ip"].get<std::string>(), std::string("10.1.2.3"));
        QCOMPARE(s["server"]["port"].get<int>(), 6060);
        QCOMPARE(s["serial"]["interface"].get<std::string>(), std::string("rs485"));
        QCOMPARE(s["packets"]["registration"]["text"].get<std::string>(), std::string("DTU-0042"));
        QCOMPARE(s["rf"]["address"].get<int>(), 123);
        QCOMPARE(s["rf"]["power"].get<std::string>(), std::string("Level5"));
    }

    // A database server that stops answering holds up the record, not the
    // window: "全部写入" returns at once, the window goes on answering, and
    // the write starts and is recorded once the server answers again.
    void aServerThatDoesNotAnswerHoldsUpNoWindow()
    {
        std::string error;
        const std::string url = pgtest::FreshDatabase(error);
        QVERIFY2(!url.empty(), error.c_str());
        const QString path = File("unit.toml", kProfile);
        ui::SetOpenFileHandler([&](const QString&) { return path; });
        Click("loadProfileButton");
        struct Place {
            QByteArray was = qgetenv("DTUTOOL_RECORDS");
            ~Place()
            {
                pgtest::Hold(false);
                qputenv("DTUTOOL_RECORDS", was);
            }
        } place;
        qputenv("DTUTOOL_RECORDS", QByteArray::fromStdString(url));
        pgtest::Hold(true);
        QElapsedTimer clock;
        clock.start();
        Click("writeAllButton");
        bool answered = false;
        QTimer::singleShot(50, [&] { answered = true; });
        QTRY_VERIFY_WITH_TIMEOUT(answered, 500);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QTest::qWait(1000);
        QVERIFY(!page_->running());
        pgtest::Hold(false);
        QTRY_VERIFY2_WITH_TIMEOUT(page_->running() || page_->paneText(1).startsWith(QStringLiteral("全部写入完成")),
                                  qPrintable(page_->paneText(1) + boxes_.texts().join(u'|')), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(page_->paneText(1).startsWith(QStringLiteral("全部写入完成")), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(KeptRecords(url, 1).size(), std::size_t(1), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(KeptRecords(url, 1).front().result, std::string(records::kResultOk), 10000);
        QVERIFY(boxes_.texts().isEmpty());
    }

    // What the model's page cannot set is named on loading and in the write
    // report, never dropped without a word.
    void settingsTheModelCannotTakeAreNamed()
    {
        const QString path = File("lists.toml", "phones = [\"13800000000\"]\nids = [\"AABBCCDDEEFF\"]\n"
                                                 "[mode]\ntransfer = \"protocol\"\noptions = [\"tcp\"]\n[server]\nport = 6061\n"
                                                 "[own_id]\nid = \"AABBCCDDEEFF\"\n");
        ui::SetOpenFileHandler([&](const QString&) { return path; });
        Click("model331Radio");
        Click("loadProfileButton");
        const QString said = QStringLiteral("Not written: phones, ids, mode: the KV-331 page cannot set them.");
        QCOMPARE(boxes_.texts(), QStringList{said});
        Click("writeAllButton");
        QTRY_VERIFY2_WITH_TIMEOUT(page_->paneText(1).startsWith(QStringLiteral("全部写入完成")),
                                  qPrintable(page_->paneText(1) + boxes_.texts().join(u'|')), 5000);
        QVERIFY(page_->findChild<QLabel*>(QStringLiteral("reportSummary"))->text().endsWith(said));
    }

    void aBadProfileChangesNothing()
    {
        std::string before, after, refusal;
        before = page_->ProfileText(&refusal);
        const QString path = File("bad.toml", "[server]\nip = \"10.9.9.9\"\nport = 70000\n");
        ui::SetOpenFileHandler([&](const QString&) { return path; });
        Click("loadProfileButton");
        QCOMPARE(boxes_.texts().size(), 1);
        QVERIFY2(boxes_.texts()[0].contains(path + QStringLiteral(":3:")), qPrintable(boxes_.texts()[0]));
        after = page_->ProfileText(&refusal);
        QCOMPARE(after, before);
    }

    void stoppedHalfWayThePageWorksOn()
    {
        ui::FastReplies::instance().set(false);  // half a second a request
        Click("readAllButton");
        QTRY_VERIFY_WITH_TIMEOUT(page_->paneText(1).startsWith(QStringLiteral("读取 3/")), 5000);
        QVERIFY(!page_->findChild<QAbstractButton*>(QStringLiteral("writeAllButton"))->isEnabled());
        Click("readAllButton");  // now "停止"
        QVERIFY(!page_->running());
        QCOMPARE(page_->paneText(1), QStringLiteral("已停止"));
        QVERIFY(page_->findChild<QAbstractButton*>(QStringLiteral("writeAllButton"))->isEnabled());
        QTest::qWait(700);  // the answer still under way changes nothing
        Click("readVersionButton");
        QTRY_COMPARE_WITH_TIMEOUT(page_->paneText(1), QStringLiteral("Success!"), 3000);
        // A page closed during a run hears no answers: the run ends with it.
        // The record is begun, and completed, on the store's own thread.
        Click("writeAllButton");
        QTRY_VERIFY(page_->running());
        page_->close();
        QVERIFY(!page_->running());
        QTRY_COMPARE(Newest().result, std::string(records::kResultStopped));
    }
};

int main(int argc, char** argv)
{
    return RunWithOwnSettings<ProfilePageTest>(argc, argv);
}

#include "ProfilePageTest.moc"
