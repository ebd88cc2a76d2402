#include "ui/pages/SmsPage.h"

#include "core/dtu/Messages.h"
#include "ui/common/Language.h"
#include "ui/common/MessageBox.h"
#include "ui/common/PortWrite.h"
#include "ui/common/Widgets.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>

namespace pages {

namespace {

// A group box holding one widget.
QGroupBox* Framing(const QString& caption, QWidget* content, QWidget* parent)
{
    auto* box = new QGroupBox(caption, parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

}  // namespace

SmsPage::SmsPage(QEvent::Type frameType, const QString& caption, const QString& messageCaption,
                 QLineEdit* messageEdit, QWidget* parent)
    : FramePage(frameType, caption, parent)
{
    // Receive area, replaced by every completed frame.
    auto* receiveBox = new QGroupBox(tr("短信接收"), this);
    receive_ = ui::Tag(new QPlainTextEdit(receiveBox), 1048, "receiveEdit");
    receive_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    receive_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    receive_->setMinimumSize(380, 90);
    ui::NameAfter(receive_, receiveBox->title());
    clear_ = ui::Tag(new QPushButton(tr("清除"), receiveBox), 1016, "clearButton");
    auto* receiveLayout = new QVBoxLayout(receiveBox);
    receiveLayout->addWidget(receive_);
    auto* clearRow = new QHBoxLayout;
    clearRow->addStretch();
    clearRow->addWidget(clear_);
    receiveLayout->addLayout(clearRow);

    // Send controls.
    auto* sendBox = new QGroupBox(tr("短信发送"), this);
    phone_ = ui::Tag(new QLineEdit(sendBox), 1011, "phoneEdit");
    // Digits only, of any length: the first eleven are sent.
    phone_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), phone_));
    message_ = ui::Tag(messageEdit, 1013, "messageEdit");
    protocol_ = ui::Tag(new QRadioButton(tr("协议"), sendBox), 1039, "protocolRadio");
    transparent_ = ui::Tag(new QRadioButton(tr("透传"), sendBox), 1040, "transparentRadio");
    group_ = ui::Tag(new QCheckBox(tr("群发"), sendBox), 1031, "groupCheck");
    send_ = ui::Tag(new QPushButton(tr("发送"), sendBox), 1012, "sendButton");
    send_->setMinimumWidth(100);

    QGroupBox* phoneBox = Framing(tr("手机"), phone_, sendBox);
    QGroupBox* messageBox = Framing(messageCaption, message_, sendBox);
    ui::NameAfter(phone_, phoneBox->title());
    ui::NameAfter(message_, messageBox->title());
    auto* modeBox = new QGroupBox(tr("短信模式"), sendBox);
    auto* modeLayout = new QHBoxLayout(modeBox);
    modeLayout->addWidget(protocol_);
    modeLayout->addWidget(transparent_);
    modeLayout->addWidget(group_);
    auto* sendGroup = new QGroupBox(tr("传输"), sendBox);
    auto* sendLayout = new QHBoxLayout(sendGroup);
    sendLayout->addStretch();
    sendLayout->addWidget(send_);
    sendLayout->addStretch();

    auto* grid = new QGridLayout(sendBox);
    grid->addWidget(phoneBox, 0, 0);
    grid->addWidget(modeBox, 0, 1);
    grid->addWidget(messageBox, 1, 0);
    grid->addWidget(sendGroup, 1, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(receiveBox, 1);
    layout->addWidget(sendBox);

    // Enter in a field presses nothing: a send is always a deliberate click.
    for (QPushButton* b : {clear_, send_})
        b->setAutoDefault(false);

    connect(group_, &QCheckBox::clicked, this, &SmsPage::OnGroupClicked);
    connect(protocol_, &QRadioButton::clicked, this, &SmsPage::OnProtocolClicked);
    connect(transparent_, &QRadioButton::clicked, this, &SmsPage::OnTransparentClicked);
    connect(send_, &QPushButton::clicked, this, &SmsPage::OnSend);
    connect(clear_, &QPushButton::clicked, this, &SmsPage::OnClear);

    // Initial state: protocol mode, group send off, the phone field enabled.
    protocol_->setChecked(true);
    group_->setChecked(false);
    phone_->setEnabled(true);
    message_->setFocus();
    resize(500, 360);
}

void SmsPage::OnGroupClicked()
{
    phone_->setEnabled(!group_->isChecked());
}

void SmsPage::OnProtocolClicked()
{
    group_->setChecked(false);
    group_->setEnabled(true);
    phone_->setEnabled(true);
}

void SmsPage::OnTransparentClicked()
{
    group_->setChecked(true);
    group_->setEnabled(false);
    phone_->setEnabled(false);
}

void SmsPage::OnSend()
{
    SmsTarget target;
    target.protocol = protocol_->isChecked();
    target.group = group_->isChecked();
    target.number = phone_->text().toStdString();
    const std::string message = message_->text().toStdString();
    const Built built = Build(target, message);
    if (!built.ok()) {
        QString text = ui::CoreText("dtu::msg", built.message.c_str());
        if (built.message == dtu::msg::kFrameTooLong)
            text += QStringLiteral("\n\n") + LimitText(SmsDataLimit(target), message);
        ui::ShowMessage(this, ui::AppCaption(), text, ui::Buttons::Ok, QMessageBox::Warning);
        return;
    }
    // An empty transparent send writes nothing.
    if (!built.frame.empty())
        ui::SendFrameOrSay(this, built.frame, ui::AppCaption());
}

void SmsPage::OnClear()
{
    receive_->clear();
}

void SmsPage::OnFrame(const ui::FrameEvent& frame)
{
    receive_->setPlainText(QString::fromStdString(FormatReceived(frame.bytes())));
}

}  // namespace pages
