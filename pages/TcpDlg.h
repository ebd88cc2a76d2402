// The TCP transfer page.
#pragma once

#include "common/FramePage.h"

class CTcpDlg : public ui::FramePage {
    Q_OBJECT
public:
    explicit CTcpDlg(QWidget* parent);
};
