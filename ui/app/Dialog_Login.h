// The password prompt in front of the firmware upgrade page. Asked on every
// use of the upgrade command; nothing is remembered.
#pragma once

#include <QDialog>

class QLineEdit;

class CDialog_Login : public QDialog {
    Q_OBJECT
public:
    explicit CDialog_Login(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private slots:
    void OnLogin();

private:
    QLineEdit* password_;
};
