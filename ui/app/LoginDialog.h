// The password prompt in front of the firmware upgrade page. Asked on every
// use of the upgrade command; nothing is remembered.
#pragma once

#include <QDialog>

class QLineEdit;

class LoginDialog : public QDialog {
    Q_OBJECT
public:
    explicit LoginDialog(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private slots:
    void OnLogin();

private:
    QLineEdit* password_;
};
