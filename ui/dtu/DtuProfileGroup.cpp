// Profiles are saved and loaded in dtuctl's schema, so a profile made here
// is written by dtuctl on a production line and the other way round.
#include "ui/dtu/DtuProfileGroup.h"

#include "core/dtu/Commands.h"
#include "core/profile/Profile.h"
#include "core/profile/Provision.h"
#include "core/profile/Sequence.h"
#include "driver/host/LocalClock.h"
#include "driver/host/ProfileFile.h"
#include "driver/records/Sha256.h"
#include "jobs/port/Messages.h"
#include "ui/common/FileDialog.h"
#include "ui/common/MessageBox.h"
#include "ui/common/PortWrite.h"
#include "ui/common/Widgets.h"
#include "ui/common/WriteReportDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>
#include <QTimerEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char kFilter[] = QT_TRANSLATE_NOOP("DtuProfileGroup", "配置文件 (*.toml);;所有文件 (*)");
const char kFolderKey[] = "folders/profile";
const char kReadAll[] = QT_TRANSLATE_NOOP("DtuProfileGroup", "全部读取");
const char kWriteAll[] = QT_TRANSLATE_NOOP("DtuProfileGroup", "全部写入");
const char kStop[] = QT_TRANSLATE_NOOP("DtuProfileGroup", "停止");

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

using namespace ui::dtu_internal;

DtuProfileGroup::DtuProfileGroup(DtuPageLink& page, QWidget* parent) : QObject(parent), page_(page)
{
    auto* box = box_ = new QGroupBox(tr("整机配置"), parent);
    const auto button = [box](int id, const char* name, const QString& caption, const QString& role) {
        QPushButton* b = ui::Button(box, caption, name, id);
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
    connect(readAll_, &QPushButton::clicked, this, &DtuProfileGroup::OnReadAll);
    connect(writeAll_, &QPushButton::clicked, this, &DtuProfileGroup::OnWriteAll);
    connect(saveProfile_, &QPushButton::clicked, this, &DtuProfileGroup::OnSaveProfile);
    connect(loadProfile_, &QPushButton::clicked, this, &DtuProfileGroup::OnLoadProfile);
}

DtuProfileGroup::~DtuProfileGroup() = default;

// ---- Whole-DTU sequences ----

void DtuProfileGroup::OnReadAll()
{
    if (run_) {
        StopRun(tr("已停止"));
        return;
    }
    StartRun(Run::Read, std::make_unique<profile::Sequence>(profile::ReadSteps(ModelQueries(page_.CurrentModel()))));
}

void DtuProfileGroup::OnWriteAll()
{
    if (run_) {
        StopRun(tr("已停止"));
        return;
    }
    const DtuModel model = page_.CurrentModel();
    std::string refusal;
    const std::string text = page_.ProfileText(&refusal);
    if (!refusal.empty()) {
        page_.Say(refusal);
        return;
    }
    profile::ParsedProfile parsed = profile::ParseProfile(text, "page");
    if (!parsed.ok()) {
        std::string all;
        for (const std::string& e : parsed.errors)
            all += WithoutPlace(e) + "\n";
        page_.Say(all);
        return;
    }
    profile::Profile& p = parsed.profile;
    // What the model's page lets a user set: the own ID's field is a list
    // entry on a KV-330M, the mode is fixed on the others.
    if (model == DtuModel::M330M)
        p.ownId.reset();
    else
        p.mode.reset();
    page_.CompleteWrite(p);
    p.setClock = true;
    std::vector<profile::PlannedWrite> writes;
    try {
        writes = profile::PlanWrites(p, host::LocalNow());
    } catch (const profile::Failure& e) {
        page_.Say(e.what());
        return;
    }
    // Recorded before a byte goes out, or not written at all. The page's
    // settings are no file: the record keeps the digest of their text,
    // which is the digest of the file "保存配置…" saves. The record is begun
    // on the store's thread; the run starts when it is, unless a stop or
    // another run came first.
    const std::uint64_t start = ++starts_;
    ui::BeginPageRecord(
        records::kActionWrite, records::Sha256({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}),
        std::nullopt, this,
        [this, start, p, writes](std::optional<ui::PageRecord> record, const QString& error) {
            if (start != starts_ || run_) {
                if (record)
                    ui::CompletePageRecord(*record, records::kResultStopped, jobs::msg::kNotBegun, this, {});
                return;
            }
            if (!record) {
                ui::ShowMessage(page_.pageWidget(), page_.pageWidget()->windowTitle(),
                                tr("不能记录，没有写入：%1").arg(error), ui::Buttons::Ok, QMessageBox::Warning);
                return;
            }
            record_ = std::move(record);
            runProfile_ = std::make_unique<profile::Profile>(p);
            runWrites_ = writes;
            StartRun(Run::Write,
                     std::make_unique<profile::Sequence>(profile::WriteSteps(writes, profile::QueriesToVerify(p))));
        });
}

void DtuProfileGroup::Stop()
{
    ++starts_;
    if (run_)
        StopRun(tr("已停止"));
}

void DtuProfileGroup::Answered(const dtu::Response& r)
{
    if (run_->OnAnswer(r))
        StepAnswered();
}

void DtuProfileGroup::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != stepTimer_.timerId()) {
        QObject::timerEvent(e);
        return;
    }
    stepTimer_.stop();
    if (run_) {
        run_->GiveUp();
        SendStep();
    }
}

void DtuProfileGroup::StartRun(Run kind, std::unique_ptr<profile::Sequence> run)
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

