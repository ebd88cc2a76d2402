// The records page on a real SQLite file of a few hundred records: newest
// first, more as it is scrolled, narrowed as the filter is typed, exported
// as dtuctl exports them; and a store that cannot be opened said plainly.
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
#include "ui/records/RecordsModel.h"
#include "ui/records/RecordsPage.h"

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

#include <functional>

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
};

QTEST_MAIN(RecordsPageTest)
#include "RecordsPageTest.moc"
