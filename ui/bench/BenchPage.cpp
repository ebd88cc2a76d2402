#include "ui/bench/BenchPage.h"
#include "ui/bench/BenchPageInternal.h"

#include "core/dtu/Lists.h"
#include "core/dtu/Responses.h"
#include "core/monitor/LineLog.h"
#include "core/net/PortUrl.h"
#include "driver/host/Identity.h"
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
#include "ui/common/Words.h"
#include "ui/common/WriteReportDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include <chrono>

namespace {

const char kPortsKey[] = "bench/ports";
const char kOperatorKey[] = "bench/operator";

}  // namespace

using ui::bench_internal::IsUrl;
using ui::bench_internal::Q;

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
BenchPage::~BenchPage() = default;

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
    auto* baudLabel = ui::Label(tr("波特率(&B)"), this);
    baudLabel->setBuddy(baudCombo_);
    auto* parityLabel = ui::Label(tr("校验(&C)"), this);
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
    // Who works, as the records name them; the login name when empty.
    operatorEdit_ = ui::Named(new QLineEdit(this), "benchOperator");
    operatorEdit_->setPlaceholderText(QString::fromStdString(host::OperatorName()));
    if (const auto settings = ui::Remembered())
        operatorEdit_->setText(settings->value(QString::fromUtf8(kOperatorKey)).toString());
    connect(operatorEdit_, &QLineEdit::editingFinished, this, [this] {
        if (const auto settings = ui::Remembered())
            settings->setValue(QString::fromUtf8(kOperatorKey), operatorEdit_->text().trimmed());
    });
    auto* operatorLabel = ui::Label(tr("操作员(&O)"), this);
    operatorLabel->setBuddy(operatorEdit_);
    line->addWidget(operatorLabel);
    line->addWidget(operatorEdit_);

    table_ = ui::Named(new QTableView(this), "benchTable");
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(BenchModel::kSortRole);
    sorted_->setSortLocaleAware(true);
    table_->setModel(sorted_);
    // In the order the ports were listed until a header is clicked.
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table_->setSortingEnabled(true);
    table_->setItemDelegateForColumn(BenchModel::Progress, new ProgressDelegate(table_));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Only the label is edited: a barcode scanner types the number and
    // Enter, which moves on to the next row's label.
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    connect(table_->itemDelegate(), &QAbstractItemDelegate::closeEditor, this, &BenchPage::NextLabel,
            Qt::QueuedConnection);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setAccessibleName(tr("端口"));
    table_->setAccessibleDescription(tr("每行一个端口：勾选的端口一起读取、写入或升级，各自显示进度和结果"));
    // What the rows hold decides the widths; the result, the longest, takes
    // the rest, and a cut cell is read whole in its tool tip.
    QHeaderView* header = table_->horizontalHeader();
    for (const int column : {BenchModel::Port, BenchModel::Label, BenchModel::OwnId, BenchModel::Version, BenchModel::Signal,
                             BenchModel::State, BenchModel::Elapsed})
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    table_->setColumnWidth(BenchModel::Progress, 130);
    table_->setWordWrap(false);
    connect(table_, &QTableView::doubleClicked, this, &BenchPage::ShowReport);

    portEdit_ = ui::Named(new QLineEdit(this), "benchPortEdit");
    portEdit_->setPlaceholderText(tr("/dev/ttyUSB0 或 rfc2217://主机:端口"));
    auto* portLabel = ui::Label(tr("添加端口(&P)"), this);
    portLabel->setBuddy(portEdit_);
    auto* add = ui::Button(this, tr("添加(&D)"), "benchAdd", 0, tr("把输入的端口加入列表，下次启动仍在"));
    connect(add, &QPushButton::clicked, this, [this] {
        if (AddPort(portEdit_->text().trimmed()))
            portEdit_->clear();
    });
    connect(portEdit_, &QLineEdit::returnPressed, add, &QPushButton::click);
    auto* all = ui::Button(this, tr("全选(&A)"), "benchAll");
    auto* none = ui::Button(this, tr("全不选(&N)"), "benchNone");
    auto* failed = ui::Button(this, tr("只勾选失败的(&F)"), "benchFailed", 0,
                              tr("只勾选上次操作失败或读回不一致的端口，以便重做"));
    connect(all, &QPushButton::clicked, this, [this] { model_->SetAllChecked(true); });
    connect(none, &QPushButton::clicked, this, [this] { model_->SetAllChecked(false); });
    connect(failed, &QPushButton::clicked, this, &BenchPage::CheckFailed);
    auto* adding = new QHBoxLayout;
    adding->addWidget(portLabel);
    adding->addWidget(portEdit_, 1);
    adding->addWidget(add);
    adding->addSpacing(12);
    adding->addWidget(all);
    adding->addWidget(none);
    adding->addWidget(failed);

    readButton_ = ui::Button(this, tr("读取信息(&R)"), "benchRead", 0, tr("读取每个勾选端口上 DTU 的本机ID、版本和场强"));
    writeButton_ = ui::Button(this, tr("写入配置(&W)…"), "benchWrite", 0, tr("选一个配置文件，写入每个勾选的 DTU 并读回核对"));
    upgradeButton_ = ui::Button(this, tr("升级固件(&U)…"), "benchUpgrade", 0, tr("把一个固件文件发给每个勾选的 DTU"));
    testButton_ = ui::Button(this, tr("测试(&T)…"), "benchTest", 0,
                             tr("选一个测试方案，测试每个勾选的 DTU：版本、场强、经测试服务器的注册、心跳和双向数据"));
    connect(testButton_, &QPushButton::clicked, this, &BenchPage::OnTest);
    stopButton_ = ui::Button(this, tr("停止(&S)"), "benchStop", 0, tr("每个进行中的操作在下一个安全点停止"));
    auto* exportButton = ui::Button(this, tr("导出报告(&E)…"), "benchExport", 0, tr("把上次操作过的每行的结果存为 CSV 文件"));
    connect(readButton_, &QPushButton::clicked, this, &BenchPage::OnRead);
    connect(writeButton_, &QPushButton::clicked, this, &BenchPage::OnWrite);
    connect(upgradeButton_, &QPushButton::clicked, this, &BenchPage::OnUpgrade);
    connect(stopButton_, &QPushButton::clicked, this, &BenchPage::OnStop);
    connect(exportButton, &QPushButton::clicked, this, &BenchPage::OnExport);
    auto* recordsButton = ui::Button(this, tr("记录(&L)"), "benchRecords", 0, tr("打开每台 DTU 的作业记录"));
    connect(recordsButton, &QPushButton::clicked, this, &BenchPage::recordsWanted);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {readButton_, writeButton_, upgradeButton_, testButton_, stopButton_, exportButton})
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
    if (port.isEmpty())
        return false;
    // Refused now, not at run time: a mistyped port fails no batch later.
    QString wrong;
    if (const int at = model_->Find(port); at >= 0) {
        table_->selectRow(sorted_->mapFromSource(model_->index(at, 0)).row());
        wrong = tr("%1 已在列表中。").arg(port);
    } else if (IsUrl(port) && !net::ParsePortUrl(port.toStdString())) {
        wrong = tr("%1 不是可用的网络端口：请写成 rfc2217://主机:端口 或 socket://主机:端口。").arg(port);
    } else if (!IsUrl(port) && !QFileInfo::exists(port)) {
        wrong = tr("找不到设备 %1：请输入存在的串口设备路径，如 /dev/ttyUSB0，或网络端口 rfc2217://主机:端口。").arg(port);
    }
    if (!wrong.isEmpty()) {
        ui::ShowMessage(this, windowTitle(), wrong, ui::Buttons::Ok, QMessageBox::Warning);
        return false;
    }
    BenchRow row;
    row.port = row.shown = port;
    row.named = true;
    row.checked = true;
    model_->Add(std::move(row));
    RememberTyped();
    return true;
}

