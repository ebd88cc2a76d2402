#include "ui/bench/BenchPage.h"

#include "core/dtu/Lists.h"
#include "core/monitor/LineLog.h"
#include "core/net/PortUrl.h"
#include "driver/host/ProfileFile.h"
#include "driver/serial/BufferedPort.h"
#include "driver/serial/LineSettings.h"
#include "driver/serial/PortHolder.h"
#include "driver/serial/PortInfo.h"
#include "ui/app/LoginDialog.h"
#include "ui/common/FastReplies.h"
#include "ui/common/FileDialog.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Records.h"
#include "ui/common/Settings.h"
#include "ui/common/Widgets.h"
#include "ui/common/WriteReportDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QVBoxLayout>

#include <chrono>

namespace {

const char kPortsKey[] = "bench/ports";

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

// "+CSQ: 27,99" as "27": a column of figures reads at a glance; the page's
// other words for the signal stay on the DTU page.
QString SignalFigure(const QString& reply)
{
    const qsizetype at = reply.indexOf(QStringLiteral("CSQ:"));
    if (at < 0)
        return reply.trimmed();
    return reply.mid(at + 4).section(u',', 0, 0).trimmed();
}

bool IsUrl(const QString& port)
{
    return net::LooksLikeUrl(port.toStdString());
}

}  // namespace

