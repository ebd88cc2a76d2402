// The records page on a real SQLite file of a few hundred records: newest
// first, more as it is scrolled, narrowed as the filter is typed, exported
// as dtuctl exports them; and a store that cannot be opened said plainly.
#include "driver/records/Store.h"
#include "tests/support/MessageBoxes.h"
#include "tests/support/SampleRecords.h"
#include "ui/app/MainWindow.h"
#include "ui/common/FileDialog.h"
#include "ui/common/Widgets.h"
#include "ui/records/RecordsModel.h"
#include "ui/records/RecordsPage.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

constexpr int kRecords = 450;

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
        RecordsPage page(store_, {}, store_->Name(), nullptr);
        page.show();
        RecordsModel* model = page.model();
        auto* edit = page.findChild<QLineEdit*>(QStringLiteral("recordsFilter"));
        for (const QChar c : typed)  // keyClicks takes Latin-1 only
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTRY_COMPARE(model->rowCount(), int(std::min(expected.size(), RecordsModel::kPage)));
        QVERIFY(page.summaryText().startsWith(expected.empty() ? QStringLiteral("没有") : QString()));
        QVERIFY(page.summaryText().contains(QString::number(model->rowCount())) || expected.empty());

        // Every match, not only the rows fetched; a file that cannot be written is said.
        MessageBoxes boxes;
        boxes.Start();
        for (const QString& name : {QStringLiteral("export.csv"), QStringLiteral("missing/export.csv")}) {
            ui::SetSaveFileHandler([&](const QString&, QString*) { return dir_.filePath(name); });
            page.findChild<QPushButton*>(QStringLiteral("recordsExport"))->click();
        }
        ui::SetSaveFileHandler(nullptr);
        QCOMPARE(boxes.texts().size(), 1);
        QVERIFY(boxes.texts()[0].startsWith(QStringLiteral("记录没有导出")));
        QFile exported(dir_.filePath(QStringLiteral("export.csv")));
        QVERIFY(exported.open(QIODevice::ReadOnly));
        QCOMPARE(exported.readAll().toStdString(), csv);

        auto* table = page.findChild<QTableView*>(QStringLiteral("recordsTable"));
        for (int pages = 0; model->more() && pages < 10; ++pages) {
            table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum());
            QApplication::processEvents();
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
        QTest::newRow("a folder") << dir_.path() << "无法打开记录：\nrecords store " + dir_.path() +
                                                        ": is a folder, not a records file";
    }
    void saysWhyThereAreNoRecords()
    {
        QFETCH(QString, place);
        QFETCH(QString, said);
        qputenv("DTUTOOL_RECORDS", place.toUtf8());
        MainWindow window([] { return QStringList{}; });
        window.findChild<QAction*>(QStringLiteral("action32787"))->trigger();
        qunsetenv("DTUTOOL_RECORDS");
        QVERIFY2(window.recordsPage()->messageText().startsWith(said),
                 qPrintable(window.recordsPage()->messageText()));
        QVERIFY(!window.recordsPage()->findChild<QTableView*>()->isVisible());
    }
};

QTEST_MAIN(RecordsPageTest)
#include "RecordsPageTest.moc"
