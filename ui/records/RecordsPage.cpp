#include "ui/records/RecordsPage.h"

#include "core/records/Place.h"
#include "core/records/Record.h"
#include "driver/records/Outbox.h"
#include "driver/records/Store.h"
#include "jobs/records/Recorder.h"
#include "ui/common/CutTextTips.h"
#include "ui/common/FileDialog.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Records.h"
#include "ui/common/Settings.h"
#include "ui/common/Widgets.h"
#include "ui/common/Words.h"
#include "ui/records/RecordsModel.h"
#include "ui/records/YieldView.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QSaveFile>
#include <QShortcut>
#include <QShowEvent>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <numeric>
#include <vector>

namespace {

// An export holds this many records in memory at a time, whatever the store holds.
constexpr std::size_t kExportPage = 5000;

// A store that answers at once shows its records with the page; one still
// being reached after this is said to be.
constexpr int kPatienceMs = 300;

// What the store's thread found for a refresh.
struct FirstPage {
    bool off = false;
    std::string openError, error;
    std::size_t waiting = 0;
    std::vector<records::Record> rows;
};

struct Tally {
    std::optional<records::Summary> summary;
    std::string error;
};

struct Exported {
    std::size_t written = 0;
    QString failure;
};

// Every record `filter` matches, a page at a time, as `dtuctl records
// --csv` writes them; on the store's thread.
Exported Export(records::Store& store, records::Filter filter, const QString& path)
{
    Exported out;
    QSaveFile file(path);
    const auto put = [&file](std::string line) {
        line += '\n';
        return file.write(line.data(), qint64(line.size())) == qint64(line.size());
    };
    bool ok = file.open(QIODevice::WriteOnly) && put(records::CsvHeader());
    filter.limit = kExportPage;
    for (bool more = ok; more;) {
        std::string error;
        const auto found = store.Query(filter, error);
        if (!found) {
            out.failure = ui::Words(error);
            return out;
        }
        for (const records::Record& r : *found)
            ok = ok && put(records::CsvLine(r));
        out.written += found->size();
        more = ok && found->size() == kExportPage;
        if (more) {
            filter.belowStarted = found->back().started;
            filter.belowId = found->back().id;
        }
    }
    if (!(ok && file.commit()))
        out.failure = file.errorString();
    return out;
}

// Widths for columns that would take `wanted` within `room`: what they
// want when it fits, else the widest cut down to one width, where the
// rest ends in "…", none below its `least`.
std::vector<int> Shared(const std::vector<int>& wanted, const std::vector<int>& least, int room)
{
    const auto under = [&](int cap) {
        std::vector<int> widths;
        for (std::size_t c = 0; c < wanted.size(); ++c)
            widths.push_back(std::max(least[c], std::min(wanted[c], cap)));
        return widths;
    };
    const auto sum = [](const std::vector<int>& widths) { return std::accumulate(widths.begin(), widths.end(), 0); };
    int low = 0, high = wanted.empty() ? 0 : *std::max_element(wanted.begin(), wanted.end());
    while (low < high) {
        const int cap = (low + high + 1) / 2;
        if (sum(under(cap)) <= room)
            low = cap;
        else
            high = cap - 1;
    }
    return under(low);
}

}  // namespace

