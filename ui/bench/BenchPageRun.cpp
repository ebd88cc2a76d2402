// The bench's jobs: started as one batch on the checked rows, their
// progress shown as it comes, their outcomes worded.
#include "ui/bench/BenchPage.h"
#include "ui/bench/BenchPageInternal.h"

#include "core/dtu/Responses.h"
#include "driver/host/Identity.h"
#include "driver/serial/BufferedPort.h"
#include "driver/serial/PortHolder.h"
#include "driver/serial/PortInfo.h"
#include "jobs/port/Messages.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Records.h"
#include "ui/common/Words.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

#include <algorithm>
#include <chrono>

using ui::bench_internal::IsUrl;
using ui::bench_internal::Q;

QString BenchPage::Busy(const BenchRow& row) const
{
    if (g_Serial.IsOpen()) {
        const std::string open = g_Serial.PortPath(), port = row.port.toStdString();
        if (open == port || (!IsUrl(row.port) && serial::ResolveDevice(open) == serial::ResolveDevice(port)))
            return tr("未操作：主窗口正在使用这个端口");
    }
    if (!IsUrl(row.port))
        if (const auto holder = serial::FindHolder(row.port.toStdString()))
            return tr("未操作：端口被 %1 占用").arg(holder->program.empty() ? tr("另一程序") : Q(holder->program));
    return {};
}

bool BenchPage::Start(const jobs::Work& work, const QString& action)
{
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < model_->rows().size(); ++i)
        if (model_->rows()[i].checked && !model_->rows()[i].running)
            rows.push_back(i);
    if (rows.empty()) {
        ui::ShowMessage(this, windowTitle(), tr("没有勾选的端口：请先勾选要操作的端口。"));
        return false;
    }
    // A batch that cannot be recorded does not start. A store still being
    // opened (a server) is waited for by the jobs, never by the window.
    const std::shared_ptr<jobs::OpeningStore> opening = ui::WindowRecords();
    std::string error;
    const bool refused = opening->Done(std::chrono::milliseconds(300)) && !opening->Wait(error);
    const std::optional<records::Record> basis =
        refused ? std::nullopt
                : jobs::RunBasis(ui::ProgramName(),
                                 work.action == jobs::Action::Write ? profilePath_.toStdString()
                                 : work.test && work.test->finalProfile
                                     ? (QFileInfo(planPath_).dir().filePath(Q(work.test->plan.finalProfile)))
                                           .toStdString()
                                     : std::string(),
                                 work.image ? work.image : work.test && work.test->image ? &*work.test->image : nullptr,
                                 error);
    if (!basis) {
        ui::ShowMessage(this, windowTitle(), tr("不能记录，没有操作任何 DTU：%1").arg(ui::Words(error)), ui::Buttons::Ok,
                        QMessageBox::Warning);
        return false;
    }
    records::Record named = *basis;
    if (const QString who = operatorEdit_->text().trimmed(); !who.isEmpty())
        named.operatorName = who.toStdString();
    lastRows_.clear();
    std::vector<std::size_t> working;
    for (const std::size_t i : rows) {
        BenchRow& row = model_->row(i);
        row.action = action;
        row.result.clear();
        row.detail.clear();
        row.verdict = BenchRow::Verdict::None;
        row.report = {};
        row.outcome.reset();
        row.percent = -1;
        row.progress.clear();
        row.startedMs = host::WallMs();
        row.endedMs = 0;
        row.skipped = false;
        row.steps.clear();
        row.record = named;
        row.record.label = row.label.toStdString();
        row.record.port = row.port.toStdString();
        row.record.action = jobs::ActionName(work.action);
        row.record.started = records::IsoTime(row.startedMs);
        lastRows_.push_back(i);
        if (const QString busy = Busy(row); !busy.isEmpty()) {
            row.state = tr("已跳过");
            row.result = busy;
            row.skipped = true;
            row.startedMs = 0;
            model_->Changed(i);
            continue;
        }
        row.running = true;
        row.state = tr("等待");
        row.percent = 0;
        row.progress = QStringLiteral("0%");
        model_->Changed(i);
        working.push_back(i);
    }
    if (!working.empty()) {
        std::vector<std::string> ports, labels;
        for (const std::size_t i : working) {
            ports.push_back(model_->rows()[i].port.toStdString());
            labels.push_back(model_->rows()[i].label.toStdString());
        }
        // The jobs hold what they work with: the page joins them before it
        // goes, but the next start replaces its profile, image and test.
        jobs_ = std::make_unique<jobs::Batch>(
            ports.size(), [ports, labels, line = ChosenLine(), work, profile = profile_, image = image_, test = test_,
                           station = station_, opening,
                           basis = named](std::size_t index, auto stop, const jobs::JobReport& report) {
                jobs::Work unit = work;
                unit.index = index;
                unit.label = labels[index];
                return jobs::RunJob(ports[index], line, unit, *opening, basis, std::move(stop), report);
            });
        jobRows_ = std::move(working);
        poll_.start();
    }
    model_->Tick(host::WallMs());
    summary_->setText(summaryText());
    UpdateButtons();
    return true;
}

