// The SMS page for text messages: the text goes to the DTU as GBK
// bytes, to one number or as a group send; every frame completed while the
// page is on screen replaces its receive area, as "%02X " text.
#pragma once

#include "ui/pages/SmsPage.h"

class SmsTextPage : public pages::SmsPage {
    Q_OBJECT
public:
    explicit SmsTextPage(QWidget* parent);

protected:
    pages::Built Build(const pages::SmsTarget& target, const std::string& message) const override;
    QString LimitText(std::size_t limit, const std::string& message) const override;
};
