#include "driver/serial/BufferedPort.h"

// Defined together, in this order, so that the buffer outlives the driver
// whose reader writes into it.
ReceiveBuffer g_Rx;
BufferedPort g_Serial(g_Rx);
