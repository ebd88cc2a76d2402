#include "dtu/DtuDlg.h"

CDtuDlg::CDtuDlg(QWidget* parent) : FramePage(ui::kDtuFrame, QStringLiteral("DTU参数设置"), parent)
{
    setObjectName(QStringLiteral("CDtuDlg"));
    resize(480, 320);
}
