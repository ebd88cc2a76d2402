#include "ui/common/HexEdits.h"

#include "core/common/Hex.h"

namespace ui {

namespace {

bool hexInputOnly = false;

}  // namespace

bool HexInputOnly()
{
    return hexInputOnly;
}

void SetHexInputOnly(bool on)
{
    hexInputOnly = on;
}

}  // namespace ui

// Enter (a carriage return) is a character like any other here: refused
// while hex input is on.
bool HexFieldAccepts(char32_t c)
{
    return !ui::HexInputOnly() || hex::AcceptsHexKey(c);
}
