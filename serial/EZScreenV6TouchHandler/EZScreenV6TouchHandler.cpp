#include "serial/EZScreenV6TouchHandler/EZScreenV6TouchHandler.h"

#include "serial/FixedFrameCommon/FixedFrameHandler.h"

TP_FIXED_FRAME_HANDLER_MEMBERS(EZScreenV6TouchHandler, fixed_frame::kEZScreenV6)

TP_EXPORT_TOUCH_HANDLER(EZScreenV6TouchHandler)
