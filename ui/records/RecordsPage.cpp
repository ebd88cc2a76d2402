#include "ui/records/RecordsPage.h"

#include "core/records/Record.h"
#include "core/records/Place.h"
#include "driver/records/Store.h"
#include "ui/common/FileDialog.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Settings.h"
#include "ui/common/Widgets.h"
#include "ui/records/RecordsModel.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QSaveFile>
#include <QShortcut>
#include <QShowEvent>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// An export holds this many records in memory at a time, whatever the store holds.
constexpr std::size_t kExportPage = 5000;

// Free text: wide enough for most, the rest in the cell's tool tip or on resize.
constexpr int kWidestFitted = 240;

}  // namespace

RecordsPage::RecordsPage(std::shared_ptr<records::Store> store, const QString& error, const std::string& place,
                         QWidget* parent)
    : QDialog(parent), store_(std::move(store))
{
    setObjectName(QStringLiteral("RecordsPage"));
    setWindowTitle(tr("记录"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/records.svg")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    if (store_)
        model_ = new RecordsModel(store_, this);
    BuildForm();
    place_->setText(tr("存放位置：%1").arg(place.empty() || place == "off" ? tr("无（记录已关闭）")
                                                                       : QString::fromStdString(records::Shown(place))));
    pause_.setSingleShot(true);
    pause_.setInterval(kPauseMs);
    connect(&pause_, &QTimer::timeout, this, &RecordsPage::Refresh);
    if (!store_)
        SayInstead(error.isEmpty() ? tr("记录已关闭：作业不留记录，这里没有可显示的。")
                                   : tr("无法打开记录：\n%1").arg(error));
    resize(1180, 560);
}

void RecordsPage::BuildForm()
{
    filterEdit_ = ui::Named(new QLineEdit(this), "recordsFilter");
    filterEdit_->setPlaceholderText(tr("本机ID、端口、操作、结果或详情"));
    filterEdit_->setClearButtonEnabled(true);
    auto* filterLabel = ui::Label(tr("筛选"), this);
    filterLabel->setBuddy(filterEdit_);
    connect(filterEdit_, &QLineEdit::textChanged, this, [this] { pause_.start(); });
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
    line->addWidget(refresh);
    line->addWidget(exportButton_);

    table_ = ui::Named(new QTableView(this), "recordsTable");
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    // One line of text a row: more records on screen.
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setAccessibleName(tr("记录"));
    table_->setAccessibleDescription(
        tr("每行一次作业，最新的在前：开始和结束时间、本机ID、操作、结果和详情"));
    message_ = ui::Named(ui::Label(this), "recordsMessage");
    message_->setAlignment(Qt::AlignCenter);
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    message_->setFocusPolicy(Qt::StrongFocus);
    stack_ = new QStackedWidget(this);
    stack_->addWidget(table_);
    stack_->addWidget(message_);

    summary_ = ui::Named(ui::Label(this), "recordsSummary");
    summary_->setAccessibleDescription(tr("表中记录的数目"));
    if (model_) {
        connect(model_, &QAbstractItemModel::rowsInserted, this, &RecordsPage::UpdateSummary);
        connect(model_, &RecordsModel::fetchFailed, this,
                [this](const QString& error) { summary_->setText(tr("读取更多记录失败：%1").arg(error)); });
    }

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

void RecordsPage::SayInstead(const QString& text)
{
    message_->setText(text);
    stack_->setCurrentWidget(message_);
    summary_->clear();
    exportButton_->setEnabled(false);
    if (!store_) {
        filterEdit_->setEnabled(false);
        for (auto* button : findChildren<QPushButton*>())
            button->setEnabled(button == placeButton_ && button->isEnabled());
    }
}

void RecordsPage::Refresh()
{
    pause_.stop();
    if (!model_)
        return;
    QString error;
    if (!model_->Reset(CurrentFilter(), error)) {
        SayInstead(tr("无法读取记录：\n%1").arg(error));
        return;
    }
    message_->clear();
    stack_->setCurrentWidget(table_);
    exportButton_->setEnabled(true);
    FitColumns();
    UpdateSummary();
}

void RecordsPage::FitColumns()
{
    // Once, on the first page: later the user's widths stay.
    if (fitted_ || model_->rowCount() == 0)
        return;
    fitted_ = true;
    table_->resizeColumnsToContents();
    for (int c = 0; c < RecordsModel::Detail; ++c)
        table_->setColumnWidth(c, std::min(table_->columnWidth(c), kWidestFitted));
}

void RecordsPage::UpdateSummary()
{
    const int rows = model_->rowCount();
    const QString text = filterEdit_->text().trimmed();
    if (model_->more())
        summary_->setText(tr("已显示最新的 %1 条记录，向下滚动显示更多").arg(rows));
    else if (rows == 0)
        summary_->setText(text.isEmpty() ? tr("没有记录") : tr("没有符合“%1”的记录").arg(text));
    else
        summary_->setText(text.isEmpty() ? tr("共 %1 条记录").arg(rows)
                                         : tr("共 %1 条记录符合“%2”").arg(rows).arg(text));
}

QString RecordsPage::summaryText() const
{
    return summary_->text();
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
    if (!store_)
        return;
    const QString path = ui::GetSaveFileName(this, tr("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QSaveFile file(path);
    QString failure;
    std::size_t written = 0;
    const auto put = [&file](std::string line) {
        line += '\n';
        return file.write(line.data(), qint64(line.size())) == qint64(line.size());
    };
    bool ok = file.open(QIODevice::WriteOnly) && put(records::CsvHeader());
    records::Filter page = CurrentFilter();
    page.limit = kExportPage;
    for (bool more = ok; more;) {
        std::string error;
        const auto found = store_->Query(page, error);
        if (!found) {
            failure = QString::fromStdString(error);
            break;
        }
        for (const records::Record& r : *found)
            ok = ok && put(records::CsvLine(r));
        written += found->size();
        more = ok && found->size() == kExportPage;
        if (more) {
            page.belowStarted = found->back().started;
            page.belowId = found->back().id;
        }
    }
    if (failure.isEmpty() && !(ok && file.commit()))
        failure = file.errorString();
    QApplication::restoreOverrideCursor();
    if (!failure.isEmpty()) {
        ui::ShowMessage(this, windowTitle(), tr("记录没有导出：%1").arg(failure), ui::Buttons::Ok,
                        QMessageBox::Warning);
        return;
    }
    summary_->setText(tr("已把 %1 条记录导出到 %2").arg(written).arg(path));
}
