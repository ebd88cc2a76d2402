// Line edits with a narrower input than text: digits only, and the
// "a.b.c.d" address field.
#pragma once

#include <QLineEdit>

#include <array>
#include <cstdint>

namespace ui {

// Typed characters other than the digits 0 to 9 are dropped with a beep;
// text the program sets (and pasted text) is taken as it is, so a value
// such as "434.00" can be shown and a pasted mistake reaches the checks
// that explain it.
class DigitEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

// One field for an IPv4 address, typed, shown and pasted as "a.b.c.d". The
// validator accepts four numbers 0 to 255 and every state on the way there;
// an empty or missing part reads as 0, and the field can be cleared.
class IpAddressEdit : public QLineEdit {
public:
    using Address = std::array<std::uint8_t, 4>;

    explicit IpAddressEdit(QWidget* parent = nullptr);

    Address address() const;
    void setAddress(const Address& a);
    void clearAddress() { clear(); }
};

}  // namespace ui
