#include "serial/QVTR22TXTouchHandler/QVTR22TXTouchHandler.h"

TP_EXPORT_TOUCH_HANDLER(QVTR22TXTouchHandler)
