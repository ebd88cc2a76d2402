// Fields in which a user types raw bytes as hex text. While hex input is on
// (ui::HexInputOnly(), set only by the DTU page's "Hex" box) a typed character
// other than a hex digit, space or backspace beeps and is dropped; keys that
// move, select, copy or paste, and text the program sets itself, pass.
#pragma once

#include "ui/common/LineEdits.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace ui {

// Whether the hex fields take hex digits only: the one switch of the
// process; user-interface thread only.
bool HexInputOnly();
void SetHexInputOnly(bool on);

}  // namespace ui

// Whether a typed character goes into a hex field now.
bool HexFieldAccepts(char32_t c);

// A one-line hex field.
class HexLineEdit : public ui::FilteredEdit<QLineEdit> {
public:
    using FilteredEdit::FilteredEdit;

protected:
    ui::CharTest Test() const override { return HexFieldAccepts; }
};

// The multi-line hex field of the TCP page.
class HexTextEdit : public ui::FilteredEdit<QPlainTextEdit> {
public:
    using FilteredEdit::FilteredEdit;

protected:
    ui::CharTest Test() const override { return HexFieldAccepts; }
};
