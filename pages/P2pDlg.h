// The SMS page for messages typed as hex digits.
#pragma once

#include "common/FramePage.h"

class CP2pDlg : public ui::FramePage {
    Q_OBJECT
public:
    explicit CP2pDlg(QWidget* parent);
};