BenchPage::BenchPage(PortSource ports, QHash<QString, QString> names, QStringList named, QWidget* parent)
    : QDialog(parent), ports_(std::move(ports)), names_(std::move(names)), model_(new BenchModel(this))
{
    setObjectName(QStringLiteral("BenchPage"));
    setWindowTitle(tr("批量操作"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/bench.svg")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    BuildForm();
    FillRows(named);
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &BenchPage::Poll);
    UpdateButtons();
    resize(1180, 560);
}

// Every job ends at its next safe point and is joined before the rows go.
BenchPage::~BenchPage()
{
    for (auto& [row, r] : running_)
        r.stop->store(true);
    for (auto& [row, r] : running_)
        r.thread.join();
}

void BenchPage::BuildForm()
{
    baudCombo_ = ui::DropDown(this, dtu::kBaudCaptions);
    baudCombo_->setEditable(false);
    ui::Named(baudCombo_, "benchBaud");
    parityCombo_ = ui::DropDown(this, dtu::kParityCaptions);
    parityCombo_->setEditable(false);
    ui::Named(parityCombo_, "benchParity");
    // The settings page's choice, as it was last opened.
    baudCombo_->setCurrentIndex(int(dtu::kBaudCaptions.size()) - 1);
    if (g_Serial.IsOpen()) {
        baudCombo_->setCurrentText(QString::number(g_Serial.BaudRate()));
        parityCombo_->setCurrentIndex(int(g_Serial.Parity()));
    } else if (const auto settings = ui::Remembered()) {
        if (const int i = baudCombo_->findText(settings->value(QStringLiteral("port/baud")).toString()); i >= 0)
            baudCombo_->setCurrentIndex(i);
        parityCombo_->setCurrentIndex(std::clamp(settings->value(QStringLiteral("port/parity"), 0).toInt(), 0, 2));
    }
    // The window's one setting, as on the DTU and upgrade pages.
    fastCheck_ = ui::Named(ui::FastReplies::MakeCheckBox(this), "benchFast");
    auto* baudLabel = ui::Label(tr("波特率"), this);
    baudLabel->setBuddy(baudCombo_);
    auto* parityLabel = ui::Label(tr("校验"), this);
    parityLabel->setBuddy(parityCombo_);
    auto* line = new QHBoxLayout;
    line->addWidget(baudLabel);
    line->addWidget(baudCombo_);
    line->addSpacing(12);
    line->addWidget(parityLabel);
    line->addWidget(parityCombo_);
    line->addSpacing(12);
    line->addWidget(fastCheck_);
    line->addStretch(1);

    table_ = ui::Named(new QTableView(this), "benchTable");
    table_->setModel(model_);
    table_->setItemDelegateForColumn(BenchModel::Progress, new ProgressDelegate(table_));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setAccessibleName(tr("端口"));
    table_->setAccessibleDescription(tr("每行一个端口：勾选的端口一起读取、写入或升级，各自显示进度和结果"));
    // What the rows hold decides the widths; the result, the longest, takes
    // the rest.
    QHeaderView* header = table_->horizontalHeader();
    for (const int column : {BenchModel::Port, BenchModel::OwnId, BenchModel::Version, BenchModel::Signal})
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    table_->setColumnWidth(BenchModel::State, 110);
    table_->setColumnWidth(BenchModel::Progress, 130);
    table_->setWordWrap(false);
    connect(table_, &QTableView::doubleClicked, this, &BenchPage::ShowReport);

    portEdit_ = ui::Named(new QLineEdit(this), "benchPortEdit");
    portEdit_->setPlaceholderText(tr("/dev/ttyUSB0 或 rfc2217://主机:端口"));
    auto* portLabel = ui::Label(tr("添加端口"), this);
    portLabel->setBuddy(portEdit_);
    auto* add = ui::Button(this, tr("添加"), "benchAdd", 0, tr("把输入的端口加入列表，下次启动仍在"));
    connect(add, &QPushButton::clicked, this, [this] {
        if (AddPort(portEdit_->text().trimmed()))
            portEdit_->clear();
    });
    connect(portEdit_, &QLineEdit::returnPressed, add, &QPushButton::click);
    auto* all = ui::Button(this, tr("全选"), "benchAll");
    auto* none = ui::Button(this, tr("全不选"), "benchNone");
    connect(all, &QPushButton::clicked, this, [this] { model_->SetAllChecked(true); });
    connect(none, &QPushButton::clicked, this, [this] { model_->SetAllChecked(false); });
    auto* adding = new QHBoxLayout;
    adding->addWidget(portLabel);
    adding->addWidget(portEdit_, 1);
    adding->addWidget(add);
    adding->addSpacing(12);
    adding->addWidget(all);
    adding->addWidget(none);

    readButton_ = ui::Button(this, tr("读取信息"), "benchRead", 0, tr("读取每个勾选端口上 DTU 的本机ID、版本和场强"));
    writeButton_ = ui::Button(this, tr("写入配置…"), "benchWrite", 0, tr("选一个配置文件，写入每个勾选的 DTU 并读回核对"));
    upgradeButton_ = ui::Button(this, tr("升级固件…"), "benchUpgrade", 0, tr("把一个固件文件发给每个勾选的 DTU"));
    stopButton_ = ui::Button(this, tr("停止"), "benchStop", 0, tr("每个进行中的操作在下一个安全点停止"));
    auto* exportButton = ui::Button(this, tr("导出报告…"), "benchExport", 0, tr("把每行的结果存为 CSV 文件"));
    connect(readButton_, &QPushButton::clicked, this, &BenchPage::OnRead);
    connect(writeButton_, &QPushButton::clicked, this, &BenchPage::OnWrite);
    connect(upgradeButton_, &QPushButton::clicked, this, &BenchPage::OnUpgrade);
    connect(stopButton_, &QPushButton::clicked, this, &BenchPage::OnStop);
    connect(exportButton, &QPushButton::clicked, this, &BenchPage::OnExport);
    auto* recordsButton = ui::Button(this, tr("记录"), "benchRecords", 0, tr("打开每台 DTU 的作业记录"));
    connect(recordsButton, &QPushButton::clicked, this, &BenchPage::recordsWanted);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {readButton_, writeButton_, upgradeButton_, stopButton_, exportButton})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(recordsButton);

    summary_ = ui::Named(ui::Label(this), "benchSummary");
    summary_->setAccessibleDescription(tr("最近一次操作的汇总"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(line);
    layout->addWidget(table_, 1);
    layout->addWidget(summary_);
    layout->addLayout(adding);
    layout->addLayout(buttons);
}

void BenchPage::FillRows(const QStringList& named)
{
    QStringList remembered;
    if (const auto settings = ui::Remembered())
        remembered = settings->value(QString::fromUtf8(kPortsKey)).toStringList();
    const auto add = [this](const QString& port, bool isNamed, bool checked) {
        if (port.isEmpty() || model_->Find(port) >= 0)
            return;
        BenchRow row;
        row.port = port;
        row.named = isNamed;
        row.checked = checked;
        row.shown = port;
        if (!IsUrl(port)) {
            const serial::PortInfo info = serial::DescribePort(port.toStdString());
            if (!info.byId.empty() && info.byId != info.path)
                row.shown = port + QStringLiteral("  (") + Q(info.byId) + u')';
        }
        if (const QString name = names_.value(port); !name.isEmpty())
            row.shown = port + QStringLiteral("  (") + name + u')';
        model_->Add(std::move(row));
    };
    for (const QString& port : named)
        add(port, true, true);
    for (const QString& port : remembered)
        add(port, true, false);
    for (const QString& port : ports_ ? ports_() : QStringList())
        add(port, false, false);
    RememberTyped();
}

void BenchPage::RememberTyped() const
{
    // A simulated DTU's pseudo-terminal is gone with this run.
    QStringList ports;
    for (const BenchRow& r : model_->rows())
        if (r.named && !names_.contains(r.port))
            ports << r.port;
    if (const auto settings = ui::Remembered())
        settings->setValue(QString::fromUtf8(kPortsKey), ports);
}

bool BenchPage::AddPort(const QString& port)
{
    if (port.isEmpty() || model_->Find(port) >= 0)
        return false;
    BenchRow row;
    row.port = row.shown = port;
    row.named = true;
    row.checked = true;
    model_->Add(std::move(row));
    RememberTyped();
    return true;
}

jobs::Line BenchPage::ChosenLine() const
{
    jobs::Line line;
    line.baud = baudCombo_->currentText().toUInt();
    line.parity = static_cast<unsigned>(parityCombo_->currentIndex());
    line.fast = fastCheck_->isChecked();
    return line;
}

QString BenchPage::Busy(const BenchRow& row) const
{
    if (g_Serial.IsOpen()) {
        const std::string open = g_Serial.PortPath(), port = row.port.toStdString();
        if (open == port || (!IsUrl(row.port) && serial::ResolveDevice(open) == serial::ResolveDevice(port)))
            return tr("主窗口正在使用，已跳过");
    }
    if (!IsUrl(row.port))
        if (const auto holder = serial::FindHolder(row.port.toStdString()))
            return tr("被 %1 占用，已跳过").arg(holder->program.empty() ? tr("另一程序") : Q(holder->program));
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
                                 work.action == jobs::Action::Write ? profilePath_.toStdString() : std::string(),
                                 work.image, error);
    if (!basis) {
        ui::ShowMessage(this, windowTitle(), tr("不能记录，没有操作任何 DTU：%1").arg(Q(error)), ui::Buttons::Ok,
                        QMessageBox::Warning);
        return false;
    }
    batch_.clear();
    const jobs::Line line = ChosenLine();
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
        row.started = QDateTime::currentDateTime();
        row.ended = {};
        batch_.push_back(i);
        if (const QString busy = Busy(row); !busy.isEmpty()) {
            row.state = busy;
            row.result = tr("未操作");
            row.ended = row.started;
            model_->Changed(i);
            continue;
        }
        row.running = true;
        row.state = tr("等待");
        row.percent = 0;
        row.progress = QStringLiteral("0%");
        model_->Changed(i);
        Running r;
        r.stop = std::make_shared<std::atomic<bool>>(false);
        r.mailbox = std::make_shared<Mailbox>();
        // The thread holds what it works with: the page may not outlive it
        // (it joins), but the batch's profile and image are replaced by the
        // next start.
        r.thread = std::thread([port = row.port.toStdString(), line, work, profile = profile_, image = image_,
                                stop = r.stop, mailbox = r.mailbox, opening, basis = *basis] {
            jobs::Outcome outcome;
            std::string error;
            const auto store = opening->Wait(error);
            const jobs::Recorder recorder = store && *store ? jobs::Recorder(*store, basis) : jobs::Recorder();
            jobs::Work recorded = work;
            recorded.recorder = &recorder;
            if (store) {
                outcome = jobs::RunJob(port, line, recorded, stop, [&mailbox](const jobs::Progress& p) {
                    std::lock_guard lock(mailbox->lock);
                    mailbox->progress = p;
                });
            } else {
                outcome.detail = error;
            }
            std::lock_guard lock(mailbox->lock);
            mailbox->outcome = std::move(outcome);
        });
        running_.emplace(i, std::move(r));
    }
    if (!running_.empty())
        poll_.start();
    summary_->setText(summaryText());
    UpdateButtons();
    return true;
}

