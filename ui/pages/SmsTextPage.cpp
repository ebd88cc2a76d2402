#include "ui/pages/SmsTextPage.h"

#include <QCoreApplication>
#include <QLineEdit>

SmsTextPage::SmsTextPage(QWidget* parent)
    : SmsPage(ui::kSmsTextFrame, QCoreApplication::translate("SmsTextPage", "短信US2编码方式传输"),
              QCoreApplication::translate("SmsTextPage", "文本"), new QLineEdit, parent)
{
    // Keys the saved position: kept as earlier versions saved it.
    setObjectName(QStringLiteral("CPhone"));
}

pages::Built SmsTextPage::Build(const pages::SmsTarget& target, const std::string& message) const
{
    return pages::BuildSmsTextFrame(target, message);
}

QString SmsTextPage::LimitText(std::size_t limit, const std::string& message) const
{
    return tr("此方式下短信文本最多 %1 字节（一个汉字占 2 字节）。\n现为 %2 字节。")
        .arg(limit)
        .arg(pages::TextDataLength(message));
}
