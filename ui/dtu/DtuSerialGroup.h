// The DTU page's serial settings (baud rate, parity, interface) and its
// clock, set from this computer's.
#pragma once

#include "core/dtu/Responses.h"
#include "ui/dtu/DtuGroup.h"

#include <QObject>

class QComboBox;
class QGroupBox;
class QPushButton;

namespace profile {
struct DeviceSettings;
}

class DtuSerialGroup : public QObject {
    Q_OBJECT
public:
    DtuSerialGroup(DtuPageLink& page, QWidget* parent);

    QGroupBox* uartBox() const { return uartBox_; }
    QGroupBox* clockBox() const { return clockBox_; }

    void ShowUart(const dtu::UartIndexes& u);
    void Settings(unsigned queries, profile::DeviceSettings& s) const;
    void Apply(const profile::Profile& p);

private slots:
    void OnWriteUart();
    void OnReadUart();
    void OnSetClock();
    void OnReadClock();

private:
    QGroupBox* BuildUartBox(QWidget* parent);
    QGroupBox* BuildClockBox(QWidget* parent);

    DtuPageLink& page_;

    QGroupBox* uartBox_ = nullptr;
    QComboBox* baud_ = nullptr;
    QComboBox* parity_ = nullptr;
    QComboBox* interface_ = nullptr;
    QPushButton* writeUart_ = nullptr;
    QPushButton* readUart_ = nullptr;

    QGroupBox* clockBox_ = nullptr;
    QPushButton* setClock_ = nullptr;
    QPushButton* readClock_ = nullptr;
};
