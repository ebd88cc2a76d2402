// Fields in which a user types raw bytes as hex text. While hex input is on
// (g_HexInput > 0, set only by the DTU page's "Hex" box) a typed character
// other than a hex digit, space or backspace beeps and is dropped; keys that
// move, select, copy or paste, and text the program sets itself, pass.
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>

class QInputMethodEvent;
class QKeyEvent;

// The one hex input flag of the process; user-interface thread only.
extern int g_HexInput;

// A one-line hex field.
class CEdit_Hex_Ex : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
};

// The multi-line hex field of the TCP page.
class CRichEdit_Hex_Ex : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
};