void BenchPage::CheckFailed()
{
    for (std::size_t i = 0; i < model_->rows().size(); ++i) {
        const BenchRow& r = model_->rows()[i];
        const bool failed = r.outcome == jobs::Outcome::Result::Failed || r.outcome == jobs::Outcome::Result::Differs;
        if (r.checked != failed)
            model_->setData(model_->index(static_cast<int>(i), BenchModel::Port), failed ? Qt::Checked : Qt::Unchecked,
                            Qt::CheckStateRole);
    }
}

jobs::Line BenchPage::ChosenLine() const
{
    jobs::Line line;
    line.baud = baudCombo_->currentText().toUInt();
    line.parity = static_cast<unsigned>(parityCombo_->currentIndex());
    line.fast = fastCheck_->isChecked();
    return line;
}

void BenchPage::UpdateButtons()
{
    const bool busy = running();
    for (QPushButton* b : {readButton_, writeButton_, upgradeButton_, testButton_})
        b->setEnabled(!busy);
    stopButton_->setEnabled(busy);
}

void BenchPage::OnRead()
{
    jobs::Work work;
    work.action = jobs::Action::Read;
    Start(work, QStringLiteral("read"));
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
    // Units told apart by their own ID are not all given one unless that is
    // asked for in so many words.
    std::size_t checked = 0;
    for (const BenchRow& r : model_->rows())
        checked += r.checked && !r.running;
    if (const std::string* ownId = profile::OwnIdSet(parsed.profile); ownId && checked > 1) {
        const int choice = ui::AskChoice(
            this, windowTitle(),
            tr("%1 设置了本机ID %2：写入勾选的 %3 台 DTU 会使它们的本机ID都是 %2。\n"
               "要给每台 DTU 各自的本机ID，请一台一台写入。")
                .arg(path, Q(*ownId))
                .arg(checked),
            {tr("取消"), tr("都写入同一个本机ID")});
        if (choice != 1)
            return;
    }
    profile_ = std::make_shared<const profile::Profile>(parsed.profile);
    profilePath_ = path;
    jobs::Work work;
    work.action = jobs::Action::Write;
    work.profile = profile_.get();
    Start(work, QStringLiteral("write"));
}

