// The firmware upgrade page.
#pragma once

#include "common/FramePage.h"

class CDialog_OTG : public ui::FramePage {
    Q_OBJECT
public:
    explicit CDialog_OTG(QWidget* parent);
};
