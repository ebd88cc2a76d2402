#include "dtu/Edit_Hex_Ex.h"

#include "common/Hex.h"
#include "common/LineEdits.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

int g_HexInput = 0;

namespace {

bool AcceptsWhileOn(char32_t c)
{
    return g_HexInput <= 0 || hex::AcceptsHexKey(c);
}

// Enter (a carriage return) is a character like any other here: refused
// while hex input is on.
bool KeyPasses(QKeyEvent* e)
{
    return g_HexInput <= 0 || ui::KeyPasses(e, AcceptsWhileOn, false);
}

}  // namespace

void CEdit_Hex_Ex::keyPressEvent(QKeyEvent* e)
{
    if (KeyPasses(e))
        QLineEdit::keyPressEvent(e);
}

void CEdit_Hex_Ex::inputMethodEvent(QInputMethodEvent* e)
{
    const auto filtered = ui::FilteredCommit(e, AcceptsWhileOn);
    QLineEdit::inputMethodEvent(filtered ? filtered.get() : e);
}

void CRichEdit_Hex_Ex::keyPressEvent(QKeyEvent* e)
{
    if (KeyPasses(e))
        QPlainTextEdit::keyPressEvent(e);
}

void CRichEdit_Hex_Ex::inputMethodEvent(QInputMethodEvent* e)
{
    const auto filtered = ui::FilteredCommit(e, AcceptsWhileOn);
    QPlainTextEdit::inputMethodEvent(filtered ? filtered.get() : e);
}