void BenchPage::Poll()
{
    if (jobs_) {
        for (const jobs::Batch::Update& u : jobs_->Collect()) {
            if (u.progress)
                Show(jobRows_[u.index], *u.progress);
            if (u.outcome)
                Finish(jobRows_[u.index], *u.outcome);
        }
        if (!jobs_->Running()) {
            jobs_.reset();
            // The test server lives for its batch; the server page sees it end.
            if (station_)
                station_->Stop();
            station_.reset();
        }
    }
    model_->Tick(host::WallMs());
    if (!jobs_) {
        poll_.stop();
        UpdateButtons();
    }
    summary_->setText(summaryText());
}

void BenchPage::Show(std::size_t i, const jobs::Progress& p)
{
    BenchRow& row = model_->row(i);
    const QString what = Q(p.waitingFor);
    switch (p.step) {
    case jobs::Progress::Step::Opening: row.state = tr("打开端口"); break;
    case jobs::Progress::Step::Identifying: row.state = tr("读取 %1").arg(what); break;
    case jobs::Progress::Step::Writing: row.state = tr("写入 %1").arg(what); break;
    case jobs::Progress::Step::Verifying: row.state = tr("核对 %1").arg(what); break;
    case jobs::Progress::Step::Upgrading: row.state = tr("升级"); break;
    case jobs::Progress::Step::Testing: row.state = tr("测试 %1").arg(ui::MeasurementWord(p.waitingFor)); break;
    }
    row.percent = p.percent;
    row.progress = QStringLiteral("%1%").arg(p.percent);
    if (p.totalBlocks > 0)
        row.progress += QStringLiteral(" %1/%2").arg(p.blocks).arg(p.totalBlocks);
    model_->Changed(i);
}

