// The DTU parameter page.
#pragma once

#include "common/FramePage.h"

class CDtuDlg : public ui::FramePage {
    Q_OBJECT
public:
    explicit CDtuDlg(QWidget* parent);
};