RecordsPage::RecordsPage(Opener open, const std::string& place, QWidget* parent)
    : QDialog(parent), open_(std::move(open))
{
    setObjectName(QStringLiteral("RecordsPage"));
    setWindowTitle(tr("记录"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/records.svg")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    model_ = new RecordsModel(this);
    BuildForm();
    place_->setText(tr("存放位置：%1").arg(place.empty() || place == "off" ? tr("无（记录已关闭）")
                                                                       : QString::fromStdString(records::Shown(place))));
    pause_.setSingleShot(true);
    pause_.setInterval(kPauseMs);
    connect(&pause_, &QTimer::timeout, this, &RecordsPage::Refresh);
    slow_.setSingleShot(true);
    slow_.setInterval(kPatienceMs);
    connect(&slow_, &QTimer::timeout, this,
            [this] { SayInstead(answered_ ? tr("正在读取记录…") : tr("正在连接记录存放处…")); });
    connect(model_, &RecordsModel::needMore, this, &RecordsPage::FetchMore);
    resize(1180, 560);
}

// The table goes after this page's own fields: what it says while it goes
// must not reach them.
RecordsPage::~RecordsPage()
{
    table_->horizontalHeader()->disconnect(this);
    table_->viewport()->removeEventFilter(this);
}

void RecordsPage::BuildForm()
{
    filterEdit_ = ui::Named(new QLineEdit(this), "recordsFilter");
    filterEdit_->setPlaceholderText(tr("本机ID、标签、端口、操作、结果或详情"));
    filterEdit_->setClearButtonEnabled(true);
    auto* filterLabel = ui::Label(tr("筛选"), this);
    filterLabel->setBuddy(filterEdit_);
    connect(filterEdit_, &QLineEdit::textChanged, this, [this] { pause_.start(); });
    yieldButton_ = ui::Button(this, tr("产量"), "recordsYieldButton", 0,
                              tr("在表上方显示表中测试的单位数、合格率、每天的测试和失败最多的测量项"));
    yieldButton_->setCheckable(true);
    connect(yieldButton_, &QPushButton::toggled, this, &RecordsPage::OnYieldToggled);
    auto* refresh = ui::Button(this, tr("刷新"), "recordsRefresh", 0, tr("重新读取记录 (F5)"));
    connect(refresh, &QPushButton::clicked, this, &RecordsPage::Refresh);
    auto* refreshKey = new QShortcut(QKeySequence::Refresh, this);
    connect(refreshKey, &QShortcut::activated, this, &RecordsPage::Refresh);
    exportButton_ = ui::Button(this, tr("导出…"), "recordsExport", 0,
                               tr("把符合筛选的全部记录存为 CSV 文件，与 dtuctl records --csv 相同"));
    connect(exportButton_, &QPushButton::clicked, this, &RecordsPage::OnExport);
    place_ = ui::Named(ui::Label(this), "recordsPlaceText");
    place_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    placeButton_ = ui::Button(this, tr("位置…"), "recordsPlace", 0, tr("选择记录存放的 SQLite 文件或 PostgreSQL 数据库"));
    connect(placeButton_, &QPushButton::clicked, this, &RecordsPage::OnPlace);
    // The environment decides over the remembered place; with remembering
    // off there is nothing to change.
    if (!qEnvironmentVariableIsEmpty("DTUTOOL_RECORDS") || !ui::Remembered()) {
        placeButton_->setEnabled(false);
        placeButton_->setToolTip(tr("位置由环境变量 DTUTOOL_RECORDS 指定"));
    }
    auto* where = new QHBoxLayout;
    where->addWidget(place_, 1);
    where->addWidget(placeButton_);
    auto* line = new QHBoxLayout;
    line->addWidget(filterLabel);
    line->addWidget(filterEdit_, 1);
    line->addWidget(yieldButton_);
    line->addWidget(refresh);
    line->addWidget(exportButton_);

    // Above the table, and before it for the keyboard.
    yield_ = ui::Named(new YieldView(this), "recordsYield");
    yield_->hide();
    table_ = ui::Named(new QTableView(this), "recordsTable");
    // Sorts the rows fetched; those fetched later take their places.
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(RecordsModel::kSortRole);
    sorted_->setSortCaseSensitivity(Qt::CaseInsensitive);
    sorted_->setSortLocaleAware(true);
    table_->setModel(sorted_);
    table_->setItemDelegate(new ui::CutTextTips(table_));
    table_->horizontalHeader()->setSortIndicator(RecordsModel::Started, Qt::DescendingOrder);
    table_->setSortingEnabled(true);
    connect(table_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, &RecordsPage::UpdateSummary);
    connect(table_->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        // The last column takes what the others leave.
        if (!fitting_ && column != RecordsModel::kColumns - 1)
            widthsChosen_ = true;
    });
    table_->viewport()->installEventFilter(this);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    // One line of text a row: more records on screen.
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setAccessibleName(tr("记录"));
    table_->setAccessibleDescription(
        tr("每行一次作业，最新的在前：开始和结束时间、本机ID（测试的还有标签）、操作、结果和详情"));
    message_ = ui::Named(ui::Label(this), "recordsMessage");
    message_->setAlignment(Qt::AlignCenter);
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    message_->setFocusPolicy(Qt::StrongFocus);
    split_ = new QSplitter(Qt::Vertical, this);
    split_->setChildrenCollapsible(false);
    split_->addWidget(yield_);
    split_->addWidget(table_);
    split_->setStretchFactor(1, 1);
    stack_ = new QStackedWidget(this);
    stack_->addWidget(split_);
    stack_->addWidget(message_);

    summary_ = ui::Named(ui::Label(this), "recordsSummary");
    summary_->setAccessibleDescription(tr("表中记录的数目"));
    connect(model_, &QAbstractItemModel::rowsInserted, this, &RecordsPage::UpdateSummary);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(where);
    layout->addLayout(line);
    layout->addWidget(stack_, 1);
    layout->addWidget(summary_);
}

records::Filter RecordsPage::CurrentFilter() const
{
    records::Filter filter;
    filter.text = RecordsModel::Stored(filterEdit_->text().trimmed());
    return filter;
}

// In place of the table; 刷新 and F5 stay, to try again.
void RecordsPage::SayInstead(const QString& text)
{
    message_->setText(text);
    stack_->setCurrentWidget(message_);
    summary_->clear();
    exportButton_->setEnabled(false);
    filterEdit_->setEnabled(opening_ != nullptr);
}

void RecordsPage::Refresh()
{
    pause_.stop();
    const std::uint64_t generation = ++generation_;
    // An open that ended without a store is asked for again: the server
    // may be back, the file's folder made, the place changed.
    if (!opening_)
        opening_ = open_();
    refreshing_ = true;
    slow_.start();
    const records::Filter filter = CurrentFilter();
    ui::AskStore<FirstPage>(
        *opening_, this,
        [filter, outbox = records::OutboxPath()](const std::shared_ptr<records::Store>& store,
                                                 const std::string& openError) {
            FirstPage first;
            first.openError = openError;
            first.off = openError.empty() && !store;
            if (!store)
                return first;
            // Ends that could not reach the store wait on this station:
            // given to it now that it answers, and those still waiting said.
            first.waiting = records::Outbox(outbox).Deliver(*store);
            records::Filter page = filter;
            page.limit = RecordsModel::kPage;
            if (auto rows = store->Query(page, first.error))
                first.rows = std::move(*rows);
            return first;
        },
        [this, generation, filter](FirstPage first) {
            if (generation != generation_)
                return;
            refreshing_ = false;
            slow_.stop();
            answered_ = first.openError.empty() && !first.off && first.error.empty();
            if (!first.openError.empty()) {
                opening_.reset();
                SayInstead(tr("无法打开记录：\n%1").arg(ui::Words(first.openError)));
                return;
            }
            if (first.off) {
                opening_.reset();
                SayInstead(tr("记录已关闭：作业不留记录，这里没有可显示的。"));
                return;
            }
            if (!first.error.empty()) {
                SayInstead(tr("无法读取记录：\n%1").arg(ui::Words(first.error)));
                return;
            }
            waiting_ = first.waiting;
            const bool more = first.rows.size() == RecordsModel::kPage;
            model_->Reset(filter, std::move(first.rows), more);
            message_->clear();
            stack_->setCurrentWidget(split_);
            filterEdit_->setEnabled(true);
            exportButton_->setEnabled(!exporting_);
            FitColumns();
            UpdateSummary();
        });
    AskYield();
}

void RecordsPage::AskYield()
{
    if (!yieldButton_->isChecked() || !opening_)
        return;
    const std::uint64_t generation = ++yieldGeneration_;
    yieldAsked_ = true;
    // By hour: the view counts by the PC's local days, the store by UTC.
    ui::AskStore<Tally>(
        *opening_, this,
        [filter = CurrentFilter()](const std::shared_ptr<records::Store>& store, const std::string& openError) {
            Tally tally;
            tally.error = store ? std::string() : openError.empty() ? std::string("records are off") : openError;
            if (store)
                tally.summary = store->Summarize(filter, records::By::Hour, tally.error);
            return tally;
        },
        [this, generation, typed = filterEdit_->text().trimmed()](Tally tally) {
            if (generation != yieldGeneration_)
                return;
            yieldAsked_ = false;
            if (tally.summary)
                yield_->Show(*tally.summary, typed);
            else
                yield_->SayInstead(tr("无法读取产量：%1").arg(ui::Words(tally.error)));
        });
}

void RecordsPage::OnYieldToggled(bool shown)
{
    yield_->setVisible(shown);
    if (!shown) {
        // An answer on its way is of no use now.
        ++yieldGeneration_;
        yieldAsked_ = false;
        return;
    }
    // The table's height shared: the charts get what they need to read.
    if (const int room = split_->height(); room > 0)
        split_->setSizes({room / 2, room - room / 2});
    // The refresh that waits for the typing to pause asks for it too; a
    // store that failed is tried again.
    if (pause_.isActive())
        return;
    if (answered_ || refreshing_)
        AskYield();
    else
        Refresh();
}

void RecordsPage::FetchMore()
{
    if (!opening_ || !answered_)
        return model_->Append(std::nullopt);
    const std::uint64_t generation = generation_;
    ui::AskStore<std::pair<std::optional<std::vector<records::Record>>, std::string>>(
        *opening_, this,
        [filter = model_->Next()](const std::shared_ptr<records::Store>& store, const std::string&) {
            std::string error = "records are off";
            auto rows = store ? store->Query(filter, error) : std::nullopt;
            return std::make_pair(std::move(rows), error);
        },
        [this, generation](std::pair<std::optional<std::vector<records::Record>>, std::string> page) {
            if (generation != generation_)
                return;
            if (!page.first)
                summary_->setText(tr("读取更多记录失败：%1").arg(ui::Words(page.second)));
            model_->Append(std::move(page.first));
        });
}

void RecordsPage::FitColumns()
{
    // Until the user sets a width: theirs stay.
    if (widthsChosen_ || fitting_ || model_->rowCount() == 0)
        return;
    QHeaderView* header = table_->horizontalHeader();
    std::vector<int> wanted, least;
    for (int c = 0; c < RecordsModel::kColumns; ++c) {
        least.push_back(header->sectionSizeHint(c));
        // The rows on screen; public on the base class.
        wanted.push_back(std::max(least.back(), static_cast<const QAbstractItemView*>(table_)->sizeHintForColumn(c)));
    }
    const std::vector<int> widths = Shared(wanted, least, table_->viewport()->width());
    fitting_ = true;
    for (int c = 0; c < RecordsModel::kColumns; ++c)
        header->resizeSection(c, widths[std::size_t(c)]);
    fitting_ = false;
}

bool RecordsPage::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == table_->viewport() && e->type() == QEvent::Resize)
        FitColumns();
    return QDialog::eventFilter(watched, e);
}

