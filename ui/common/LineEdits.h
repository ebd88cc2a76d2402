// Fields with a narrower input than text: the filter of typed characters
// that the digit and hex fields share, digits only, and the "a.b.c.d"
// address field.
#pragma once

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include <array>
#include <cstdint>
#include <memory>

namespace ui {

// The filter of the fields that take only some characters. Keys that edit or
// move rather than type (Delete, arrows, Escape, shortcuts) always pass, and
// so does Enter where `enterPasses`; a typed character the test refuses beeps
// and is dropped.
using CharTest = bool (*)(char32_t);
bool KeyPasses(QKeyEvent* e, CharTest accepts, bool enterPasses);
// An input method's text cut to what the field takes: nothing when all of it
// passes, else the event to pass on instead.
std::unique_ptr<QInputMethodEvent> FilteredCommit(const QInputMethodEvent* e, CharTest accepts);

// A field of `Base` (a line or plain-text edit) that holds what is typed
// or composed to the characters `Test()` takes; a subclass may refuse more
// (`KeyAllowed`, `CommitAllowed`). Text the program sets passes as it is.
template <class Base>
class FilteredEdit : public Base {
public:
    using Base::Base;

protected:
    virtual CharTest Test() const = 0;
    // Enter and Return are characters like any other unless this says so.
    virtual bool EnterPasses() const { return false; }
    // Further refusals of what would go in; they beep themselves.
    virtual bool KeyAllowed(QKeyEvent*) { return true; }
    virtual bool CommitAllowed(const QString&) { return true; }

    void keyPressEvent(QKeyEvent* e) override
    {
        if (KeyPasses(e, Test(), EnterPasses()) && KeyAllowed(e))
            Base::keyPressEvent(e);
    }
    void inputMethodEvent(QInputMethodEvent* e) override
    {
        const auto filtered = FilteredCommit(e, Test());
        QInputMethodEvent* passed = filtered ? filtered.get() : e;
        if (!CommitAllowed(passed->commitString())) {
            e->accept();
            return;
        }
        Base::inputMethodEvent(passed);
    }
};

// Typed characters other than the digits 0 to 9 are dropped with a beep;
// text the program sets (and pasted text) is taken as it is, so a value
// such as "434.00" can be shown and a pasted mistake reaches the checks
// that explain it.
class DigitEdit : public FilteredEdit<QLineEdit> {
public:
    using FilteredEdit::FilteredEdit;

    // At most `digits` characters by typing; unlike setMaxLength, a value the
    // program sets is shown whole, so a read never changes what a later
    // write sends.
    void setTypingLimit(int digits) { typingLimit_ = digits; }

protected:
    CharTest Test() const override;
    bool EnterPasses() const override { return true; }
    bool KeyAllowed(QKeyEvent* e) override;
    bool CommitAllowed(const QString& typed) override;

private:
    bool WouldExceedLimit(const QString& typed) const;

    int typingLimit_ = 0;  // 0: none
};

// One field for an IPv4 address, typed, shown and pasted as "a.b.c.d". The
// validator accepts four numbers 0 to 255 and every state on the way there;
// an empty or missing part reads as 0, and the field can be cleared. A typed
// digit that takes a part over 255 is not dropped without a word: the part
// becomes 255 and a message says why, as the platform's address control does.
class IpAddressEdit : public QLineEdit {
    Q_OBJECT
public:
    using Address = std::array<std::uint8_t, 4>;

    explicit IpAddressEdit(QWidget* parent = nullptr);

    Address address() const;
    void setAddress(const Address& a);
    void clearAddress() { clear(); }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void Refused();

    // The text a key press would have made, while it is handled.
    QString attempted_;
};

}  // namespace ui
