#include "serial/DynaProTouchHandler/DynaProTouchHandler.h"

#include "serial/FixedFrameCommon/FixedFrameHandler.h"

TP_FIXED_FRAME_HANDLER_MEMBERS(DynaProTouchHandler, fixed_frame::kDynaPro)

TP_EXPORT_TOUCH_HANDLER(DynaProTouchHandler)
