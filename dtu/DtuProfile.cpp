// The DTU page's whole-DTU work: "全部读取", "全部写入" with its read-back
// report, and profiles saved and loaded in dtuctl's schema, so a profile
// made here is written by dtuctl on a production line and the other way
// round.
#include "common/FileDialog.h"
#include "common/Hex.h"
#include "common/LineEdits.h"
#include "common/MessageBox.h"
#include "common/PortWrite.h"
#include "common/Widgets.h"
#include "dtu/Commands.h"
#include "dtu/Dialog_Rf_Setup.h"
#include "dtu/DtuDlg.h"
#include "dtu/Lists.h"
#include "profile/Profile.h"
#include "profile/Provision.h"
#include "profile/Sequence.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char kFilter[] = QT_TRANSLATE_NOOP("CDtuDlg", "配置文件 (*.toml);;所有文件 (*)");
const char kFolderKey[] = "folders/profile";
const char kReadAll[] = QT_TRANSLATE_NOOP("CDtuDlg", "全部读取");
const char kWriteAll[] = QT_TRANSLATE_NOOP("CDtuDlg", "全部写入");
const char kStop[] = QT_TRANSLATE_NOOP("CDtuDlg", "停止");

std::string Std(const QString& s)
{
    return s.toStdString();
}

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

// "file:12:5: message" without the place: the page's own settings have no
// file a user could open.
std::string WithoutPlace(const std::string& error)
{
    std::size_t at = 0;
    for (int colons = 0; colons < 3; ++colons) {
        const std::size_t next = error.find(':', at);
        if (next == std::string::npos)
            return error;
        at = next + 1;
    }
    return error.substr(error.find_first_not_of(' ', at));
}

}  // namespace

QGroupBox* CDtuDlg::BuildProfileFrame()
{
    auto* box = new QGroupBox(tr("整机配置"), this);
    const auto button = [box](int id, const char* name, const QString& caption, const QString& role) {
        auto* b = ui::Tag(new QPushButton(caption, box), id, name);
        b->setAutoDefault(false);
        b->setAccessibleDescription(role);
        return b;
    };
    readAll_ = button(1101, "readAllButton", tr(kReadAll), tr("依次读取本型号的全部参数"));
    writeAll_ = button(1102, "writeAllButton", tr(kWriteAll), tr("写入页面上本型号的全部参数并逐项读回核对"));
    saveProfile_ =
        button(1103, "saveProfileButton", tr("保存配置…"), tr("把页面上的参数保存为配置文件（dtuctl 可用）"));
    loadProfile_ = button(1104, "loadProfileButton", tr("载入配置…"), tr("从配置文件填入页面，不发送"));
    auto* grid = new QGridLayout(box);
    grid->addWidget(readAll_, 0, 0);
    grid->addWidget(writeAll_, 0, 1);
    grid->addWidget(saveProfile_, 1, 0);
    grid->addWidget(loadProfile_, 1, 1);
    connect(readAll_, &QPushButton::clicked, this, &CDtuDlg::OnReadAll);
    connect(writeAll_, &QPushButton::clicked, this, &CDtuDlg::OnWriteAll);
    connect(saveProfile_, &QPushButton::clicked, this, &CDtuDlg::OnSaveProfile);
    connect(loadProfile_, &QPushButton::clicked, this, &CDtuDlg::OnLoadProfile);
    return box;
}

dtu::RfSettings CDtuDlg::RfShown() const
{
    // Before the dialog was first opened it would show its defaults.
    return rf_ ? rf_->settings() : dtu::RfSettings{"434.00"};
}

CDtuDlg::Model CDtuDlg::CurrentModel() const
{
    if (model330M_->isChecked())
        return Model::M330M;
    return model330N_->isChecked() ? Model::M330N : Model::M331;
}

unsigned CDtuDlg::ModelQueries(Model model)
{
    unsigned q = profile::kOwnId | profile::kNet | profile::kUart | profile::kVersion | profile::kSignal |
                 profile::kClock;
    if (model == Model::M330M)
        return q | profile::kPhones | profile::kIds;
    q |= profile::kPackets;
    return model == Model::M331 ? q | profile::kRf : q;
}

