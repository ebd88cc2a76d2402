// The DTU page's restart and its wireless dialog, which only a KV-331 has.
// The dialog is made when first needed and shown again after.
#pragma once

#include "core/dtu/Rf.h"
#include "ui/dtu/DtuGroup.h"

#include <QObject>

class RfDialog;
class QGroupBox;
class QPushButton;

namespace profile {
struct DeviceSettings;
}

class DtuResetGroup : public QObject {
    Q_OBJECT
public:
    DtuResetGroup(DtuPageLink& page, QWidget* parent);

    QGroupBox* box() const { return box_; }
    // The wireless dialog, or nullptr before it was first needed.
    RfDialog* rfDialog() const { return rf_; }
    RfDialog* Rf();

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

    DtuPageLink& page_;
    RfDialog* rf_ = nullptr;
    QGroupBox* box_ = nullptr;
    QPushButton* restart_ = nullptr;
    QPushButton* wireless_ = nullptr;
};