void RecordsPage::UpdateSummary()
{
    // What waits on the station is said after what the table holds.
    const auto Show = [this](const QString& text) {
        summary_->setText(waiting_ == 0 ? text : text + tr("；另有 %1 条记录的结果在本机等待送达").arg(waiting_));
    };
    if (stack_->currentWidget() != split_)
        return;
    const int rows = model_->rowCount();
    const QString text = filterEdit_->text().trimmed();
    const QHeaderView* header = table_->horizontalHeader();
    const int by = header->sortIndicatorSection();
    const bool newestFirst = by == RecordsModel::Started && header->sortIndicatorOrder() == Qt::DescendingOrder;
    if (model_->more() && !newestFirst)
        Show(tr("已显示最新的 %1 条记录，按“%2”排列，向下滚动显示更多")
                              .arg(rows)
                              .arg(model_->headerData(by, Qt::Horizontal, Qt::DisplayRole).toString()));
    else if (model_->more())
        Show(tr("已显示最新的 %1 条记录，向下滚动显示更多").arg(rows));
    else if (rows == 0)
        Show(text.isEmpty() ? tr("没有记录") : tr("没有符合“%1”的记录").arg(text));
    else
        Show(text.isEmpty() ? tr("共 %1 条记录").arg(rows)
                                         : tr("共 %1 条记录符合“%2”").arg(rows).arg(text));
}