void BenchPage::Poll()
{
    for (auto it = running_.begin(); it != running_.end();) {
        std::optional<jobs::Progress> progress;
        std::optional<jobs::Outcome> outcome;
        {
            std::lock_guard lock(it->second.mailbox->lock);
            progress.swap(it->second.mailbox->progress);
            outcome.swap(it->second.mailbox->outcome);
        }
        if (progress)
            Show(it->first, *progress);
        if (!outcome) {
            ++it;
            continue;
        }
        // The outcome is the thread's last act: it ends at once.
        it->second.thread.join();
        Finish(it->first, *outcome);
        it = running_.erase(it);
    }
    if (running_.empty()) {
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
    row.ended = QDateTime::currentDateTime();
    if (!o.ownId.empty() || !o.version.empty()) {
        row.ownId = Q(o.ownId);
        row.version = Q(o.version);
        row.signal = SignalFigure(Q(o.signal));
    }
    row.report = o.report;
    row.detail = Q(o.detail);
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
        row.verdict = BenchRow::Verdict::None;
        row.state = tr("已停止");
        break;
    case Result::Failed:
        row.result = tr("失败：%1").arg(FailureWords(o));
        row.verdict = BenchRow::Verdict::Bad;
        row.state = tr("失败");
        break;
    }
    model_->Changed(i);
}

