// The records page on a real SQLite file of a few hundred records: newest
// first, more as it is scrolled, narrowed as the filter is typed, exported
// as dtuctl exports them; and a store that cannot be opened said plainly.
// The yield of a line's tests as the store counts it, by the PC's days.
#include "core/production/Verdict.h"
#include "driver/records/Outbox.h"
#include "driver/records/Store.h"
#include "jobs/records/Recorder.h"
#include "tests/support/MessageBoxes.h"
#include "tests/support/Postgres.h"
#include "tests/support/SampleRecords.h"
#include "ui/app/MainWindow.h"
#include "ui/common/FileDialog.h"
#include "ui/common/Language.h"
#include "ui/common/Widgets.h"
#include "ui/common/Words.h"
#include "ui/records/RecordsModel.h"
#include "ui/records/RecordsPage.h"
#include "ui/records/YieldView.h"

#include <QAction>
#include <QHeaderView>
#include <QHelpEvent>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <tuple>

namespace {

constexpr int kRecords = 450;

// DTUTOOL_RECORDS for as long as it lives, then as it was (off, for the
// tests: the user's own records are never touched).
class RecordsAt {
public:
    explicit RecordsAt(const QString& place) : was_(qgetenv("DTUTOOL_RECORDS"))
    {
        qputenv("DTUTOOL_RECORDS", place.toUtf8());
    }
    ~RecordsAt() { qputenv("DTUTOOL_RECORDS", was_); }

private:
    const QByteArray was_;
};

// The page's store, opened as the window opens its own.
RecordsPage::Opener At(const std::string& place)
{
    return [place] { return std::make_shared<jobs::OpeningStore>(place); };
}

// A line's tests over two days (UTC): a unit that failed and passed when
// tested again, one that dropped out, one that failed, two that passed; an
// upgrade and a stopped test, which count for nothing.
struct Tested {
    const char* started;
    const char* unit;
    const char* label;
    std::string_view action, result;
    std::vector<std::string_view> failing;
};
const Tested kLine[] = {
    {"2026-12-07T09:00:00.000Z", "3A0F00000201", "SN-0201", records::kActionTest, records::kResultFailed,
     {production::kSignal}},
    {"2026-12-07T09:20:00.000Z", "3A0F00000201", "SN-0201", records::kActionTest, records::kResultOk, {}},
    {"2026-12-07T10:00:00.000Z", "3A0F00000202", "SN-0202", records::kActionTest, records::kResultOk, {}},
    // 01:30 on the 8th in China.
    {"2026-12-07T17:30:00.000Z", "3A0F00000203", "SN-0203", records::kActionTest, records::kResultError,
     {production::kRegistration}},
    {"2026-12-08T08:00:00.000Z", "3A0F00000204", "SN-0204", records::kActionTest, records::kResultFailed,
     {production::kSignal, production::kEchoTime}},
    {"2026-12-08T08:30:00.000Z", "3A0F00000205", "SN-0205", records::kActionTest, records::kResultOk, {}},
    {"2026-12-08T09:00:00.000Z", "3A0F00000206", "", records::kActionUpgrade, records::kResultOk, {}},
    {"2026-12-08T09:10:00.000Z", "3A0F00000207", "SN-0207", records::kActionTest, records::kResultStopped, {}},
};

bool KeepLine(records::Store& store, std::string& error)
{
    for (const Tested& t : kLine) {
        records::Record r;
        r.started = t.started;
        r.station = "line-1";
        r.port = "/dev/ttyUSB0";
        r.action = t.action;
        r.unitId = t.unit;
        r.label = t.label;
        std::vector<records::Measurement> measured;
        for (const std::string_view name :
             {production::kVersion, production::kSignal, production::kRegistration, production::kEchoTime}) {
            if (t.action != records::kActionTest || t.result == records::kResultStopped)
                break;
            measured.push_back({std::string(name), "1", "", {}, {}, "",
                                std::find(t.failing.begin(), t.failing.end(), name) == t.failing.end()});
        }
        const auto id = store.Begin(r, error);
        if (!id || !store.Complete(*id, t.result, t.failing.empty() ? "" : std::string(t.failing[0]) + " out of limit",
                                   records::IsoTime(records::ParseIsoTime(t.started)->first + 60'000), measured, error))
            return false;
    }
    return true;
}

// The PC's zone for as long as it lives, then as it was.
class Zone {
public:
    explicit Zone(const char* tz) : had_(std::getenv("TZ") != nullptr), was_(had_ ? std::getenv("TZ") : "")
    {
        setenv("TZ", tz, 1);
        tzset();
    }
    ~Zone()
    {
        if (had_)
            setenv("TZ", was_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    const bool had_;
    const std::string was_;
};

using Bars = std::vector<std::tuple<QString, std::int64_t, std::int64_t>>;

// The bars with tests, as the store names its periods.
Bars Counted(const YieldBars& shown)
{
    Bars bars;
    for (const YieldBar& bar : shown.bars)
        if (bar.passed + bar.failed > 0)
            bars.emplace_back(bar.start.toString(shown.hourly ? QStringLiteral("yyyy-MM-dd'T'HH:mm")
                                                              : QStringLiteral("yyyy-MM-dd")),
                              bar.passed, bar.failed);
    return bars;
}

std::vector<std::int64_t> Ids(const std::vector<records::Record>& rows)
{
    std::vector<std::int64_t> ids;
    for (const records::Record& r : rows)
        ids.push_back(r.id);
    return ids;
}

}  // namespace

class RecordsPageTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::shared_ptr<records::Store> store_;
    std::vector<records::Record> all_;  // newest first, as the store keeps them
    std::shared_ptr<records::Store> line_;  // kLine

private slots:
    void initTestCase()
    {
        std::string error;
        store_ = records::OpenStore(dir_.filePath(QStringLiteral("records.sqlite")).toStdString(), error);
        QVERIFY2(store_, error.c_str());
        for (int i = 0; i < kRecords; ++i) {
            const records::Record r = SampleRecord(i);
            const auto id = store_->Begin(r, error);
            QVERIFY2(id, error.c_str());
            QVERIFY(r.ended.empty() || store_->Complete(*id, r.result, r.detail, r.ended, error));
        }
        all_ = store_->Query({}, error).value();
        line_ = records::OpenStore(dir_.filePath(QStringLiteral("line.sqlite")).toStdString(), error);
        QVERIFY2(line_ && KeepLine(*line_, error), error.c_str());
    }

    // Ends kept on the station reach the store when the page reads it, and
    // those it still refuses are counted under the table.
    void endsWaitingOnTheStationAreDeliveredAndCounted()
    {
        std::string error;
        const std::string place = dir_.filePath(QStringLiteral("waiting.sqlite")).toStdString();
        const auto store = records::OpenStore(place, error);
        QVERIFY2(store, error.c_str());
        const auto id = store->Begin(SampleRecord(0), error);
        QVERIFY2(id, error.c_str());
        const QByteArray was = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dir_.path().toUtf8());
        const records::Outbox outbox(records::OutboxPath());
        QVERIFY(outbox.Add({store->Name(), *id, "ok", "", "2026-12-09T00:00:00.000Z", "", "", {}}, error));
        QVERIFY(outbox.Add({store->Name(), 999, "ok", "", "2026-12-09T00:00:00.000Z", "", "", {}}, error));
        {
            RecordsPage page(At(place), place, nullptr);
            page.show();
            QTRY_VERIFY2(page.summaryText().contains(QStringLiteral("另有 1 条记录的结果在本机等待送达")),
                         qPrintable(page.summaryText()));
        }
        qputenv("XDG_DATA_HOME", was);
        QCOMPARE(store->Query({}, error).value().front().result, std::string("ok"));
    }

    void showsFiltersAndExportsNewestFirst_data()
    {
        using R = const records::Record&;
        QTest::addColumn<QString>("typed");
        QTest::addColumn<std::function<bool(R)>>("match");
        QTest::newRow("all") << "" << std::function([](R) { return true; });
        QTest::newRow("unit, any case")
            << "3a0f00000105" << std::function([](R r) { return r.unitId == "3A0F00000105"; });
        QTest::newRow("detail, any case")
            << "answer AFTER" << std::function([](R r) { return r.detail.find("answer after") != std::string::npos; });
        QTest::newRow("result in the window's words")
            << "失败" << std::function([](R r) { return r.result == records::kResultFailed; });
        QTest::newRow("none") << "ttyUSB9" << std::function([](R) { return false; });
    }
    void showsFiltersAndExportsNewestFirst()
    {
        QFETCH(QString, typed);
        QFETCH(std::function<bool(const records::Record&)>, match);
        std::vector<records::Record> expected;
        std::string csv = records::CsvHeader() + "\n";
        for (const records::Record& r : all_)
            if (match(r)) {
                expected.push_back(r);
                csv += records::CsvLine(r) + "\n";
            }
        RecordsPage page(At(store_->Name()), store_->Name(), nullptr);
        page.show();
        RecordsModel* model = page.model();
        auto* edit = page.findChild<QLineEdit*>(QStringLiteral("recordsFilter"));
        for (const QChar c : typed)  // keyClicks takes Latin-1 only
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTRY_VERIFY(!page.busy());
        QCOMPARE(model->rowCount(), int(std::min(expected.size(), RecordsModel::kPage)));
        QVERIFY(page.summaryText().startsWith(expected.empty() ? QStringLiteral("没有") : QString()));
        QVERIFY(page.summaryText().contains(QString::number(model->rowCount())) || expected.empty());

        // Every match, not only the rows fetched; a file that cannot be written is said.
        MessageBoxes boxes;
        boxes.Start();
        for (const QString& name : {QStringLiteral("export.csv"), QStringLiteral("missing/export.csv")}) {
            ui::SetSaveFileHandler([&](const QString&, QString*) { return dir_.filePath(name); });
            page.findChild<QPushButton*>(QStringLiteral("recordsExport"))->click();
            QTRY_VERIFY(!page.busy());
        }
        ui::SetSaveFileHandler(nullptr);
        QTRY_COMPARE(boxes.texts().size(), 1);
        QVERIFY(boxes.texts()[0].startsWith(QStringLiteral("记录没有导出")));
        QFile exported(dir_.filePath(QStringLiteral("export.csv")));
        QVERIFY(exported.open(QIODevice::ReadOnly));
        QCOMPARE(exported.readAll().toStdString(), csv);

        auto* table = page.findChild<QTableView*>(QStringLiteral("recordsTable"));
        for (int pages = 0; model->more() && pages < 10; ++pages) {
            table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum());
            QApplication::processEvents();
            QTRY_VERIFY(!page.busy());
        }
        QCOMPARE(Ids(model->rows()), Ids(expected));
        for (int row = 0; row < model->rowCount(); ++row) {
            const records::Record& r = expected[std::size_t(row)];
            const QModelIndex result = model->index(row, RecordsModel::Result);
            QCOMPARE(result.data(Qt::ForegroundRole) == QVariant(ui::AlarmColour(QApplication::palette())),
                     r.result == records::kResultFailed || r.result == records::kResultInterrupted);
            QVERIFY(r.detail.empty() || result.data(Qt::ToolTipRole).toString().toStdString() == r.detail);
        }
    }

    // Off, or a folder where the file should be: the page says so instead of a table.
    void saysWhyThereAreNoRecords_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("said");
        QTest::newRow("off") << "off" << "记录已关闭";
        QTest::newRow("a folder") << dir_.path() << "无法打开记录：\n记录存放处 " + dir_.path() + "：这是文件夹，不是记录文件";
    }
    void saysWhyThereAreNoRecords()
    {
        QFETCH(QString, place);
        QFETCH(QString, said);
        const RecordsAt records(place);
        MainWindow window([] { return QStringList{}; });
        window.findChild<QAction*>(QStringLiteral("recordsMenuAction"))->trigger();
        QTRY_VERIFY2(window.recordsPage()->messageText().startsWith(said),
                     qPrintable(window.recordsPage()->messageText()));
        QVERIFY(!window.recordsPage()->findChild<QTableView*>()->isVisible());
    }

    void cleanup() { ui::InstallLanguage(ui::Language::Chinese); }

    // A header click sorts what is fetched, and what is fetched later takes
    // its place; newest first again, the pages go on where they were.
    void sortsByAnyColumn()
    {
        RecordsPage page(At(store_->Name()), store_->Name(), nullptr);
        page.show();
        RecordsModel* model = page.model();
        QTRY_COMPARE(model->rowCount(), int(RecordsModel::kPage));
        auto* table = page.findChild<QTableView*>(QStringLiteral("recordsTable"));
        QHeaderView* header = table->horizontalHeader();
        QAbstractItemModel* view = table->model();
        const auto click = [&](int column) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                                     header->height() / 2));
        };
        // The records in the order the table shows them.
        const auto shown = [&] {
            std::vector<records::Record> rows;
            for (int row = 0; row < view->rowCount(); ++row) {
                const auto source = static_cast<QSortFilterProxyModel*>(view)->mapToSource(view->index(row, 0));
                rows.push_back(model->rows()[std::size_t(source.row())]);
            }
            return rows;
        };
        const auto scroll = [&] {
            table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum());
            QApplication::processEvents();
            QTRY_VERIFY(!page.busy());
        };
        using R = const records::Record&;
        const struct {
            int column;
            std::function<bool(R, R)> inOrder;  // a row and the one below it
            const char* summary;
        } sorts[] = {
            {RecordsModel::Unit, [](R a, R b) { return a.unitId <= b.unitId; }, "按“本机ID”排列"},
            {RecordsModel::Unit, [](R a, R b) { return a.unitId >= b.unitId; }, "按“本机ID”排列"},
            // A time's first click: the latest first, the unfinished last.
            {RecordsModel::Ended, [](R a, R b) { return b.ended.empty() || (!a.ended.empty() && a.ended >= b.ended); },
             "按“结束时间”排列"},
            {RecordsModel::Started,
             [](R a, R b) { return a.started > b.started || (a.started == b.started && a.id > b.id); }, ""},
        };
        for (const auto& sort : sorts) {
            click(sort.column);
            const std::size_t fetched = model->rows().size();
            for (int pages = 0; pages < 2; ++pages) {
                const std::vector<records::Record> rows = shown();
                QCOMPARE(rows.size(), model->rows().size());
                for (std::size_t i = 1; i < rows.size(); ++i)
                    QVERIFY2(sort.inOrder(rows[i - 1], rows[i]), qPrintable(QStringLiteral("column %1, row %2").arg(sort.column).arg(i)));
                QVERIFY2(page.summaryText().contains(QString::fromUtf8(sort.summary)) || !model->more(),
                         qPrintable(page.summaryText()));
                scroll();
            }
            QVERIFY(model->rows().size() > fetched || !model->more());
        }
        // Fetched in the store's order throughout: none twice, none left out.
        while (model->more())
            scroll();
        QCOMPARE(Ids(model->rows()), Ids(all_));
        QCOMPARE(Ids(shown()), Ids(all_));
    }

    // The details in the window's words, as kept in the tool tip (the
    // filter finds what is kept); a store's error too.
    void showsDetailsInTheWindowsLanguage()
    {
        const std::string place = dir_.filePath(QStringLiteral("words.sqlite")).toStdString();
        std::string error;
        const auto store = records::OpenStore(place, error);
        QVERIFY2(store, error.c_str());
        records::Record r = SampleRecord(23);
        r.detail = "no answer to read version within 1000 ms (sent 7B 0E 00 8E 7D); records store r.sqlite: database is "
                   "locked";
        const auto id = store->Begin(r, error);
        QVERIFY2(id && store->Complete(*id, r.result, r.detail, r.ended, error), error.c_str());
        RecordsPage page(At(place), place, nullptr);
        page.show();
        QTRY_COMPARE(page.model()->rowCount(), 1);
        const QString shown = QStringLiteral("“读版本”在 1000 毫秒内无应答（已发送 7B 0E 00 8E 7D）；记录存放处 r.sqlite：数据库被锁定");
        QCOMPARE(page.model()->index(0, RecordsModel::Detail).data().toString(), shown);
        QCOMPARE(page.model()->index(0, RecordsModel::Detail).data(Qt::ToolTipRole).toString(),
                 shown + "\n\n记录中的原文：" + QString::fromStdString(r.detail));
    }

    // In English the widest columns give way, so that every column is on
    // screen; a text cut short is whole in its tool tip.
    void everyColumnOnScreenEveryCutTextInATip()
    {
        ui::InstallLanguage(ui::Language::English);
        RecordsPage page(At(store_->Name()), store_->Name(), nullptr);
        page.resize(1180, 560);
        page.show();
        QTRY_COMPARE(page.model()->rowCount(), int(RecordsModel::kPage));
        auto* table = page.findChild<QTableView*>(QStringLiteral("recordsTable"));
        QHeaderView* header = table->horizontalHeader();
        const auto onScreen = [&] {
            return header->sectionViewportPosition(RecordsModel::Detail) + header->sectionSizeHint(RecordsModel::Detail) <=
                   table->viewport()->width();
        };
        QVERIFY2(onScreen(), qPrintable(QString::number(header->sectionViewportPosition(RecordsModel::Detail))));
        // Narrower: still every column, some texts cut.
        page.resize(820, 560);
        QTRY_VERIFY(onScreen());
        int cut = 0;
        for (int row = 0; row < 30; ++row) {
            for (int column = 0; column < RecordsModel::kColumns; ++column) {
                const QModelIndex index = table->model()->index(row, column);
                const QString text = index.data().toString();
                if (table->fontMetrics().horizontalAdvance(text) <= header->sectionSize(column))
                    continue;
                ++cut;
                const QRect cell = table->visualRect(index);
                QToolTip::hideText();
                QHelpEvent help(QEvent::ToolTip, cell.center(), table->viewport()->mapToGlobal(cell.center()));
                QApplication::sendEvent(table->viewport(), &help);
                QVERIFY2(QToolTip::text().replace(u'\n', u' ').contains(text),
                         qPrintable(QStringLiteral("%1: %2").arg(column).arg(text)));
            }
        }
        QVERIFY(cut > 0);
    }

    // A database server that stops answering holds the store's thread, never
    // the window: the page says it is reading and takes keys meanwhile, and
    // shows the records once the server answers again.
    void theWindowAnswersWhileTheStoreIsHeld()
    {
        std::string error;
        const std::string database = pgtest::FreshDatabase(error);
        QVERIFY2(!database.empty(), error.c_str());
        {
            const auto store = records::OpenStore(database, error);
            QVERIFY2(store, error.c_str());
            const records::Record r = SampleRecord(3);
            const auto id = store->Begin(r, error);
            QVERIFY2(id && store->Complete(*id, r.result, r.detail, r.ended, error), error.c_str());
        }
        RecordsPage page(At(database), database, nullptr);
        page.show();
        QTRY_COMPARE(page.model()->rowCount(), 1);
        pgtest::Hold(true);
        page.Refresh();
        QTRY_COMPARE(page.messageText(), QStringLiteral("正在读取记录…"));
        auto* edit = page.findChild<QLineEdit*>(QStringLiteral("recordsFilter"));
        QTest::keyClicks(edit, QStringLiteral("zz"));
        QCOMPARE(edit->text(), QStringLiteral("zz"));
        edit->clear();
        pgtest::Hold(false);
        QTRY_VERIFY(!page.busy());
        QCOMPARE(page.messageText(), QString());
        QCOMPARE(page.model()->rowCount(), 1);
    }

    // 刷新 and F5 try again: a store that could not be opened is opened
    // anew, one that failed under the page is asked again.
    void triesAgainAfterAStoreError_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<std::function<void()>>("fail");
        QTest::addColumn<std::function<void()>>("mend");
        QTest::addColumn<bool>("failsUnderThePage");
        QTest::addColumn<QString>("said");
        const QString file = dir_.filePath(QStringLiteral("later.sqlite"));
        QTest::newRow("a folder where the file goes")
            << file << std::function([file] { QDir().mkpath(file); })
            << std::function([file] { QDir(file).removeRecursively(); }) << false
            << "无法打开记录：\n记录存放处 " + file + "：这是文件夹，不是记录文件";
        std::string error;
        const QString database = QString::fromStdString(pgtest::FreshDatabase(error));
        QVERIFY2(!database.isEmpty(), error.c_str());
        const std::function stop([] { pgtest::Stop(); });
        const std::function start([] {
            std::string error;
            QVERIFY2(pgtest::Start(error), error.c_str());
        });
        QTest::newRow("a server stopped, then started") << database << stop << start << false << "无法打开记录：";
        QTest::newRow("a server stopped under the page") << database << stop << start << true << "无法读取记录：";
    }
    void triesAgainAfterAStoreError()
    {
        QFETCH(QString, place);
        QFETCH(std::function<void()>, fail);
        QFETCH(std::function<void()>, mend);
        QFETCH(bool, failsUnderThePage);
        QFETCH(QString, said);
        const RecordsAt records(place);
        if (!failsUnderThePage)
            fail();
        MainWindow window([] { return QStringList{}; });
        window.findChild<QAction*>(QStringLiteral("recordsMenuAction"))->trigger();
        RecordsPage* page = window.recordsPage();
        auto* refresh = page->findChild<QPushButton*>(QStringLiteral("recordsRefresh"));
        auto* exportButton = page->findChild<QPushButton*>(QStringLiteral("recordsExport"));
        if (failsUnderThePage) {
            QTRY_VERIFY(page->messageText().isEmpty() && exportButton->isEnabled());
            fail();
            refresh->click();
        }
        QTRY_VERIFY2(page->messageText().startsWith(said), qPrintable(page->messageText()));
        // In the window's words, 刷新 ready, nothing to export.
        QVERIFY2(!page->messageText().contains(QLatin1String("records store")), qPrintable(page->messageText()));
        QVERIFY(refresh->isEnabled());
        QVERIFY(!exportButton->isEnabled());

        mend();
        std::string error;
        const auto store = records::OpenStore(place.toStdString(), error);
        QVERIFY2(store, error.c_str());
        records::Record r = SampleRecord(7);
        const auto id = store->Begin(r, error);
        QVERIFY2(id && store->Complete(*id, r.result, r.detail, r.ended, error), error.c_str());
        QApplication::setActiveWindow(page);
        QTest::keyClick(page, Qt::Key_F5);
        QTRY_VERIFY2(page->messageText().isEmpty(), qPrintable(page->messageText()));
        QVERIFY(exportButton->isEnabled());
        QVERIFY(!page->model()->rows().empty());
        QCOMPARE(page->model()->rows().front().id, *id);
    }

    // The figures the store counts, for what the filter narrows the table
    // to, the bars by the PC's days (or hours, within one day); only asked
    // for once the view is shown.
    void yieldIsTheStoresByThePcsDays_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QString>("figures");
        QTest::addColumn<bool>("hourly");
        QTest::addColumn<Bars>("bars");
        QTest::newRow("all") << "" << QByteArray("UTC") << "单位 5，通过 3，失败 2，合格率 60.0%" << false
                             << Bars{{"2026-12-07", 2, 2}, {"2026-12-08", 1, 1}};
        QTest::newRow("all, in China") << "" << QByteArray("CST-8") << "单位 5，通过 3，失败 2，合格率 60.0%" << false
                                       << Bars{{"2026-12-07", 2, 1}, {"2026-12-08", 1, 2}};
        QTest::newRow("a unit tested again, in one hour")
            << "3a0f00000201" << QByteArray("UTC") << "单位 1，通过 1，失败 0，合格率 100.0%" << true
            << Bars{{"2026-12-07T09:00", 1, 1}};
        QTest::newRow("an hour in China") << "3a0f00000201" << QByteArray("CST-8") << "单位 1，通过 1，失败 0，合格率 100.0%"
                                          << true << Bars{{"2026-12-07T17:00", 1, 1}};
        QTest::newRow("the word for a dropped-out test")
            << "出错" << QByteArray("UTC") << "单位 1，通过 0，失败 1，合格率 0.0%" << true << Bars{{"2026-12-07T17:00", 0, 1}};
        QTest::newRow("a label") << "sn-0204" << QByteArray("UTC") << "单位 1，通过 0，失败 1，合格率 0.0%" << true
                                 << Bars{{"2026-12-08T08:00", 0, 1}};
        QTest::newRow("no test") << "ttyUSB9" << QByteArray("UTC") << "没有通过或失败的测试" << false << Bars{};
    }
    void yieldIsTheStoresByThePcsDays()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, zone);
        QFETCH(QString, figures);
        QFETCH(bool, hourly);
        QFETCH(Bars, bars);
        const Zone inZone(zone.constData());
        RecordsPage page(At(line_->Name()), line_->Name(), nullptr);
        page.show();
        page.findChild<QLineEdit*>(QStringLiteral("recordsFilter"))->setText(typed);
        QTRY_VERIFY(!page.busy());
        YieldView* view = page.yieldView();
        QVERIFY(!view->isVisible());
        QCOMPARE(view->figuresText(), QString());
        page.findChild<QPushButton*>(QStringLiteral("recordsYieldButton"))->click();
        QTRY_VERIFY(!page.busy());
        QVERIFY(view->isVisible());
        QCOMPARE(view->figuresText(), figures);
        QCOMPARE(view->bars().hourly, hourly);
        QCOMPARE(Counted(view->bars()), bars);

        // In UTC the PC's days are the store's.
        std::string error;
        records::Filter filter;
        filter.text = RecordsModel::Stored(typed);
        const auto counted = line_->Summarize(filter, hourly ? records::By::Hour : records::By::Day, error);
        QVERIFY2(counted, error.c_str());
        if (zone == "UTC") {
            Bars byStore;
            for (const records::Summary::Period& p : counted->periods)
                byStore.emplace_back(QString::fromStdString(p.start), p.passed, p.failed);
            QCOMPARE(Counted(view->bars()), byStore);
        }
        std::vector<std::pair<QString, std::int64_t>> failing;
        for (const records::Summary::Failing& f : counted->failing)
            failing.emplace_back(ui::MeasurementWord(f.name), f.count);
        QCOMPARE(view->failing(), failing);
        QCOMPARE(failing.empty(), typed == "ttyUSB9");
    }

    // A test and a test that dropped out in the window's words, and back: the
    // filter takes what the table shows, and a test shows its unit's label.
    void testWordsShownAndTyped_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("rows");
        QTest::newRow("测试") << false << "测试" << int(RecordsModel::Action) << 7;
        QTest::newRow("出错") << false << "出错" << int(RecordsModel::Result) << 1;
        QTest::newRow("Test") << true << "Test" << int(RecordsModel::Action) << 7;
        QTest::newRow("Error") << true << "Error" << int(RecordsModel::Result) << 1;
    }
    void testWordsShownAndTyped()
    {
        QFETCH(bool, english);
        QFETCH(QString, shown);
        QFETCH(int, column);
        QFETCH(int, rows);
        if (english)
            ui::InstallLanguage(ui::Language::English);
        RecordsPage page(At(line_->Name()), line_->Name(), nullptr);
        page.show();
        page.findChild<QLineEdit*>(QStringLiteral("recordsFilter"))->setText(shown.toLower());
        QTRY_VERIFY(!page.busy());
        RecordsModel* model = page.model();
        QCOMPARE(model->rowCount(), rows);
        for (int row = 0; row < rows; ++row) {
            QCOMPARE(model->index(row, column).data().toString(), shown);
            const records::Record& r = model->rows()[std::size_t(row)];
            QCOMPARE(model->index(row, RecordsModel::Unit).data().toString(),
                     QString::fromStdString(r.unitId + " / " + r.label));
            // A test that went well passed, as the bench said.
            if (column == RecordsModel::Action && r.result == records::kResultOk)
                QCOMPARE(model->index(row, RecordsModel::Result).data().toString(),
                         english ? QStringLiteral("Passed") : QStringLiteral("通过"));
        }
        // A test that dropped out is as red as one that failed.
        QCOMPARE(model->index(0, RecordsModel::Result).data(Qt::ForegroundRole) ==
                     QVariant(ui::AlarmColour(QApplication::palette())),
                 model->rows()[0].result == records::kResultError);
    }

    // The yield too is counted on the store's thread: a database server
    // that stops answering holds it, never the window; the figures come
    // once the server answers.
    void yieldWaitsForTheStoreNotTheWindow()
    {
        std::string error;
        const std::string database = pgtest::FreshDatabase(error);
        QVERIFY2(!database.empty(), error.c_str());
        const auto store = records::OpenStore(database, error);
        QVERIFY2(store, error.c_str());
        RecordsPage page(At(database), database, nullptr);
        page.show();
        page.findChild<QPushButton*>(QStringLiteral("recordsYieldButton"))->click();
        QTRY_VERIFY(!page.busy());
        QCOMPARE(page.yieldView()->figuresText(), QStringLiteral("没有通过或失败的测试"));
        QVERIFY2(KeepLine(*store, error), error.c_str());
        pgtest::Hold(true);
        page.Refresh();
        // The labels: the same tests.
        auto* edit = page.findChild<QLineEdit*>(QStringLiteral("recordsFilter"));
        QTest::keyClicks(edit, QStringLiteral("sn"));
        QCOMPARE(edit->text(), QStringLiteral("sn"));
        QTest::qWait(RecordsPage::kPauseMs * 2);
        QVERIFY(page.busy());
        QCOMPARE(page.yieldView()->figuresText(), QStringLiteral("没有通过或失败的测试"));
        pgtest::Hold(false);
        QTRY_VERIFY(!page.busy());
        QCOMPARE(page.yieldView()->figuresText(), QStringLiteral("单位 5，通过 3，失败 2，合格率 60.0%"));
        QCOMPARE(page.yieldView()->failing().size(), std::size_t(3));
    }
};

QTEST_MAIN(RecordsPageTest)
#include "RecordsPageTest.moc"