std::optional<profile::DeviceSettings> CDtuDlg::PageSettings(unsigned queries, std::string* refusal) const
{
    profile::DeviceSettings s;
    if (queries & profile::kPhones)
        s.phones = ListValues(phoneList_);
    if (queries & profile::kIds)
        s.ids = ListValues(idList_);
    if (queries & profile::kOwnId)
        s.ownId = dtu::OwnId{hex::UpperAscii(Std(idEdit_->text())), customId_->isChecked()};
    if (queries & profile::kNet) {
        const dtu::Built port = dtu::BuildSetPort(Std(port_->text()));
        if (!port.ok()) {
            *refusal = port.message;
            return std::nullopt;
        }
        dtu::NetParams n{};
        n.addressKind = addressKind_->checkedId() == 1 ? 1 : 0;
        n.domain = Std(domain_->text());
        n.ip = ip_->address();
        n.port = static_cast<std::uint16_t>(std::stoul(Std(port_->text())));
        if (transferKind_->checkedId() == 0) {
            n.transferKind = 2;
            n.modeByte = static_cast<std::uint8_t>((smsOption_->isChecked() ? 1 : 0) |
                                                   (smsHexOption_->isChecked() ? 2 : 0) |
                                                   (tcpOption_->isChecked() ? 4 : 0));
        } else {
            n.transferKind = 1;
            n.modeByte = static_cast<std::uint8_t>(std::clamp(subMode_->checkedId(), -1, 3) & 0xFF);
        }
        s.net = n;
    }
    if (queries & profile::kUart)
        s.uart = dtu::UartIndexes{baud_->currentIndex(), parity_->currentIndex(), interface_->currentIndex()};
    if (queries & profile::kPackets) {
        const profile::PacketPair p = profile::PacketsOfWrite(dtu::BuildWritePackets(
            Std(heartbeatEdit_->text()), Std(registrationEdit_->text()), false, hex_->isChecked()));
        s.packets = dtu::Packets{customPackets_->isChecked(), p.heartbeat, p.registration};
    }
    if (queries & profile::kRf) {
        const dtu::RfSettings rf = RfShown();
        s.rf = dtu::RfRecord{rf.frequency, rf.sleepIndex, rf.breathIndex, rf.address, rf.powerIndex};
    }
    return s;
}

std::string CDtuDlg::ProfileText(std::string* refusal) const
{
    const std::optional<profile::DeviceSettings> s = PageSettings(ModelQueries(CurrentModel()), refusal);
    return s ? profile::SettingsProfile(*s) : std::string();
}

// ---- Whole-DTU sequences ----

void CDtuDlg::OnReadAll()
{
    if (run_) {
        StopRun(tr("已停止"));
        return;
    }
    StartRun(Run::Read, std::make_unique<profile::Sequence>(profile::ReadSteps(ModelQueries(CurrentModel()))));
}

void CDtuDlg::OnWriteAll()
{
    if (run_) {
        StopRun(tr("已停止"));
        return;
    }
    const Model model = CurrentModel();
    std::string refusal;
    const std::string text = ProfileText(&refusal);
    if (!refusal.empty()) {
        Say(refusal);
        return;
    }
    profile::ParsedProfile parsed = profile::ParseProfile(text, "page");
    if (!parsed.ok()) {
        std::string all;
        for (const std::string& e : parsed.errors)
            all += WithoutPlace(e) + "\n";
        Say(all);
        return;
    }
    profile::Profile& p = parsed.profile;
    // What the model's page lets a user set: the own ID's field is a list
    // entry on a KV-330M, the mode is fixed on the others.
    if (model == Model::M330M)
        p.ownId.reset();
    else
        p.mode.reset();
    p.apn = profile::Profile::Apn{Std(apn_->text()), Std(apnUser_->text()), Std(apnPassword_->text())};
    // The dialog sends whole MHz of what it shows ("433.91" is 433).
    if (p.rf)
        p.rf->frequencyMhz = dtu::LeadingInteger(RfShown().frequency);
    p.setClock = true;
    std::vector<profile::PlannedWrite> writes;
    try {
        writes = profile::PlanWrites(p, profile::Now());
    } catch (const profile::Failure& e) {
        Say(e.what());
        return;
    }
    runProfile_ = std::make_unique<profile::Profile>(p);
    runWrites_ = writes;
    StartRun(Run::Write,
             std::make_unique<profile::Sequence>(profile::WriteSteps(writes, profile::QueriesToVerify(p))));
}

void CDtuDlg::hideEvent(QHideEvent* e)
{
    if (run_)
        StopRun(tr("已停止"));
    FramePage::hideEvent(e);
}

void CDtuDlg::StartRun(Run kind, std::unique_ptr<profile::Sequence> run)
{
    runKind_ = kind;
    run_ = std::move(run);
    QPushButton* own = kind == Run::Read ? readAll_ : writeAll_;
    QPushButton* other = kind == Run::Read ? writeAll_ : readAll_;
    own->setText(tr(kStop));
    other->setEnabled(false);
    loadProfile_->setEnabled(false);
    SendStep();
}

