// The DTU page's restart and its wireless dialog, which only a KV-331 has.
// The dialog is made when first needed and shown again after.
#pragma once

#include "dtu/DtuGroup.h"
#include "dtu/Rf.h"

#include <QObject>

class CDialog_Rf_Setup;
class QGroupBox;
class QPushButton;

namespace profile {
struct DeviceSettings;
}

class CDtuResetGroup : public QObject {
    Q_OBJECT
public:
    CDtuResetGroup(CDtuPageLink& page, QWidget* parent);

    QGroupBox* box() const { return box_; }
    // The wireless dialog, or nullptr before it was first needed.
    CDialog_Rf_Setup* rfDialog() const { return rf_; }
    CDialog_Rf_Setup* Rf();

    void ApplyModel(DtuModel model);
    void Settings(unsigned queries, profile::DeviceSettings& s) const;
    void Apply(const profile::Profile& p);
    // Whole MHz of the frequency shown, as the dialog sends it.
    void CompleteWrite(profile::Profile& p) const;

private slots:
    void OnRestart();
    void OnWireless();

private:
    dtu::RfSettings RfShown() const;

    CDtuPageLink& page_;
    CDialog_Rf_Setup* rf_ = nullptr;
    QGroupBox* box_ = nullptr;
    QPushButton* restart_ = nullptr;
    QPushButton* wireless_ = nullptr;
};
