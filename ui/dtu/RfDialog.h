// The wireless (RF) parameter dialog of the DTU page. Its two buttons send
// one request each; the answers arrive at the DTU page, which fills this
// dialog through Apply. Closing it only hides it, keeping its values.
#pragma once

#include "core/dtu/Frame.h"
#include "core/dtu/Rf.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace ui {
class DigitEdit;
}

class RfDialog : public QDialog {
    Q_OBJECT
public:
    explicit RfDialog(QWidget* parent);

    // The controls as a write would send them.
    dtu::RfSettings settings() const;
    // A read answer into the controls.
    void Apply(const dtu::RfRecord& record);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private slots:
    void OnWrite();
    void OnRead();

private:
    void Send(const dtu::Bytes& frame);

    QLineEdit* frequency_;
    QComboBox* sleep_;
    QComboBox* breath_;
    ui::DigitEdit* address_;
    QComboBox* power_;
    QPushButton* write_;
    QPushButton* read_;
};
