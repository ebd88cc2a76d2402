#include "ui/dtu/DtuResetGroup.h"

#include "core/dtu/Commands.h"
#include "core/profile/Profile.h"
#include "core/profile/Provision.h"
#include "ui/common/Widgets.h"
#include "ui/dtu/RfDialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>

using namespace ui::dtu_internal;

DtuResetGroup::DtuResetGroup(DtuPageLink& page, QWidget* parent) : QObject(parent), page_(page)
{
    box_ = new QGroupBox(tr("系统复位"), parent);
    restart_ = ui::Button(box_, tr("重启DTU"), "restartButton", 1029);
    wireless_ = ui::Button(box_, tr("无线配置"), "wirelessButton", 1030);
    box_->setLayout(Buttons({restart_, wireless_}));
    connect(restart_, &QPushButton::clicked, this, &DtuResetGroup::OnRestart);
    connect(wireless_, &QPushButton::clicked, this, &DtuResetGroup::OnWireless);
}

RfDialog* DtuResetGroup::Rf()
{
    if (!rf_)
        rf_ = new RfDialog(page_.pageWidget());
    return rf_;
}

dtu::RfSettings DtuResetGroup::RfShown() const
{
    // Before the dialog was first opened it would show its defaults.
    return rf_ ? rf_->settings() : dtu::RfSettings{"434.00"};
}

void DtuResetGroup::ApplyModel(DtuModel model)
{
    wireless_->setEnabled(model == DtuModel::M331);
}

void DtuResetGroup::Settings(unsigned queries, profile::DeviceSettings& s) const
{
    if (!(queries & profile::kRf))
        return;
    const dtu::RfSettings rf = RfShown();
    s.rf = dtu::RfRecord{rf.frequency, rf.sleepIndex, rf.breathIndex, rf.address, rf.powerIndex};
}

void DtuResetGroup::Apply(const profile::Profile& p)
{
    if (!p.rf)
        return;
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

void DtuResetGroup::CompleteWrite(profile::Profile& p) const
{
    // The dialog sends whole MHz of what it shows ("433.91" is 433).
    if (p.rf)
        p.rf->frequencyMhz = dtu::LeadingInteger(RfShown().frequency);
}

void DtuResetGroup::OnRestart()
{
    page_.SendQuery(dtu::cmd::kRestart);
}

void DtuResetGroup::OnWireless()
{
    RfDialog* dialog = Rf();
    dialog->showNormal();
    dialog->raise();
    dialog->activateWindow();
}