QString BenchPage::FailureWords(const jobs::Outcome& o) const
{
    using jobs::Cause;
    QString words;
    switch (o.cause) {
    case Cause::NoAnswer:
        words = o.request.empty() || o.request == "image block" ? tr("DTU 无应答") : tr("%1 无应答").arg(Q(o.request));
        break;
    case Cause::PortGone: words = tr("端口断开"); break;
    case Cause::ServerClosed: words = tr("服务器关闭了连接"); break;
    case Cause::Refused: words = tr("DTU 拒绝了固件（DCK）"); break;
    case Cause::OpenFailed:
    case Cause::Other: return Q(o.detail);
    }
    if (o.totalBlocks > 0)
        words += tr("（已确认 %1/%2 块）").arg(o.blocks).arg(o.totalBlocks);
    return words;
}

QString BenchPage::summaryText() const
{
    if (batch_.empty())
        return {};
    int done = 0, failed = 0;
    for (const std::size_t i : batch_) {
        const BenchRow& r = model_->rows()[i];
        if (r.running)
            continue;
        if (r.outcome == jobs::Outcome::Result::Ok || r.outcome == jobs::Outcome::Result::Differs)
            ++done;
        else if (r.outcome == jobs::Outcome::Result::Failed)
            ++failed;
    }
    return tr("完成 %1/%2，失败 %3").arg(done).arg(batch_.size()).arg(failed);
}

void BenchPage::UpdateButtons()
{
    const bool busy = running();
    for (QPushButton* b : {readButton_, writeButton_, upgradeButton_})
        b->setEnabled(!busy);
    stopButton_->setEnabled(busy);
}

