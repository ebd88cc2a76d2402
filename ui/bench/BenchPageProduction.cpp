// The bench's production test: a plan chosen, the test server started for
// the batch and stopped after it, each row's verdict and measurements, and
// the labels an operator scans into the table.
#include "ui/bench/BenchPage.h"
#include "ui/bench/BenchPageInternal.h"

#include "core/records/Place.h"
#include "ui/common/FileDialog.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Records.h"
#include "ui/common/Widgets.h"
#include "ui/common/Words.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <chrono>
#include <random>

using ui::bench_internal::Q;

void BenchPage::OnTest()
{
    const QString path =
        ui::GetOpenFileName(this, tr("测试方案 (*.toml);;所有文件 (*)"), QStringLiteral("folders/plan"));
    if (path.isEmpty())
        return;
    std::vector<std::string> errors;
    std::optional<jobs::TestRun> run = jobs::LoadTestRun(path.toStdString(), errors);
    if (!run) {
        QStringList said;
        for (const std::string& e : errors)
            said << ui::Words(e);
        ui::ShowMessage(this, windowTitle(), tr("测试方案有错误，没有测试任何 DTU：\n%1").arg(said.join(u'\n')),
                        ui::Buttons::Ok, QMessageBox::Warning);
        return;
    }
    // Own IDs are handed out by the store: with records off there is none.
    if (run->plan.ownIds && records::ParsePlace(ui::RecordsPlace()).kind == records::Place::Kind::Off) {
        ui::ShowMessage(this, windowTitle(),
                        tr("测试方案按范围分配本机ID，这要由记录存放处分配，而记录已关闭。没有测试任何 DTU。"),
                        ui::Buttons::Ok, QMessageBox::Warning);
        return;
    }
    // A label left from the unit tested before on that port would name the
    // new unit wrongly in its record: said before anything starts.
    QStringList stale;
    for (const BenchRow& r : model_->rows())
        if (r.checked && !r.running && !r.label.isEmpty() && r.action == QStringLiteral("test") &&
            r.record.label == r.label.toStdString())
            stale << QStringLiteral("%1  %2").arg(r.shown, r.label);
    if (!stale.isEmpty() &&
        ui::AskChoice(this, windowTitle(),
                      tr("这些端口的标签与上次测试的相同，换上的新 DTU 需要扫描新标签：\n%1\n\n同一台 DTU 重测时才保留。")
                          .arg(stale.join(u'\n')),
                      {tr("取消"), tr("同一台 DTU，重测")}) != 1)
        return;
    auto station = std::make_shared<jobs::Station>([page = QPointer<BenchPage>(this)](const server::News& news) {
        ui::OnWindowThread([page, news] {
            if (page)
                emit page->testServerNews(news);
        });
    });
    if (const std::string error = station->Start(run->plan.server.listenHost, run->plan.server.listenPort);
        !error.empty()) {
        ui::ShowMessage(this, windowTitle(),
                        tr("测试服务器无法在 %1:%2 监听：%3。没有测试任何 DTU。")
                            .arg(Q(run->plan.server.listenHost))
                            .arg(run->plan.server.listenPort)
                            .arg(ui::Words(error)),
                        ui::Buttons::Ok, QMessageBox::Warning);
        return;
    }
    run->station = station.get();
    run->seed = (std::uint64_t(std::random_device{}()) << 32) ^ std::random_device{}() ^
                std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    test_ = std::make_shared<jobs::TestRun>(std::move(*run));
    station_ = std::move(station);
    planPath_ = path;
    jobs::Work work;
    work.action = jobs::Action::Test;
    work.test = test_.get();
    // Every row skipped, or none checked: no batch holds the server.
    if (!Start(work, QStringLiteral("test")) || !jobs_)
        station_.reset();
}

void BenchPage::FinishTest(BenchRow& row, const jobs::Outcome& o)
{
    using Result = jobs::Outcome::Result;
    row.steps = o.steps;
    switch (o.result) {
    case Result::Ok:
        row.result = tr("通过");
        row.state = tr("完成");
        break;
    case Result::Failed:
    case Result::Differs:
        row.result = tr("失败：%1").arg(ui::Words(o.detail));
        row.state = tr("完成");
        break;
    case Result::Error:
    case Result::Stopped:
        // Worded as any job's: the unit, not a measurement.
        return;
    }
}

void BenchPage::NextLabel(QWidget*, QAbstractItemDelegate::EndEditHint hint)
{
    // Enter (a scanner's end of line) submits; Tab moves on by itself, and
    // leaving the cell by a click or focus moves nowhere.
    const QModelIndex current = table_->currentIndex();
    if (hint != QAbstractItemDelegate::SubmitModelCache || current.column() != BenchModel::Label)
        return;
    const QModelIndex next = sorted_->index(current.row() + 1, BenchModel::Label);
    if (!next.isValid())
        return;
    table_->setCurrentIndex(next);
    table_->edit(next);
}

void BenchPage::ShowMeasurements(const BenchRow& row)
{
    auto* dialog = new QDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setObjectName(QStringLiteral("benchMeasurements"));
    dialog->setWindowTitle(tr("测试结果：%1").arg(row.port));
    auto* table = ui::Named(new QTableWidget(int(row.steps.size()), 6, dialog), "measurementsTable");
    table->setHorizontalHeaderLabels({tr("测量"), tr("值"), tr("单位"), tr("下限"), tr("上限"), tr("结果")});
    table->setAccessibleName(tr("测量"));
    table->setAccessibleDescription(tr("测试的每一步：测得的值、它的限值和是否通过"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    const auto number = [](const std::optional<double>& v) { return v ? QString::number(*v) : QString(); };
    for (int i = 0; i < int(row.steps.size()); ++i) {
        const production::Step& s = row.steps[std::size_t(i)];
        const QString limit = Q(s.m.expected);
        const QString cells[] = {ui::MeasurementWord(s.m.name),
                                 Q(s.m.value),
                                 Q(s.m.unit),
                                 limit.isEmpty() ? number(s.m.low) : limit,
                                 limit.isEmpty() ? number(s.m.high) : QString(),
                                 s.m.passed ? tr("通过") : tr("失败：%1").arg(ui::Words(s.failure))};
        for (int c = 0; c < 6; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setToolTip(cells[c]);
            if (c == 5)
                item->setForeground(s.m.passed ? ui::GoodColour(palette()) : ui::AlarmColour(palette()));
            table->setItem(i, c, item);
        }
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    connect(close, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    auto* what = ui::Named(ui::Label(dialog), "measurementsUnit");
    what->setText(tr("本机ID %1  标签 %2  %3").arg(row.ownId, row.label.isEmpty() ? tr("无") : row.label, row.result));
    layout->addWidget(what);
    layout->addWidget(table, 1);
    layout->addWidget(close);
    dialog->resize(720, 360);
    dialog->show();
}