QString RecordsPage::summaryText() const
{
    return summary_->text();
}

bool RecordsPage::busy() const
{
    return pause_.isActive() || refreshing_ || model_->fetching() || exporting_ || yieldAsked_;
}

QString RecordsPage::messageText() const
{
    return stack_->currentWidget() == message_ ? message_->text() : QString();
}

void RecordsPage::showEvent(QShowEvent* e)
{
    // Shown again after a close: what the jobs have written since.
    if (!e->spontaneous())
        Refresh();
    QDialog::showEvent(e);
}

void RecordsPage::OnPlace()
{
    const auto settings = ui::Remembered();
    if (!settings)
        return;
    const QString key = QStringLiteral("records/place");
    bool ok = false;
    const QString place = QInputDialog::getText(
        this, tr("记录存放位置"),
        tr("SQLite 文件的路径、off（不记录），或 postgresql://用户@主机/数据库。\n"
           "留空为默认文件 ~/.local/share/dtutool/records.sqlite。密码请放在 ~/.pgpass。"),
        QLineEdit::Normal, settings->value(key).toString(), &ok);
    if (!ok)
        return;
    settings->setValue(key, place.trimmed());
    emit placeChanged();
}

void RecordsPage::OnExport()
{
    if (!opening_ || !answered_ || exporting_)
        return;
    const QString path = ui::GetSaveFileName(this, tr("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    exporting_ = true;
    exportButton_->setEnabled(false);
    summary_->setText(tr("正在导出到 %1…").arg(path));
    ui::AskStore<Exported>(
        *opening_, this,
        [filter = CurrentFilter(), path](const std::shared_ptr<records::Store>& store, const std::string& openError) {
            if (!store)
                return Exported{0, ui::Words(openError)};
            return Export(*store, filter, path);
        },
        [this, path](Exported done) {
            exporting_ = false;
            exportButton_->setEnabled(answered_ && stack_->currentWidget() == split_);
            if (!done.failure.isEmpty()) {
                UpdateSummary();
                ui::ShowMessage(this, windowTitle(), tr("记录没有导出：%1").arg(done.failure), ui::Buttons::Ok,
                                QMessageBox::Warning);
                return;
            }
            summary_->setText(tr("已把 %1 条记录导出到 %2").arg(done.written).arg(path));
        });
}