void CDtuDlg::SendStep()
{
    const profile::Step* step = run_->Current();
    if (!step) {
        FinishRun();
        return;
    }
    panes_[1]->setText(tr("%1 %2/%3 …")
                           .arg(runKind_ == Run::Read ? tr("读取") : tr("写入"))
                           .arg(run_->Finished() + 1)
                           .arg(run_->Total()));
    // The clock is taken when its frame goes out, not when the plan was made.
    const dtu::Bytes frame = step->code == dtu::cmd::kSetClock ? dtu::BuildSetClock(profile::Now()) : step->frame;
    stepTimer_.start(kReplyTimeoutMs, this);
    ui::SendFrame(this, frame, [this](const QString& why) {
        if (run_)
            StopRun(why);
    });
}

void CDtuDlg::StepAnswered()
{
    stepTimer_.stop();
    SendStep();
}

void CDtuDlg::FinishRun()
{
    stepTimer_.stop();
    const std::vector<std::string> missing = run_->Unanswered();
    QString done = runKind_ == Run::Read ? tr("全部读取完成") : tr("全部写入完成");
    if (!missing.empty()) {
        QStringList names;
        for (const std::string& m : missing)
            names << Q(m);
        done += tr("，无应答：") + names.join(tr("、"));
    }
    if (runKind_ == Run::Write)
        ShowWriteReport();
    StopRun(done);
}

void CDtuDlg::StopRun(const QString& why)
{
    stepTimer_.stop();
    run_.reset();
    runProfile_.reset();
    runWrites_.clear();
    readAll_->setText(tr(kReadAll));
    writeAll_->setText(tr(kWriteAll));
    for (QPushButton* b : {readAll_, writeAll_, loadProfile_})
        b->setEnabled(true);
    panes_[1]->setText(why);
}

void CDtuDlg::ShowWriteReport()
{
    std::vector<profile::Checked> rows = profile::Compare(*runProfile_, runWrites_, run_->Read());
    // A write the DTU never answered may still read back right; it is the
    // read-back that decides, and an unanswered one shows as missing.
    std::stable_partition(rows.begin(), rows.end(),
                          [](const profile::Checked& c) { return c.verdict == profile::Verdict::Differs; });
    if (!report_) {
        report_ = new QDialog(this);
        report_->setObjectName(QStringLiteral("writeReport"));
        report_->setWindowTitle(tr("全部写入结果"));
        auto* summary = new QLabel(report_);
        summary->setObjectName(QStringLiteral("reportSummary"));
        summary->setWordWrap(true);
        auto* tree = new QTreeWidget(report_);
        tree->setObjectName(QStringLiteral("reportRows"));
        tree->setHeaderLabels({tr("参数"), tr("写入"), tr("读回"), tr("结果")});
        tree->setRootIsDecorated(false);
        tree->setAccessibleName(tr("写入与读回"));
        tree->setAccessibleDescription(tr("每项参数写入的值、读回的值和是否一致，不一致的在前"));
        summary->setBuddy(tree);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, report_);
        connect(buttons, &QDialogButtonBox::rejected, report_, &QDialog::hide);
        auto* layout = new QVBoxLayout(report_);
        layout->addWidget(summary);
        layout->addWidget(tree, 1);
        layout->addWidget(buttons);
        report_->resize(640, 420);
    }
    auto* tree = report_->findChild<QTreeWidget*>(QStringLiteral("reportRows"));
    tree->clear();
    int differs = 0;
    for (const profile::Checked& c : rows) {
        auto* item = new QTreeWidgetItem({Q(c.setting), Q(c.wanted), Q(c.readBack), Q(profile::VerdictText(c.verdict))});
        if (c.verdict == profile::Verdict::Differs) {
            ++differs;
            for (int i = 0; i < 4; ++i)
                item->setForeground(i, QColor(0xB0, 0x00, 0x20));
        }
        tree->addTopLevelItem(item);
    }
    for (const std::string& m : run_->Unanswered())
        tree->addTopLevelItem(new QTreeWidgetItem({Q(m), QString(), QString(), tr("无应答")}));
    for (int i = 0; i < 4; ++i)
        tree->resizeColumnToContents(i);
    report_->findChild<QLabel*>(QStringLiteral("reportSummary"))
        ->setText(differs == 0 && run_->Unanswered().empty()
                      ? tr("全部 %1 项写入后读回一致。").arg(rows.size())
                      : tr("%1 项读回不一致，%2 个请求无应答。").arg(differs).arg(run_->Unanswered().size()));
    report_->show();
    report_->raise();
}