void DtuProfileGroup::SendStep()
{
    const profile::Step* step = run_->Current();
    if (!step) {
        FinishRun();
        return;
    }
    page_.SetStatusText(tr("%1 %2/%3 …")
                           .arg(runKind_ == Run::Read ? tr("读取") : tr("写入"))
                           .arg(run_->Finished() + 1)
                           .arg(run_->Total()));
    // The clock is taken when its frame goes out, not when the plan was made.
    const dtu::Bytes frame = step->code == dtu::cmd::kSetClock ? dtu::BuildSetClock(host::LocalNow()) : step->frame;
    stepTimer_.start(dtu::kReplyTimeoutMs, this);
    ui::SendFrame(this, frame, [this](const QString& why) {
        if (run_)
            StopRun(why, records::kResultFailed, jobs::msg::kFrameNotTaken);
    });
}

void DtuProfileGroup::StepAnswered()
{
    stepTimer_.stop();
    SendStep();
}

void DtuProfileGroup::FinishRun()
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
    if (runKind_ == Run::Write) {
        const std::vector<profile::Checked> rows = profile::Compare(*runProfile_, runWrites_, run_->Read());
        ShowWriteReport(rows);
        // For the record: the settings read back different, then those
        // whose request went unanswered.
        std::string detail;
        for (const profile::Checked& c : rows)
            if (c.verdict == profile::Verdict::Differs)
                detail.append(detail.empty() ? "" : ", ").append(c.setting);
        for (const std::string& m : missing)
            detail.append(detail.empty() ? "no answer: " : "; no answer: ").append(m);
        CompleteRecord(detail.empty() ? records::kResultOk : records::kResultFailed, detail);
    }
    StopRun(done);
}

void DtuProfileGroup::CompleteRecord(std::string_view result, const std::string& detail)
{
    if (!record_)
        return;
    ui::CompletePageRecord(*record_, result, detail, this, [this](const QString& text) {
        ui::ShowMessage(page_.pageWidget(), page_.pageWidget()->windowTitle(), text, ui::Buttons::Ok,
                        QMessageBox::Warning);
    });
    record_.reset();
}

void DtuProfileGroup::StopRun(const QString& why, std::string_view result, const std::string& detail)
{
    stepTimer_.stop();
    CompleteRecord(result, detail);
    run_.reset();
    runProfile_.reset();
    runWrites_.clear();
    readAll_->setText(tr(kReadAll));
    writeAll_->setText(tr(kWriteAll));
    for (QPushButton* b : {readAll_, writeAll_, loadProfile_})
        b->setEnabled(true);
    page_.SetStatusText(why);
}

void DtuProfileGroup::ShowWriteReport(const std::vector<profile::Checked>& rows)
{
    if (!report_) {
        report_ = new WriteReportDialog(page_.pageWidget());
        report_->setWindowTitle(tr("全部写入结果"));
    }
    const int differs = report_->Show(rows, run_->Unanswered());
    QString summary = differs == 0 && run_->Unanswered().empty()
                          ? tr("全部 %1 项写入后读回一致。").arg(rows.size())
                          : tr("%1 项读回不一致，%2 个请求无应答。").arg(differs).arg(run_->Unanswered().size());
    if (const QString left = NotWrittenText(); !left.isEmpty())
        summary += u'\n' + left;
    // Said for the write that followed the load; later writes are the page's.
    loaded_.reset();
    report_->SetSummary(summary);
}

// ---- Profiles ----

void DtuProfileGroup::OnSaveProfile()
{
    std::string refusal;
    const std::string text = page_.ProfileText(&refusal);
    if (!refusal.empty()) {
        page_.Say(refusal);
        return;
    }
    const QString path = ui::GetSaveFileName(page_.pageWidget(), tr(kFilter), nullptr, QString::fromUtf8(kFolderKey));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const QByteArray bytes = QByteArray::fromStdString(text);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        ui::ShowMessage(page_.pageWidget(), ui::AppCaption(), tr("无法保存配置文件 %1：%2").arg(path, file.errorString()),
                        ui::Buttons::Ok, QMessageBox::Warning);
        return;
    }
    page_.SetStatusText(tr("配置已保存"));
}

void DtuProfileGroup::OnLoadProfile()
{
    const QString path = ui::GetOpenFileName(page_.pageWidget(), tr(kFilter), QString::fromUtf8(kFolderKey));
    if (path.isEmpty())
        return;
    const profile::ParsedProfile parsed = profile::LoadProfile(Std(path));
    if (!parsed.ok()) {
        QStringList lines;
        for (const std::string& e : parsed.errors)
            lines << Q(e);
        ui::ShowMessage(page_.pageWidget(), ui::AppCaption(), tr("配置文件有误，页面没有改动：\n") + lines.join(u'\n'),
                        ui::Buttons::Ok, QMessageBox::Warning);
        return;
    }
    page_.ApplyProfile(parsed.profile);
    loaded_ = std::make_unique<profile::Profile>(parsed.profile);
    page_.SetStatusText(tr("配置已载入（未发送）"));
    if (const QString left = NotWrittenText(); !left.isEmpty())
        ui::ShowMessage(page_.pageWidget(), ui::AppCaption(), left, ui::Buttons::Ok, QMessageBox::Warning);
}

QString DtuProfileGroup::NotWrittenText() const
{
    if (!loaded_)
        return {};
    const DtuModel model = page_.CurrentModel();
    const std::vector<std::string> names = NotSettable(*loaded_, model);
    if (names.empty())
        return {};
    QStringList list;
    for (const std::string& name : names)
        list << Q(name);
    return tr("Not written: %1: the %2 page cannot set them.").arg(list.join(QStringLiteral(", ")),
                                                                     QLatin1String(ModelName(model)));
}