void BenchPage::OnRead()
{
    Start({jobs::Action::Read, nullptr, nullptr}, QStringLiteral("read"));
}

void BenchPage::OnWrite()
{
    const QString path = ui::GetOpenFileName(this, tr("配置文件 (*.toml);;所有文件 (*)"), QStringLiteral("folders/profile"));
    if (path.isEmpty())
        return;
    const profile::ParsedProfile parsed = profile::LoadProfile(path.toStdString());
    if (!parsed.ok()) {
        QStringList errors;
        for (const std::string& e : parsed.errors)
            errors << Q(e);
        ui::ShowMessage(this, windowTitle(), tr("配置文件有错误，没有写入任何 DTU：\n%1").arg(errors.join(u'\n')),
                        ui::Buttons::Ok, QMessageBox::Warning);
        return;
    }
    profile_ = std::make_shared<const profile::Profile>(parsed.profile);
    profilePath_ = path;
    Start({jobs::Action::Write, profile_.get(), nullptr}, QStringLiteral("write"));
}

void BenchPage::OnUpgrade()
{
    LoginDialog login(this);
    if (login.exec() != QDialog::Accepted)
        return;
    const QString path = ui::GetOpenFileName(this, tr("固件文件 (*.bin);;所有文件 (*)"), QStringLiteral("folders/image"));
    if (path.isEmpty())
        return;
    const int kind = ui::AskChoice(this, windowTitle(), tr("以哪种方式升级 %1？").arg(path),
                                   {tr("APP升级"), tr("IAP升级"), tr("取消")});
    if (kind != 0 && kind != 1)
        return;
    std::string error;
    auto image = jobs::LoadImage(path.toStdString(), kind == 0 ? upgrade::Kind::App : upgrade::Kind::Iap, error);
    if (!image) {
        ui::ShowMessage(this, windowTitle(), tr("固件文件不能使用：%1").arg(Q(error)), ui::Buttons::Ok,
                        QMessageBox::Warning);
        return;
    }
    image_ = std::make_shared<const jobs::Image>(std::move(*image));
    Start({jobs::Action::Upgrade, nullptr, image_.get()}, kind == 0 ? QStringLiteral("upgrade-app")
                                                                    : QStringLiteral("upgrade-iap"));
}

void BenchPage::OnStop()
{
    for (auto& [row, r] : running_)
        r.stop->store(true);
}

void BenchPage::OnExport()
{
    const QString path = ui::GetSaveFileName(this, tr("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    std::string csv = "port,own_id,version,action,result,detail,started,ended\n";
    const auto field = [](const QString& s) { return monitor::CsvField(s.toStdString()); };
    const auto time = [](const QDateTime& t) { return t.isValid() ? t.toString(Qt::ISODateWithMs) : QString(); };
    for (const BenchRow& r : model_->rows())
        csv += field(r.port) + ',' + field(r.ownId) + ',' + field(r.version) + ',' + field(r.action) + ',' +
               field(r.result) + ',' + field(r.detail) + ',' + field(time(r.started)) + ',' + field(time(r.ended)) + '\n';
    QSaveFile file(path);
    const QByteArray bytes = QByteArray::fromStdString(csv);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        ui::ShowMessage(this, windowTitle(), tr("报告没有保存：%1").arg(file.errorString()), ui::Buttons::Ok,
                        QMessageBox::Warning);
}

void BenchPage::ShowReport(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    const BenchRow& row = model_->rows()[static_cast<std::size_t>(index.row())];
    if (row.report.rows.empty())
        return;
    if (!report_)
        report_ = new WriteReportDialog(this);
    report_->setWindowTitle(tr("写入结果：%1").arg(row.port));
    const int differs = report_->Show(row.report.rows);
    report_->SetSummary(differs == 0 ? tr("全部 %1 项写入后读回一致。").arg(row.report.rows.size())
                                     : tr("%1 项读回不一致。").arg(differs));
}
