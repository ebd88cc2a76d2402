#include "pages/Phone.h"

CPhone::CPhone(QWidget* parent) : FramePage(ui::kSmsTextFrame, QStringLiteral("短信US2编码方式传输"), parent)
{
    setObjectName(QStringLiteral("CPhone"));
    resize(480, 320);
}
