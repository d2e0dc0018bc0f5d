#pragma once
// The members most fixed-frame handlers share, defined from the handler's row of
// FixedFrames.h: the constructor opens the port with the row's line settings and frame
// length and sends nothing; touch state and position are the row's decoders.
//
//   TP_FIXED_FRAME_HANDLER_MEMBERS(DynaProTouchHandler, fixed_frame::kDynaPro)

#include "serial/FixedFrameCommon/FixedFrames.h"

#define TP_FIXED_FRAME_HANDLER_MEMBERS(Class, row)                                         \
    Class::Class(const char* device)                                                       \
        : ZorlanTouchHandler(device, (row).cflag, (row).speed, (row).length,               \
                             fixed_frame::kFifth)                                          \
    {                                                                                      \
    }                                                                                      \
    Class::~Class() = default;                                                             \
    bool Class::isTouchDown(const unsigned char* packet) { return (row).touchDown(packet); } \
    GfPoint Class::extractPosition(const unsigned char* packet) { return (row).position(packet); }
