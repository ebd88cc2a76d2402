#include "ui/pages/SmsHexPage.h"

#include "ui/common/HexEdits.h"

#include <QCoreApplication>

SmsHexPage::SmsHexPage(QWidget* parent)
    : SmsPage(ui::kSmsHexFrame, QCoreApplication::translate("SmsHexPage", "短信HEX编码方式传输"),
              QCoreApplication::translate("SmsHexPage", "HEX文本"), new HexLineEdit, parent)
{
    // Keys the saved position: kept as earlier versions saved it.
    setObjectName(QStringLiteral("CP2pDlg"));
}

pages::Built SmsHexPage::Build(const pages::SmsTarget& target, const std::string& message) const
{
    return pages::BuildSmsHexFrame(target, message);
}

QString SmsHexPage::LimitText(std::size_t limit, const std::string& message) const
{
    return tr("此方式下最多 %1 字节（%2 位十六进制数字，空格不计）。\n现为 %3 字节。")
        .arg(limit)
        .arg(2 * limit)
        .arg(pages::HexDataLength(message));
}
