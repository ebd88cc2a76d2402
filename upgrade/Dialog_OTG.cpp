#include "upgrade/Dialog_OTG.h"

CDialog_OTG::CDialog_OTG(QWidget* parent) : FramePage(ui::kUpgradeFrame, QStringLiteral("KV-330型在线升级系统"), parent)
{
    setObjectName(QStringLiteral("CDialog_OTG"));
    resize(480, 320);
}
