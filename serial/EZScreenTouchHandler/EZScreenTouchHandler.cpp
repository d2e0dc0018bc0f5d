#include "serial/EZScreenTouchHandler/EZScreenTouchHandler.h"

#include "serial/FixedFrameCommon/FixedFrameHandler.h"

TP_FIXED_FRAME_HANDLER_MEMBERS(EZScreenTouchHandler, fixed_frame::kEZScreen)

TP_EXPORT_TOUCH_HANDLER(EZScreenTouchHandler)
