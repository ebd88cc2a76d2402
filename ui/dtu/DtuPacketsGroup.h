// The DTU page's APN and its heartbeat and registration packets. The
// packets show in hex or as text ("Hex"), which also sets what every hex
// edit of the window accepts.
#pragma once

#include "core/dtu/Responses.h"
#include "ui/dtu/DtuGroup.h"

#include <QObject>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace profile {
struct DeviceSettings;
}

class DtuPacketsGroup : public QObject {
    Q_OBJECT
public:
    DtuPacketsGroup(DtuPageLink& page, QWidget* parent);

    QGroupBox* apnBox() const { return apnBox_; }
    QGroupBox* packetBox() const { return packetBox_; }

    // The packets as "写入" would send them now (the whole request frame).
    dtu::Bytes packetsRequest() const;
    void ApplyModel(DtuModel model);
    void ShowPackets(const dtu::Packets& p);

    void Settings(unsigned queries, profile::DeviceSettings& s) const;
    void Apply(const profile::Profile& p);
    // The APN as a write sends it.
    void CompleteWrite(profile::Profile& p) const;

private slots:
    void OnSetApn();
    void OnWritePackets();
    void OnReadPackets();
    void OnHex();

private:
    QGroupBox* BuildApnBox(QWidget* parent);
    QGroupBox* BuildPacketBox(QWidget* parent);
    void Connect();
    void ShowPackets();

    DtuPageLink& page_;
    dtu::Bytes heartbeat_;  // the packets of the last read answer
    dtu::Bytes registration_;

    QGroupBox* apnBox_ = nullptr;
    QLineEdit* apn_ = nullptr;
    QLineEdit* apnUser_ = nullptr;
    QLineEdit* apnPassword_ = nullptr;
    QPushButton* setApn_ = nullptr;

    QGroupBox* packetBox_ = nullptr;
    QLineEdit* heartbeatEdit_ = nullptr;
    QLineEdit* registrationEdit_ = nullptr;
    QCheckBox* hex_ = nullptr;
    QCheckBox* customPackets_ = nullptr;
    QPushButton* writePackets_ = nullptr;
    QPushButton* readPackets_ = nullptr;
};