// ---- Profiles ----

void CDtuDlg::OnSaveProfile()
{
    std::string refusal;
    const std::string text = ProfileText(&refusal);
    if (!refusal.empty()) {
        Say(refusal);
        return;
    }
    const QString path = ui::GetSaveFileName(this, tr(kFilter), nullptr, QString::fromUtf8(kFolderKey));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const QByteArray bytes = QByteArray::fromStdString(text);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        ui::ShowMessage(this, ui::AppCaption(), tr("无法保存配置文件 %1：%2").arg(path, file.errorString()),
                        ui::Buttons::Ok, QMessageBox::Warning);
        return;
    }
    panes_[1]->setText(tr("配置已保存"));
}

void CDtuDlg::OnLoadProfile()
{
    const QString path = ui::GetOpenFileName(this, tr(kFilter), QString::fromUtf8(kFolderKey));
    if (path.isEmpty())
        return;
    const profile::ParsedProfile parsed = profile::LoadProfile(Std(path));
    if (!parsed.ok()) {
        QStringList lines;
        for (const std::string& e : parsed.errors)
            lines << Q(e);
        ui::ShowMessage(this, ui::AppCaption(), tr("配置文件有误，页面没有改动：\n") + lines.join(u'\n'),
                        ui::Buttons::Ok, QMessageBox::Warning);
        return;
    }
    ApplyProfile(parsed.profile);
    panes_[1]->setText(tr("配置已载入（未发送）"));
}

void CDtuDlg::ApplyProfile(const profile::Profile& p)
{
    if (p.phones)
        FillList(phoneList_, phoneCount_, *p.phones);
    if (p.ids)
        FillList(idList_, idCount_, *p.ids);
    if (p.ownId) {
        if (p.ownId->id)
            idEdit_->setText(Q(*p.ownId->id));
        if (p.ownId->custom)
            customId_->setChecked(*p.ownId->custom);
    }
    SaveData();
    if (p.server) {
        if (p.server->ip) {
            ip_->setAddress(*p.server->ip);
            data_.addressKind = 0;
        }
        if (p.server->domain) {
            data_.domain = Q(*p.server->domain);
            if (!p.server->ip)
                data_.addressKind = 1;
        }
        if (p.server->port)
            data_.port = QString::number(*p.server->port);
    }
    if (p.mode) {
        const profile::Profile::Mode& m = *p.mode;
        data_.transferKind = m.protocol ? 0 : 1;
        if (m.protocol) {
            smsOption_->setChecked(m.sms);
            smsHexOption_->setChecked(m.smsHex);
            tcpOption_->setChecked(m.tcp);
        } else {
            data_.subMode = m.subMode;
        }
    }
    LoadData();
    if (p.mode && CurrentModel() == Model::M330M)
        SetTransferControls(p.mode->protocol);
    if (p.serial) {
        if (p.serial->baud)
            ui::SelectIndex(baud_, *p.serial->baud);
        if (p.serial->parity)
            ui::SelectIndex(parity_, *p.serial->parity);
        if (p.serial->interface)
            ui::SelectIndex(interface_, *p.serial->interface);
    }
    if (p.apn) {
        apn_->setText(Q(p.apn->apn));
        apnUser_->setText(Q(p.apn->user));
        apnPassword_->setText(Q(p.apn->password));
    }
    if (p.packets) {
        if (p.packets->custom)
            customPackets_->setChecked(*p.packets->custom);
        if (p.packets->hex != hex_->isChecked())
            hex_->click();
        if (p.packets->heartbeat)
            heartbeatEdit_->setText(Q(*p.packets->heartbeat));
        if (p.packets->registration)
            registrationEdit_->setText(Q(*p.packets->registration));
    }
    if (p.rf) {
        dtu::RfSettings now = Rf()->settings();
        dtu::RfRecord r{now.frequency, now.sleepIndex, now.breathIndex, now.address, now.powerIndex};
        if (p.rf->frequencyMhz)
            r.frequency = std::to_string(*p.rf->frequencyMhz) + ".00";
        if (p.rf->sleep)
            r.sleepIndex = *p.rf->sleep;
        if (p.rf->breathing)
            r.breathIndex = *p.rf->breathing;
        if (p.rf->address)
            r.address = std::to_string(*p.rf->address);
        if (p.rf->power)
            r.powerIndex = *p.rf->power;
        Rf()->Apply(r);
    }
}
