#include "pages/P2pDlg.h"

#include "dtu/Edit_Hex_Ex.h"

#include <QCoreApplication>

CP2pDlg::CP2pDlg(QWidget* parent)
    : SmsPage(ui::kSmsHexFrame, QCoreApplication::translate("CP2pDlg", "短信HEX编码方式传输"),
              QCoreApplication::translate("CP2pDlg", "HEX文本"), new CEdit_Hex_Ex, parent)
{
    setObjectName(QStringLiteral("CP2pDlg"));
}

pages::Built CP2pDlg::Build(const pages::SmsTarget& target, const std::string& message) const
{
    return pages::BuildSmsHexFrame(target, message);
}

QString CP2pDlg::LimitText(std::size_t limit, const std::string& message) const
{
    return tr("此方式下最多 %1 字节（%2 位十六进制数字，空格不计）。\n现为 %3 字节。")
        .arg(limit)
        .arg(2 * limit)
        .arg(pages::HexDataLength(message));
}
