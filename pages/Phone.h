// The SMS page for text messages.
#pragma once

#include "common/FramePage.h"

class CPhone : public ui::FramePage {
    Q_OBJECT
public:
    explicit CPhone(QWidget* parent);
};
