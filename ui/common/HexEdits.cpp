#include "ui/common/HexEdits.h"

#include "core/common/Hex.h"

int g_HexInput = 0;

// Enter (a carriage return) is a character like any other here: refused
// while hex input is on.
bool HexFieldAccepts(char32_t c)
{
    return g_HexInput <= 0 || hex::AcceptsHexKey(c);
}
