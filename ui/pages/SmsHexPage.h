// The SMS page for messages typed as hex digits: the twin of the
// text page, sending the bytes the digits stand for. Its field filters keys
// while the DTU page's "Hex" box is checked.
#pragma once

#include "ui/pages/SmsPage.h"

class SmsHexPage : public pages::SmsPage {
    Q_OBJECT
public:
    explicit SmsHexPage(QWidget* parent);

protected:
    pages::Built Build(const pages::SmsTarget& target, const std::string& message) const override;
    QString LimitText(std::size_t limit, const std::string& message) const override;
};
