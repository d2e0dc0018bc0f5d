// The frame reader on its own, fed from a script of readn results: it never reads past a
// frame or the junk budget, and a byte that was not read never lands in the frame.
#include "serial/eGalaxTouchHandler_9600/EGalaxFrameReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

namespace {

struct ReaderCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    int end;              // what readn gives once the bytes are used up: 0 (end of file) or -1
    bool framed;
    std::size_t consumed;  // bytes taken by the call
};

const ReaderCase kCases[] = {
    {"Frame", {0xA1, 1, 2, 3, 4, 0x41, 0xA1}, -1, true, 6},
    {"FifteenJunkBytesThenStop", std::vector<std::uint8_t>(16, 0x00), -1, false, 15},
    {"WrongTrailerConsumesTheFrameOnly", {0xA0, 1, 2, 3, 4, 0xA1, 0xA1}, -1, false, 6},
    {"EndOfFileInsideTheFrame", {0xA1, 1, 2}, 0, false, 3},
    {"EndOfFileBeforeTheTrailer", {0xA1, 1, 2, 3, 4}, 0, false, 5},
    {"ErrorWhileHunting", {0x00, 0x00}, -1, false, 2},
};

TEST(EGalaxFrameReader, ReadsOneFrameAndNoMore)
{
    for (const ReaderCase& c : kCases) {
        SCOPED_TRACE(c.name);
        std::size_t next = 0;
        auto readByte = [&](unsigned char* byte) {
            if (next == c.bytes.size())
                return c.end;
            *byte = c.bytes[next++];
            return 1;
        };
        unsigned char frame[8];
        std::fill(std::begin(frame), std::end(frame), 0xEE);
        EXPECT_EQ(fixed_frame::egalax::readFrame(frame, readByte), c.framed);
        EXPECT_EQ(next, c.consumed);
        // Nothing beyond the frame is touched; nothing unread is stored.
        EXPECT_EQ(frame[6], 0xEE);
        EXPECT_EQ(frame[7], 0xEE);
        for (std::size_t i = c.consumed; i < 6; ++i) {
            EXPECT_EQ(frame[i], 0xEE) << "byte " << i << " was never read";
        }
        if (!c.framed) {
            EXPECT_EQ(frame[5], 0xEE) << "a wrong trailer was stored";
        }
    }
}

} // namespace
