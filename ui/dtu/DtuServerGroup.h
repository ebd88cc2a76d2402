// The DTU page's server (IP address or domain, port) and working mode: the
// protocol transfer with its options, or the transparent one with its way.
#pragma once

#include "core/dtu/Responses.h"
#include "ui/dtu/DtuGroup.h"

#include <QObject>
#include <QString>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace profile {
struct DeviceSettings;
}
namespace ui {
class IpAddressEdit;
}

class DtuServerGroup : public QObject {
    Q_OBJECT
public:
    DtuServerGroup(DtuPageLink& page, QWidget* parent);

    QGroupBox* serverBox() const { return serverBox_; }
    QGroupBox* modeBox() const { return modeBox_; }
    QGroupBox* modeButtonsBox() const { return modeButtonsBox_; }

    QString portText() const;
    void ApplyModel(DtuModel model);
    // The server's and mode's part of the page's dialog data.
    void SaveData();
    void LoadData();

    void ShowNetParams(const dtu::Response& r);

    // False, with the refusal, for a port the DTU would not take.
    bool Settings(unsigned queries, profile::DeviceSettings& s, std::string* refusal) const;
    void Apply(const profile::Profile& p);

private slots:
    void OnSetAddress();
    void OnSetPort();
    void OnProtocolTransfer();
    void OnTransparentTransfer();
    void OnSetMode();
    void OnDefaultMode();
    void OnReadNetParams();

private:
    // The dialog data: what the exchanged controls hold.
    struct Data {
        int transferKind = 0;
        int subMode = 0;
        int addressKind = 0;
        QString domain;
        QString port;
    };

    QGroupBox* BuildServerBox(QWidget* parent);
    QGroupBox* BuildModeBox(QWidget* parent);
    QGroupBox* BuildModeButtonsBox(QWidget* parent);
    void Connect();
    void SetTransferControls(bool optionsEnabled);

    DtuPageLink& page_;
    Data data_;

    QGroupBox* serverBox_ = nullptr;
    ui::IpAddressEdit* ip_ = nullptr;
    QLineEdit* domain_ = nullptr;
    QButtonGroup* addressKind_ = nullptr;
    QRadioButton* ipRadio_ = nullptr;
    QRadioButton* domainRadio_ = nullptr;
    QPushButton* setAddress_ = nullptr;
    QLineEdit* port_ = nullptr;
    QPushButton* setPort_ = nullptr;

    QGroupBox* modeBox_ = nullptr;
    QButtonGroup* transferKind_ = nullptr;
    QRadioButton* protocol_ = nullptr;
    QRadioButton* transparent_ = nullptr;
    QCheckBox* smsOption_ = nullptr;
    QCheckBox* smsHexOption_ = nullptr;
    QCheckBox* tcpOption_ = nullptr;
    QButtonGroup* subMode_ = nullptr;
    QRadioButton* smsMode_ = nullptr;
    QRadioButton* smsHexMode_ = nullptr;
    QRadioButton* tcpMode_ = nullptr;

    QGroupBox* modeButtonsBox_ = nullptr;
    QPushButton* setMode_ = nullptr;
    QPushButton* defaultMode_ = nullptr;
    QPushButton* readNet_ = nullptr;
};
