// The records page ("记录") on an SQLite file of 100,000 records, offscreen:
// from the menu item to the first rows painted (the store opened, the first
// page read, the window shown), a filter applied until its rows are painted,
// and a page fetched as the table is scrolled deep. Each runs several times;
// the median counts, the worst is shown beside it. Target: under 1 s each.
//
// The records are written in one transaction straight into a file the store
// made, with the store's own insert: a job writes one at a time, which for
// 100,000 would time the disk, not the page.
//
// Usage: records_page_bench [--records 100000] [--runs 5]
#include "core/records/Sql.h"
#include "driver/records/Store.h"
#include "tests/support/SampleRecords.h"
#include "ui/app/MainWindow.h"
#include "ui/records/RecordsModel.h"
#include "ui/records/RecordsPage.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kTargetMs = 1000;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

bool Fill(const std::string& path, int count)
{
    std::string error;
    if (!records::OpenStore(path, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    sqlite3* db = nullptr;
    sqlite3_stmt* insert = nullptr;
    bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
              sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK &&
              sqlite3_prepare_v2(db, records::InsertSql(records::Dialect::Sqlite).c_str(), -1, &insert, nullptr) ==
                  SQLITE_OK;
    for (int i = 0; ok && i < count; ++i) {
        const records::Record r = SampleRecord(i);
        for (std::size_t c = 1; c < records::kColumns.size(); ++c) {
            const records::Value v = records::Get(r, records::kColumns[c]);
            const int at = static_cast<int>(c);
            if (const auto* n = std::get_if<std::int64_t>(&v))
                sqlite3_bind_int64(insert, at, *n);
            else if (const auto* s = std::get_if<std::string>(&v))
                sqlite3_bind_text(insert, at, s->c_str(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
            else
                sqlite3_bind_null(insert, at);
        }
        ok = sqlite3_step(insert) == SQLITE_ROW && sqlite3_reset(insert) == SQLITE_OK;
    }
    ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok)
        std::fprintf(stderr, "%s: %s\n", path.c_str(), sqlite3_errmsg(db));
    sqlite3_finalize(insert);
    sqlite3_close(db);
    return ok;
}

// Notes the first paint of a widget after Arm.
class PaintWatch : public QObject {
public:
    void Arm(QWidget* w)
    {
        painted_ = false;
        w->installEventFilter(this);
    }
    bool painted() const { return painted_; }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            painted_ = true;
        return false;
    }

private:
    bool painted_ = false;
};

// From `act` until the table has painted its rows: milliseconds.
double UntilPainted(QTableView* table, const std::function<void()>& act)
{
    PaintWatch watch;
    const Clock::time_point start = Clock::now();
    act();
    watch.Arm(table->viewport());
    table->viewport()->update();
    while (!watch.painted())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return Ms(Clock::now() - start);
}

struct Figure {
    std::string what;
    std::vector<double> ms;
    std::size_t rows = 0;
};

void Print(const Figure& f)
{
    std::vector<double> sorted = f.ms;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    std::printf("| %-42s | %7zu | %9.1f | %8.1f | %s |\n", f.what.c_str(), f.rows, median, sorted.back(),
                sorted.back() < kTargetMs ? "yes" : "no");
}

}  // namespace

int main(int argc, char* argv[])
{
    int count = 100000, runs = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--records") == 0)
            count = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("records.sqlite")).toStdString();
    const Clock::time_point start = Clock::now();
    if (!Fill(path, count))
        return 1;
    std::printf("%d records written in one transaction in %.0f ms\n\n", count, Ms(Clock::now() - start));
    qputenv("DTUTOOL_RECORDS", QByteArray::fromStdString(path));

    Figure open{"open: menu item to first rows painted", {}, 0};
    const char* const filters[] = {"3A0F00000105", "No answer", "失败", "nothing matches this"};
    std::vector<Figure> filtered;
    for (const char* text : filters)
        filtered.push_back({std::string("filter \"").append(text).append("\""), {}, 0});
    Figure deep{"scroll: page 50 (rows 9,801 to 10,000)", {}, 0};

    for (int run = 0; run < runs; ++run) {
        MainWindow window([] { return QStringList{}; });
        const Clock::time_point menu = Clock::now();
        window.findChild<QAction*>(QStringLiteral("recordsMenuAction"))->trigger();
        auto* table = window.recordsPage()->findChild<QTableView*>();
        open.ms.push_back(Ms(Clock::now() - menu) + UntilPainted(table, [] {}));
        RecordsPage* page = window.recordsPage();
        RecordsModel* model = page->model();
        open.rows = std::size_t(model->rowCount());
        auto* edit = page->findChild<QLineEdit*>(QStringLiteral("recordsFilter"));
        for (std::size_t f = 0; f < filtered.size(); ++f) {
            edit->setText(QString::fromUtf8(filters[f]));
            filtered[f].ms.push_back(UntilPainted(table, [page] { page->Refresh(); }));
            filtered[f].rows = std::size_t(model->rowCount());
        }
        edit->clear();
        page->Refresh();
        while (model->rowCount() < 49 * int(RecordsModel::kPage))
            model->fetchMore({});
        // The scroll bar's range follows the rows on the next layout.
        UntilPainted(table, [] {});
        deep.ms.push_back(UntilPainted(table, [table] {
            table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum());
        }));
        deep.rows = std::size_t(model->rowCount());
    }
    std::printf("| %-42s | %7s | %9s | %8s | %s |\n", "", "rows", "median ms", "worst ms", "< 1 s");
    std::printf("|%s|--------:|----------:|---------:|-------|\n", std::string(44, '-').c_str());
    Print(open);
    for (const Figure& f : filtered)
        Print(f);
    Print(deep);
    return 0;
}
