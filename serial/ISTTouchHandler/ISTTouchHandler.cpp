#include "serial/ISTTouchHandler/ISTTouchHandler.h"

#include "serial/FixedFrameCommon/FixedFrameHandler.h"

TP_FIXED_FRAME_HANDLER_MEMBERS(ISTTouchHandler, fixed_frame::kIST)

TP_EXPORT_TOUCH_HANDLER(ISTTouchHandler)
