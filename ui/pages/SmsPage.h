// What the two SMS pages share: the receive area with
// "清除", the phone and message fields, the "协议"/"透传" radio buttons with
// "群发", and "发送". The pages differ only in the message field (text or hex
// digits), the frame they build and their notification.
#pragma once

#include "core/pages/DataFrame.h"
#include "ui/common/FramePage.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace pages {

class SmsPage : public ui::FramePage {
    Q_OBJECT
public:
    // `messageEdit` becomes the page's field 1013, in a group captioned
    // `messageCaption`.
    SmsPage(QEvent::Type frameType, const QString& caption, const QString& messageCaption, QLineEdit* messageEdit,
            QWidget* parent);

protected:
    void OnFrame(const ui::FrameEvent& frame) override;

    // The frame for the field's text, or the reason it is refused.
    virtual Built Build(const SmsTarget& target, const std::string& message) const = 0;
    // What the field holds, in the words of the limit: "短信文本最多 241 字节…".
    virtual QString LimitText(std::size_t limit, const std::string& message) const = 0;

private slots:
    void OnGroupClicked();
    void OnProtocolClicked();
    void OnTransparentClicked();
    void OnSend();
    void OnClear();

private:
    QPlainTextEdit* receive_;
    QPushButton* clear_;
    QLineEdit* phone_;
    QLineEdit* message_;
    QRadioButton* protocol_;
    QRadioButton* transparent_;
    QCheckBox* group_;
    QPushButton* send_;
};

}  // namespace pages
