// The DTU page's form, its model enable table, its requests and the
// settings a profile holds; the answers are routed in DtuResponses.cpp.
#include "ui/dtu/DtuPage.h"

#include "core/dtu/Messages.h"
#include "core/profile/Profile.h"
#include "core/profile/Settings.h"
#include "ui/common/FastReplies.h"
#include "ui/common/Language.h"
#include "ui/common/MessageBox.h"
#include "ui/common/PortWrite.h"
#include "ui/common/Widgets.h"
#include "ui/dtu/DtuListsGroup.h"
#include "ui/dtu/DtuPacketsGroup.h"
#include "ui/dtu/DtuProfileGroup.h"
#include "ui/dtu/DtuResetGroup.h"
#include "ui/dtu/DtuSerialGroup.h"
#include "ui/dtu/DtuServerGroup.h"
#include "ui/dtu/DtuVersionGroup.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimerEvent>
#include <QVBoxLayout>

using namespace ui::dtu_internal;

namespace {

const char kCaption[] = QT_TRANSLATE_NOOP("DtuPage", "提示！");

}  // namespace

DtuPage::DtuPage(QWidget* parent) : FramePage(ui::kDtuFrame, tr("DTU参数设置"), parent)
{
    // Keys the saved position: kept as earlier versions saved it.
    setObjectName(QStringLiteral("CDtuDlg"));
    BuildForm();
    connect(model330M_, &QRadioButton::clicked, this, &DtuPage::OnModel330M);
    connect(model330N_, &QRadioButton::clicked, this, &DtuPage::OnModel330N);
    connect(model331_, &QRadioButton::clicked, this, &DtuPage::OnModel331);

    // The state every start comes up in.
    LoadData();
    model331_->setChecked(true);
    OnModel331();
}

DtuPage::~DtuPage() = default;

void DtuPage::BuildForm()
{
    // Made in the order of the tab chain.
    QGroupBox* model = BuildModelFrame();
    lists_ = new DtuListsGroup(*this, this);
    server_ = new DtuServerGroup(*this, this);
    version_ = new DtuVersionGroup(*this, this);
    QWidget* fastReplies = ui::FastReplies::MakeCheckBox(this);
    profile_ = new DtuProfileGroup(*this, this);
    packets_ = new DtuPacketsGroup(*this, this);
    serial_ = new DtuSerialGroup(*this, this);
    reset_ = new DtuResetGroup(*this, this);

    auto* left = new QVBoxLayout;
    left->addWidget(model);
    left->addWidget(lists_->phoneBox(), 1);
    left->addWidget(lists_->idBox(), 1);

    auto* middle = new QVBoxLayout;
    middle->addWidget(server_->serverBox());
    middle->addWidget(server_->modeBox());
    middle->addWidget(server_->modeButtonsBox());
    middle->addWidget(version_->box());
    middle->addWidget(fastReplies);
    middle->addWidget(profile_->box());
    middle->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(packets_->apnBox());
    right->addWidget(packets_->packetBox());
    right->addWidget(serial_->uartBox());
    auto* lastRow = new QHBoxLayout;
    lastRow->addWidget(serial_->clockBox());
    lastRow->addWidget(reset_->box());
    right->addLayout(lastRow);
    right->addStretch();

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 10);
    columns->addLayout(middle, 10);
    columns->addLayout(right, 11);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 0);
    layout->addLayout(columns, 1);
    BuildStatusBar(layout);
}

QGroupBox* DtuPage::BuildModelFrame()
{
    auto* box = new QGroupBox(tr("产品型号:"), this);
    model330M_ = Radio(box, 1062, "model330MRadio", "KV-330-M");
    model330N_ = Radio(box, 1063, "model330NRadio", "KV-330-N");
    model331_ = Radio(box, 1064, "model331Radio", "KV-331");
    auto* group = new QButtonGroup(box);
    group->addButton(model330M_);
    group->addButton(model330N_);
    group->addButton(model331_);
    box->setLayout(Buttons({model330M_, model330N_, model331_}));
    return box;
}

void DtuPage::BuildStatusBar(QLayout* layout)
{
    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("statusBar"));
    status->setSizeGripEnabled(false);
    status->setFixedHeight(22);
    const QString texts[] = {tr("就绪"), QStringLiteral("None"), tr("运行正常")};
    const QString roles[] = {tr("页面状态"), tr("请求与应答状态"), tr("运行状态")};
    for (int i = 0; i < 3; ++i) {
        panes_[i] = ui::Label(texts[i], status);
        panes_[i]->setObjectName(QStringLiteral("pane%1").arg(i));
        panes_[i]->setAccessibleDescription(roles[i]);
        if (i < 2)
            panes_[i]->setFixedWidth(260);
        status->addWidget(panes_[i], i == 2 ? 1 : 0);
    }
    layout->addWidget(status);
}

