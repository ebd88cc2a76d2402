#include "ui/app/LoginDialog.h"
#include "ui/common/Widgets.h"

#include "ui/common/MessageBox.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kPassword = QStringLiteral("QWPZ");

}  // namespace

LoginDialog::LoginDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CDialog_Login"));
    setWindowTitle(QStringLiteral("Login"));

    auto* label = ui::Label(tr("输入口令:"), this);
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("passwordEdit"));
    password_->setProperty("controlId", 1011);
    password_->setEchoMode(QLineEdit::Password);
    label->setBuddy(password_);

    auto* login = new QPushButton(tr("登录"), this);
    login->setObjectName(QStringLiteral("loginButton"));
    login->setProperty("controlId", 1012);
    auto* exit = new QPushButton(tr("退出"), this);
    exit->setObjectName(QStringLiteral("exitButton"));
    exit->setProperty("controlId", 1014);
    // Enter is ours to handle (it checks the password); no default button.
    login->setAutoDefault(false);
    exit->setAutoDefault(false);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(password_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(login);
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);

    connect(login, &QPushButton::clicked, this, &LoginDialog::OnLogin);
    connect(exit, &QPushButton::clicked, this, &LoginDialog::reject);
}

void LoginDialog::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        OnLogin();
        return;
    case Qt::Key_Escape:
        return;  // the prompt stays; "退出" or the close box cancel it
    default:
        QDialog::keyPressEvent(e);
    }
}

void LoginDialog::OnLogin()
{
    // Exact and case-sensitive, over the whole text.
    if (password_->text() == kPassword) {
        accept();
        return;
    }
    ui::ShowMessage(this, ui::AppCaption(), tr("输入口令错误,请重新输入！"), ui::Buttons::Ok,
                    QMessageBox::Warning);
    // The text stays, selected, so that typing the right one replaces it.
    password_->setFocus();
    password_->selectAll();
}
