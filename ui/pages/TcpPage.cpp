#include "ui/pages/TcpPage.h"

#include "core/dtu/Messages.h"
#include "core/pages/DataFrame.h"
#include "ui/common/HexEdits.h"
#include "ui/common/Language.h"
#include "ui/common/MessageBox.h"
#include "ui/common/PortWrite.h"
#include "ui/common/Widgets.h"
#include "ui/pages/SmsPage.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr const char* kTip = QT_TRANSLATE_NOOP("TcpPage", "提示！");

// The send buttons stand in a row of equal width.
QPushButton* WideButton(QWidget* parent, const QString& caption, const char* name, int id)
{
    auto* b = ui::Button(parent, caption, name, id);
    b->setMinimumWidth(86);
    return b;
}

}  // namespace

TcpPage::TcpPage(QWidget* parent) : FramePage(ui::kTcpFrame, tr("TCP数据传输"), parent)
{
    // Keys the saved position: kept as earlier versions saved it.
    setObjectName(QStringLiteral("CTcpDlg"));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    auto* receiveBox = new QGroupBox(tr("TCP数据接收区:"), this);
    log_ = ui::Tag(new QPlainTextEdit(receiveBox), 1049, "receiveLog");
    log_->setReadOnly(true);
    log_->setUndoRedoEnabled(false);  // an undo history would keep every dropped byte
    log_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log_->setFont(fixed);
    log_->document()->setMaximumBlockCount(kLogBlocks);
    log_->setMinimumSize(300, 110);
    log_->setToolTip(tr("只保留最新收到的约 1 MB 文本（约 34 万字节），更早的数据自动丢弃"));
    ui::NameAfter(log_, receiveBox->title());
    (new QVBoxLayout(receiveBox))->addWidget(log_);

    auto* sendBox = new QGroupBox(tr("TCP数据发送区:"), this);
    send_ = ui::Tag(new HexTextEdit(sendBox), 1048, "sendEdit");
    send_->setFont(fixed);
    send_->setMinimumSize(300, 110);
    ui::NameAfter(send_, sendBox->title());
    (new QVBoxLayout(sendBox))->addWidget(send_);

    auto* clearBox = new QGroupBox(tr("清空数据区"), this);
    clearReceive_ = WideButton(clearBox, tr("清空接收区"), "clearReceiveButton", 1017);
    clearAll_ = WideButton(clearBox, tr("清空全部"), "clearAllButton", 1018);
    auto* clearLayout = new QHBoxLayout(clearBox);
    clearLayout->addWidget(clearReceive_);
    clearLayout->addWidget(clearAll_);

    // The group's caption is drawn dimmed, as users know the page; its
    // buttons work.
    auto* modeBox = new QGroupBox(tr("模式切换"), this);
    modeBox->setObjectName(QStringLiteral("modeGroup"));
    modeBox->setStyleSheet(QStringLiteral("QGroupBox#modeGroup::title { color: palette(mid); }"));
    protocol_ = ui::Tag(new QRadioButton(tr("协议模式"), modeBox), 1039, "protocolRadio");
    transparent_ = ui::Tag(new QRadioButton(tr("透传模式"), modeBox), 1040, "transparentRadio");
    auto* modeLayout = new QHBoxLayout(modeBox);
    modeLayout->addWidget(protocol_);
    modeLayout->addWidget(transparent_);

    auto* addressBox = new QGroupBox(tr("通迅MAC地址"), this);
    address_ = ui::Tag(new QLineEdit(addressBox), 1011, "addressEdit");
    address_->setFont(fixed);
    address_->setPlaceholderText(tr("12位十六进制数字"));
    ui::NameAfter(address_, addressBox->title());
    (new QVBoxLayout(addressBox))->addWidget(address_);

    auto* sendButtons = new QGroupBox(tr("数据发送"), this);
    oneToMany_ = WideButton(sendButtons, tr("1对多发送"), "oneToManyButton", 1012);
    oneToOne_ = WideButton(sendButtons, tr("1对1发送"), "oneToOneButton", 1013);
    auto* sendLayout = new QHBoxLayout(sendButtons);
    sendLayout->addWidget(oneToMany_);
    sendLayout->addWidget(oneToOne_);

    auto* grid = new QGridLayout(this);
    grid->addWidget(receiveBox, 0, 0, 2, 1);
    grid->addWidget(clearBox, 0, 1);
    grid->addWidget(modeBox, 1, 1);
    grid->addWidget(sendBox, 2, 0, 2, 1);
    grid->addWidget(addressBox, 2, 1);
    grid->addWidget(sendButtons, 3, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(2, 1);

    connect(oneToMany_, &QPushButton::clicked, this, &TcpPage::OnOneToMany);
    connect(oneToOne_, &QPushButton::clicked, this, &TcpPage::OnOneToOne);
    connect(clearReceive_, &QPushButton::clicked, this, &TcpPage::OnClearReceive);
    connect(clearAll_, &QPushButton::clicked, this, &TcpPage::OnClearAll);

    protocol_->setChecked(true);
    resize(640, 380);
}

QString TcpPage::receivedText() const
{
    QString text;
    text.reserve(log_->document()->characterCount());
    for (QTextBlock b = log_->document()->begin(); b.isValid(); b = b.next())
        text += b.text();
    return text;
}

void TcpPage::OnOneToMany()
{
    Send(false);
}

void TcpPage::OnOneToOne()
{
    Send(true);
}

void TcpPage::Send(bool oneToOne)
{
    const QString typed = send_->toPlainText();
    pages::TcpTarget target;
    target.protocol = protocol_->isChecked();
    target.oneToOne = oneToOne;
    target.address = address_->text().toStdString();
    const std::string data = typed.toStdString();
    const pages::Built built = pages::BuildTcpFrame(target, data);
    if (!built.ok()) {
        QString text = ui::CoreText("dtu::msg", built.message.c_str());
        if (built.message == dtu::msg::kFrameTooLong) {
            const std::size_t limit = pages::TcpDataLimit(target);
            text += tr("\n\n此方式下最多发送 %1 字节（%2 位十六进制数字，空格不计）。\n现为 %3 字节。")
                        .arg(limit)
                        .arg(2 * limit)
                        .arg(pages::HexDataLength(data));
        }
        ui::ShowMessage(this, tr(kTip), text, ui::Buttons::Ok, QMessageBox::Warning);
        return;
    }
    sentAsTyped_ = typed;
    sentNormalised_ = QString::fromStdString(pages::NormaliseHexText(data));
    showNormalised_ = true;
    if (!built.frame.empty())
        ui::SendFrameOrSay(this, built.frame, tr(kTip));
}

void TcpPage::OnClearReceive()
{
    log_->clear();
    lastBlockChars_ = 0;
}

void TcpPage::OnClearAll()
{
    OnClearReceive();
    send_->clear();
    sentAsTyped_.clear();
    sentNormalised_.clear();
    showNormalised_ = false;
}

void TcpPage::Append(const QString& text)
{
    QScrollBar* bar = log_->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    QTextCursor cursor(log_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    qsizetype from = 0;
    while (from < text.size()) {
        if (lastBlockChars_ == kLogBlockChars) {
            // The document drops its first block once it holds too many.
            cursor.insertBlock();
            lastBlockChars_ = 0;
        }
        const qsizetype take = std::min<qsizetype>(kLogBlockChars - lastBlockChars_, text.size() - from);
        cursor.insertText(text.mid(from, take));
        lastBlockChars_ += static_cast<int>(take);
        from += take;
    }
    cursor.endEditBlock();
    if (following)
        bar->setValue(bar->maximum());
}

void TcpPage::OnFrame(const ui::FrameEvent& frame)
{
    if (!frame.bytes().empty())
        Append(QString::fromStdString(pages::FormatReceived(frame.bytes())));
    // The text of the last send goes back to its field as it went out,
    // without spaces and upper-cased, so the user sees what was sent. Text
    // typed since then is kept.
    if (showNormalised_) {
        showNormalised_ = false;
        if (send_->toPlainText() == sentAsTyped_ && sentAsTyped_ != sentNormalised_) {
            send_->setPlainText(sentNormalised_);
            send_->moveCursor(QTextCursor::End);
        }
    }
}
