#include "dtu/DtuResetGroup.h"

#include "common/Widgets.h"
#include "dtu/Commands.h"
#include "dtu/Dialog_Rf_Setup.h"
#include "profile/Profile.h"
#include "profile/Provision.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>

using namespace dtuform;

CDtuResetGroup::CDtuResetGroup(CDtuPageLink& page, QWidget* parent) : QObject(parent), page_(page)
{
    box_ = new QGroupBox(tr("系统复位"), parent);
    restart_ = ui::Button(box_, tr("重启DTU"), "restartButton", 1029);
    wireless_ = ui::Button(box_, tr("无线配置"), "wirelessButton", 1030);
    box_->setLayout(Buttons({restart_, wireless_}));
    connect(restart_, &QPushButton::clicked, this, &CDtuResetGroup::OnRestart);
    connect(wireless_, &QPushButton::clicked, this, &CDtuResetGroup::OnWireless);
}

CDialog_Rf_Setup* CDtuResetGroup::Rf()
{
    if (!rf_)
        rf_ = new CDialog_Rf_Setup(page_.pageWidget());
    return rf_;
}

dtu::RfSettings CDtuResetGroup::RfShown() const
{
    // Before the dialog was first opened it would show its defaults.
    return rf_ ? rf_->settings() : dtu::RfSettings{"434.00"};
}

void CDtuResetGroup::ApplyModel(DtuModel model)
{
    wireless_->setEnabled(model == DtuModel::M331);
}

void CDtuResetGroup::Settings(unsigned queries, profile::DeviceSettings& s) const
{
    if (!(queries & profile::kRf))
        return;
    const dtu::RfSettings rf = RfShown();
    s.rf = dtu::RfRecord{rf.frequency, rf.sleepIndex, rf.breathIndex, rf.address, rf.powerIndex};
}

void CDtuResetGroup::Apply(const profile::Profile& p)
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

void CDtuResetGroup::CompleteWrite(profile::Profile& p) const
{
    // The dialog sends whole MHz of what it shows ("433.91" is 433).
    if (p.rf)
        p.rf->frequencyMhz = dtu::LeadingInteger(RfShown().frequency);
}

void CDtuResetGroup::OnRestart()
{
    page_.SendQuery(dtu::cmd::kRestart);
}

void CDtuResetGroup::OnWireless()
{
    CDialog_Rf_Setup* dialog = Rf();
    dialog->showNormal();
    dialog->raise();
    dialog->activateWindow();
}
