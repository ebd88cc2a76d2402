#include "pages/TcpDlg.h"

CTcpDlg::CTcpDlg(QWidget* parent) : FramePage(ui::kTcpFrame, QStringLiteral("TCP数据传输"), parent)
{
    setObjectName(QStringLiteral("CTcpDlg"));
    resize(480, 320);
}
