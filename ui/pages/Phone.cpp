#include "pages/Phone.h"

#include <QCoreApplication>
#include <QLineEdit>

CPhone::CPhone(QWidget* parent)
    : SmsPage(ui::kSmsTextFrame, QCoreApplication::translate("CPhone", "短信US2编码方式传输"),
              QCoreApplication::translate("CPhone", "文本"), new QLineEdit, parent)
{
    setObjectName(QStringLiteral("CPhone"));
}

pages::Built CPhone::Build(const pages::SmsTarget& target, const std::string& message) const
{
    return pages::BuildSmsTextFrame(target, message);
}

QString CPhone::LimitText(std::size_t limit, const std::string& message) const
{
    return tr("此方式下短信文本最多 %1 字节（一个汉字占 2 字节）。\n现为 %2 字节。")
        .arg(limit)
        .arg(pages::TextDataLength(message));
}
