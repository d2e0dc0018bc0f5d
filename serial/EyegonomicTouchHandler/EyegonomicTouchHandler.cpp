#include "serial/EyegonomicTouchHandler/EyegonomicTouchHandler.h"

TP_EXPORT_TOUCH_HANDLER(EyegonomicTouchHandler)