void BenchPage::Finish(std::size_t i, const jobs::Outcome& o)
{
    using Result = jobs::Outcome::Result;
    BenchRow& row = model_->row(i);
    row.running = false;
    row.endedMs = std::max<qint64>(host::WallMs(), row.startedMs);
    if (!o.ownId.empty() || !o.version.empty()) {
        row.ownId = Q(o.ownId);
        row.version = Q(o.version);
        // A column of figures reads at a glance; what has none is shown as said.
        const std::optional<int> strength = dtu::SignalStrength(o.signal);
        row.signal = strength ? QString::number(*strength) : Q(o.signal).trimmed();
    }
    row.report = o.report;
    row.detail = ui::Words(o.detail);
    row.outcome = o.result;
    const bool write = row.action == QStringLiteral("write");
    switch (o.result) {
    case Result::Ok:
        row.result = write ? tr("一致") : tr("成功");
        row.verdict = BenchRow::Verdict::Good;
        row.percent = 100;
        row.progress = o.blocks > 0 ? QStringLiteral("100% %1/%1").arg(o.blocks) : QStringLiteral("100%");
        row.state = tr("完成");
        break;
    case Result::Differs:
        row.result = tr("%1 项不一致").arg(o.differing);
        row.verdict = BenchRow::Verdict::Bad;
        row.percent = 100;
        row.progress = QStringLiteral("100%");
        row.state = tr("完成");
        break;
    case Result::Stopped:
        row.result = tr("已停止");
        if (o.totalBlocks > 0)
            row.result += tr("（已确认 %1/%2 块）").arg(o.blocks).arg(o.totalBlocks);
        row.verdict = BenchRow::Verdict::None;
        row.state = tr("已停止");
        break;
    case Result::Failed:
    case Result::Error:
        row.result = tr("失败：%1").arg(FailureWords(o));
        row.verdict = BenchRow::Verdict::Bad;
        row.state = tr("失败");
        break;
    }
    if (row.action == QStringLiteral("test"))
        FinishTest(row, o);
    // What happened to the unit comes first; a record that did not reach
    // the store is said after it, and only one kept nowhere marks the row.
    if (o.recordKept == jobs::Kept::Waiting) {
        row.result += tr("；记录待送达");
        row.detail = ui::RecordEndWords(o.recordKept, o.recordError);
    } else if (o.recordKept == jobs::Kept::Lost && !o.recordError.empty() && o.result != Result::Failed) {
        row.result += tr("；记录未完成");
        row.detail = ui::RecordEndWords(o.recordKept, o.recordError);
        row.verdict = BenchRow::Verdict::Bad;
    }
    // The record as kept, or, with records off, the same facts.
    records::Record& r = row.record;
    if (o.record.id != 0) {
        r = o.record;
        model_->Changed(i);
        return;
    }
    r.unitId = o.ownId;
    r.version = o.version;
    r.ended = records::IsoTime(row.endedMs);
    r.result = jobs::ResultName(o.result);
    r.detail = o.detail;
    model_->Changed(i);
}

QString BenchPage::FailureWords(const jobs::Outcome& o) const
{
    using jobs::Cause;
    QString words;
    switch (o.cause) {
    case Cause::NoAnswer:
        words = o.request.empty() || o.request == jobs::msg::kImageBlock ? tr("DTU 无应答") : tr("%1 无应答").arg(Q(o.request));
        break;
    case Cause::PortGone: words = tr("端口断开"); break;
    case Cause::ServerClosed: words = tr("服务器关闭了连接"); break;
    case Cause::Refused: words = tr("DTU 拒绝了固件（DCK）"); break;
    case Cause::OpenFailed:
    case Cause::Other: return ui::Words(o.detail);
    }
    if (o.totalBlocks > 0)
        words += tr("（已确认 %1/%2 块）").arg(o.blocks).arg(o.totalBlocks);
    return words;
}

QString BenchPage::summaryText() const
{
    if (lastRows_.empty())
        return {};
    int done = 0, failed = 0, stopped = 0, skipped = 0;
    for (const std::size_t i : lastRows_) {
        const BenchRow& r = model_->rows()[i];
        if (r.running)
            continue;
        skipped += r.skipped;
        if (r.skipped || !r.outcome)
            continue;
        switch (*r.outcome) {
        case jobs::Outcome::Result::Ok:
        case jobs::Outcome::Result::Differs: ++done; break;
        case jobs::Outcome::Result::Failed:
        case jobs::Outcome::Result::Error: ++failed; break;
        case jobs::Outcome::Result::Stopped: ++stopped; break;
        }
    }
    // Every row that ran is counted; a count of none is not said.
    const bool test = model_->rows()[lastRows_.front()].action == QStringLiteral("test");
    QString text = test ? tr("通过 %1/%2").arg(done).arg(lastRows_.size()) : tr("完成 %1/%2").arg(done).arg(lastRows_.size());
    if (failed > 0)
        text += tr("，失败 %1").arg(failed);
    if (stopped > 0)
        text += tr("，已停止 %1").arg(stopped);
    if (skipped > 0)
        text += tr("，跳过 %1").arg(skipped);
    return text;
}