void BenchPage::OnUpgrade()
{
    LoginDialog login(this);
    if (login.exec() != QDialog::Accepted)
        return;
    const QString path = ui::GetOpenFileName(this, tr("固件 (*.bin);;所有文件 (*)"), QStringLiteral("folders/image"));
    if (path.isEmpty())
        return;
    const int kind = ui::AskChoice(this, windowTitle(), tr("以哪种方式升级 %1？").arg(path),
                                   {tr("APP升级"), tr("IAP升级"), tr("取消")});
    if (kind != 0 && kind != 1)
        return;
    std::string error;
    auto image = jobs::LoadImage(path.toStdString(), kind == 0 ? upgrade::Kind::App : upgrade::Kind::Iap, error);
    if (!image) {
        ui::ShowMessage(this, windowTitle(), tr("固件文件不能使用：%1").arg(ui::Words(error)), ui::Buttons::Ok,
                        QMessageBox::Warning);
        return;
    }
    image_ = std::make_shared<const jobs::Image>(std::move(*image));
    jobs::Work work;
    work.action = jobs::Action::Upgrade;
    work.image = image_.get();
    Start(work, kind == 0 ? QStringLiteral("upgrade-app") : QStringLiteral("upgrade-iap"));
}

void BenchPage::OnStop()
{
    if (jobs_)
        jobs_->Stop();
}

void BenchPage::OnExport()
{
    QString path = ui::GetSaveFileName(this, tr("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    // The records' own columns, as dtuctl records --csv writes them, and the
    // words the window showed; a byte-order mark so that a spreadsheet reads
    // the Chinese as Chinese.
    std::string csv = "\xEF\xBB\xBF" + records::CsvHeader() + ",shown\n";
    for (const BenchRow& r : model_->rows())
        if (!r.skipped && r.endedMs != 0)
            csv += records::CsvLine(r.record) + ',' + monitor::CsvField(r.result.toStdString()) + '\n';
    QSaveFile file(path);
    const QByteArray bytes = QByteArray::fromStdString(csv);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        ui::ShowMessage(this, windowTitle(), tr("报告没有保存：%1").arg(file.errorString()), ui::Buttons::Ok,
                        QMessageBox::Warning);
}

void BenchPage::ShowReport(const QModelIndex& index)
{
    if (!index.isValid() || index.column() == BenchModel::Label)
        return;
    const BenchRow& row = model_->rows()[static_cast<std::size_t>(sorted_->mapToSource(index).row())];
    if (!row.steps.empty())
        return ShowMeasurements(row);
    if (row.report.rows.empty())
        return;
    if (!report_)
        report_ = new WriteReportDialog(this);
    report_->setWindowTitle(tr("写入结果：%1").arg(row.port));
    const int differs = report_->Show(row.report.rows);
    report_->SetSummary(differs == 0 ? tr("全部 %1 项写入后读回一致。").arg(row.report.rows.size())
                                     : tr("%1 项读回不一致。").arg(differs));
}
