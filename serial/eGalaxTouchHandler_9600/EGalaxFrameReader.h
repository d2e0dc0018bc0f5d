#pragma once
// The 9600-baud eGalax frame reader: one call reads at most one frame.
//
//   1. hunt for a status byte (A0 or A1); the 15th other byte of the call gives up;
//   2. take bytes 1 to 4 as they come (their values are not examined);
//   3. byte 5 must be the trailer 41, otherwise the frame is dropped.
//
// Bytes come from `readByte(unsigned char*)`, which returns what readn returned for one
// byte. Anything but one byte (an error, or end of file with nothing read) ends the call:
// a byte that was not read never becomes part of a frame.

#include "serial/FixedFrameCommon/FixedFrames.h"

namespace fixed_frame::egalax {

constexpr int kJunkLimit = 15;  // the 15th non-status byte of one call ends it
constexpr int kFrameLength = 6;

template <class ReadByte>
bool readFrame(unsigned char* frame, ReadByte&& readByte)
{
    unsigned char byte = 0;
    for (int junk = 0;;) {
        if (readByte(&byte) != 1)
            return false;
        if (startsFrame(byte))
            break;
        if (++junk == kJunkLimit)
            return false;
    }
    frame[0] = byte;
    for (int i = 1; i < kFrameLength - 1; ++i) {
        if (readByte(&frame[i]) != 1)
            return false;
    }
    if (readByte(&byte) != 1 || byte != kTrailer)
        return false;
    frame[kFrameLength - 1] = byte;
    return true;
}

} // namespace fixed_frame::egalax
