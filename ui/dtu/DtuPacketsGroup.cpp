#include "ui/dtu/DtuPacketsGroup.h"

#include "core/dtu/Commands.h"
#include "core/profile/Profile.h"
#include "core/profile/Provision.h"
#include "ui/common/HexEdits.h"
#include "ui/common/LineEdits.h"
#include "ui/common/Widgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

using namespace ui::dtu_internal;

DtuPacketsGroup::DtuPacketsGroup(DtuPageLink& page, QWidget* parent) : QObject(parent), page_(page)
{
    apnBox_ = BuildApnBox(parent);
    packetBox_ = BuildPacketBox(parent);
    Connect();

    for (QLineEdit* e : {apn_, apnUser_, apnPassword_})
        e->setMaxLength(32);
    apn_->setText(QStringLiteral("CMNET"));
    heartbeatEdit_->setMaxLength(30);
    registrationEdit_->setMaxLength(96);
}

QGroupBox* DtuPacketsGroup::BuildApnBox(QWidget* parent)
{
    auto* box = new QGroupBox(tr("运营商管理"), parent);
    apn_ = ui::Tag(new QLineEdit(box), 1053, "apnEdit");
    apnUser_ = ui::Tag(new QLineEdit(box), 1054, "apnUserEdit");
    apnPassword_ = ui::Tag(new QLineEdit(box), 1055, "apnPasswordEdit");
    setApn_ = ui::Button(box, tr("设置APN"), "setApnButton", 1056);
    auto* grid = new QGridLayout(box);
    Row(grid, 0, "APN:", apn_);
    Row(grid, 1, "Name:", apnUser_);
    Row(grid, 2, "Pwd:", apnPassword_);
    grid->addWidget(setApn_, 2, 2);
    return box;
}

QGroupBox* DtuPacketsGroup::BuildPacketBox(QWidget* parent)
{
    auto* box = new QGroupBox(tr("心跳自定义"), parent);
    heartbeatEdit_ = ui::Tag(new HexLineEdit(box), 1057, "heartbeatEdit");
    registrationEdit_ = ui::Tag(new HexLineEdit(box), 1058, "registrationEdit");
    hex_ = Check(box, 1067, "hexCheck", "Hex");
    hex_->setAccessibleDescription(tr("以十六进制显示心跳和注册包，并在所有十六进制输入框中只接受十六进制数字"));
    customPackets_ = Check(box, 1066, "customPacketsCheck", tr("自定义"));
    writePackets_ = ui::Button(box, tr("写入"), "writePacketsButton", 1061);
    readPackets_ = ui::Button(box, tr("读取"), "readPacketsButton", 1032);
    auto* grid = new QGridLayout(box);
    Row(grid, 0, tr("心跳:"), heartbeatEdit_, 0, 3);
    Row(grid, 1, tr("注册:"), registrationEdit_, 0, 3);
    grid->addWidget(hex_, 2, 1);
    grid->addWidget(customPackets_, 2, 2);
    grid->addLayout(Buttons({writePackets_, readPackets_}), 2, 3);
    grid->setColumnStretch(3, 1);
    return box;
}

void DtuPacketsGroup::Connect()
{
    connect(setApn_, &QPushButton::clicked, this, &DtuPacketsGroup::OnSetApn);
    connect(writePackets_, &QPushButton::clicked, this, &DtuPacketsGroup::OnWritePackets);
    connect(readPackets_, &QPushButton::clicked, this, &DtuPacketsGroup::OnReadPackets);
    connect(hex_, &QCheckBox::clicked, this, &DtuPacketsGroup::OnHex);
}

dtu::Bytes DtuPacketsGroup::packetsRequest() const
{
    return dtu::BuildWritePackets(Std(heartbeatEdit_->text()), Std(registrationEdit_->text()),
                                  customPackets_->isChecked(), hex_->isChecked());
}

void DtuPacketsGroup::ApplyModel(DtuModel model)
{
    Enable({heartbeatEdit_, registrationEdit_, hex_, customPackets_, writePackets_, readPackets_},
           model != DtuModel::M330M);
}

void DtuPacketsGroup::ShowPackets(const dtu::Packets& p)
{
    heartbeat_ = p.heartbeat;
    registration_ = p.registration;
    ShowPackets();
    customPackets_->setChecked(p.custom);
}

void DtuPacketsGroup::ShowPackets()
{
    const bool hex = hex_->isChecked();
    heartbeatEdit_->setText(Q(dtu::PacketText(heartbeat_, hex)));
    registrationEdit_->setText(Q(dtu::PacketText(registration_, hex)));
}

void DtuPacketsGroup::Settings(unsigned queries, profile::DeviceSettings& s) const
{
    if (!(queries & profile::kPackets))
        return;
    const profile::PacketPair p = profile::PacketsOfWrite(dtu::BuildWritePackets(
        Std(heartbeatEdit_->text()), Std(registrationEdit_->text()), false, hex_->isChecked()));
    s.packets = dtu::Packets{customPackets_->isChecked(), p.heartbeat, p.registration};
}

void DtuPacketsGroup::Apply(const profile::Profile& p)
{
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
}

void DtuPacketsGroup::CompleteWrite(profile::Profile& p) const
{
    p.apn = profile::Profile::Apn{Std(apn_->text()), Std(apnUser_->text()), Std(apnPassword_->text())};
}

void DtuPacketsGroup::OnSetApn()
{
    page_.Send(dtu::BuildSetApn(Std(apn_->text()), Std(apnUser_->text()), Std(apnPassword_->text())));
}

void DtuPacketsGroup::OnWritePackets()
{
    page_.Send(packetsRequest());
}

void DtuPacketsGroup::OnReadPackets()
{
    page_.SendQuery(dtu::cmd::kReadPackets);
}

void DtuPacketsGroup::OnHex()
{
    ui::SetHexInputOnly(hex_->isChecked());
    // The edits show the packets of the last read in the new form; what
    // was typed is replaced.
    ShowPackets();
}