RfDialog* DtuPage::rfDialog() const
{
    return reset_->rfDialog();
}

QString DtuPage::paneText(int pane) const
{
    return pane >= 0 && pane < 3 ? panes_[pane]->text() : QString();
}

bool DtuPage::running() const
{
    return profile_->running();
}

QString DtuPage::remotePortText() const
{
    return server_->portText();
}

dtu::Bytes DtuPage::packetsRequest() const
{
    return packets_->packetsRequest();
}

void DtuPage::SaveData()
{
    lists_->SaveData();
    server_->SaveData();
}

void DtuPage::LoadData()
{
    lists_->LoadData();
    server_->LoadData();
}

void DtuPage::ApplyModel(DtuModel model)
{
    server_->ApplyModel(model);
    lists_->ApplyModel(model);
    packets_->ApplyModel(model);
    reset_->ApplyModel(model);
    // The rest (ID entry, server, version, APN, serial, clock, restart)
    // stays enabled on every model.
}

void DtuPage::OnModel330M()
{
    ApplyModel(DtuModel::M330M);
}

void DtuPage::OnModel330N()
{
    ApplyModel(DtuModel::M330N);
}

void DtuPage::OnModel331()
{
    ApplyModel(DtuModel::M331);
}

DtuModel DtuPage::CurrentModel() const
{
    if (model330M_->isChecked())
        return DtuModel::M330M;
    return model330N_->isChecked() ? DtuModel::M330N : DtuModel::M331;
}

// Requests.

void DtuPage::SetStatus(const char* text)
{
    panes_[1]->setText(ui::CoreText("dtu::msg", text));
}

void DtuPage::SetStatusText(const QString& text)
{
    panes_[1]->setText(text);
}

void DtuPage::Send(const dtu::Bytes& frame)
{
    SetStatus(dtu::msg::kPending);
    replyTimer_.start(kReplyTimeoutMs, this);
    ui::SendFrame(this, frame, [this](const QString& why) {
        // An answer can have come meanwhile only to an earlier request.
        replyTimer_.stop();
        panes_[1]->setText(why);
    });
}

void DtuPage::SendBuilt(const dtu::Built& built)
{
    if (built.ok())
        Send(built.frame);
    else
        Say(built.message);
}

void DtuPage::SendQuery(std::uint8_t code)
{
    Send(*dtu::BuildQuery(code));
}

void DtuPage::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != replyTimer_.timerId()) {
        FramePage::timerEvent(e);
        return;
    }
    replyTimer_.stop();
    if (panes_[1]->text() == QLatin1String(dtu::msg::kPending))
        SetStatus(kNoReply);
}

void DtuPage::Say(const char* text)
{
    ui::ShowMessage(this, tr(kCaption), ui::CoreText("dtu::msg", text));
}

bool DtuPage::Confirm(const char* text)
{
    return ui::ShowMessage(this, tr(kCaption), ui::CoreText("dtu::msg", text), ui::Buttons::OkCancel) ==
           QMessageBox::Ok;
}

void DtuPage::hideEvent(QHideEvent* e)
{
    profile_->Stop();
    FramePage::hideEvent(e);
}

// Profiles.

std::optional<profile::DeviceSettings> DtuPage::PageSettings(unsigned queries, std::string* refusal) const
{
    profile::DeviceSettings s;
    lists_->Settings(queries, s);
    if (!server_->Settings(queries, s, refusal))
        return std::nullopt;
    serial_->Settings(queries, s);
    packets_->Settings(queries, s);
    reset_->Settings(queries, s);
    return s;
}

std::string DtuPage::ProfileText(std::string* refusal) const
{
    const std::optional<profile::DeviceSettings> s = PageSettings(ModelQueries(CurrentModel()), refusal);
    return s ? profile::SettingsProfile(*s) : std::string();
}

void DtuPage::ApplyProfile(const profile::Profile& p)
{
    lists_->Apply(p);
    server_->Apply(p);
    serial_->Apply(p);
    packets_->Apply(p);
    reset_->Apply(p);
}

void DtuPage::CompleteWrite(profile::Profile& p) const
{
    packets_->CompleteWrite(p);
    reset_->CompleteWrite(p);
}
