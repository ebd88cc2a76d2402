#include "pages/P2pDlg.h"

CP2pDlg::CP2pDlg(QWidget* parent) : FramePage(ui::kSmsHexFrame, QStringLiteral("短信HEX编码方式传输"), parent)
{
    setObjectName(QStringLiteral("CP2pDlg"));
    resize(480, 320);
}
