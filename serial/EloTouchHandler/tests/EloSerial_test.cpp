// The message reader on its own, fed scripted readn results: what the line cannot easily show
// through a pty (end of file in the middle of a message, a read error with its errno).

#include "serial/EloTouchHandler/EloSerial.h"
#include "sim/testkit/LogCapture.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// One readn call: a byte (result 1), end of file (0) or an error (-1 with errno).
struct Read {
    int result;
    unsigned char byte;
    int error;
};
Read byte(unsigned char b) { return {1, b, 0}; }
const Read kEnd{0, 0, 0};
const Read kError{-1, 0, EIO};

struct Case {
    const char* name;
    std::vector<Read> reads;
    int result;
    const char* warning;  // "" when nothing is logged
};

std::vector<Read> message(std::vector<Read> tail)
{
    std::vector<Read> r = {byte(0x55), byte('T'), byte(0x00), byte(0x34), byte(0x12)};
    r.insert(r.end(), tail.begin(), tail.end());
    return r;
}

TEST(EloMessageReader, StopsAtTheEndOfTheLineAndOnErrorsWithoutTakingThemForBytes)
{
    const std::string eio = std::strerror(EIO);
    const Case cases[] = {
        {"Complete", message({byte(0x78), byte(0x56), byte(0), byte(0), byte(0x67)}), 1, ""},
        // Taking end of file for a byte would read past the script here.
        {"EndOfFileInsideAMessage", message({kEnd}), 0,
         "EloTouchHandler::getAnyPacket: end of file"},
        {"EndOfFileWhileHunting", {byte(0x01), kEnd}, 0,
         "EloTouchHandler::getAnyPacket: end of file"},
        {"ReadError", message({kError}), 0, "EloTouchHandler::getAnyPacket: "},
        {"OutOfSync", std::vector<Read>(100, byte(0xAA)), 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tp::testkit::LogCapture log;
        std::size_t next = 0;
        unsigned char body[elo::kBodySize + 1];
        std::memset(body, 0xEE, sizeof body);
        int r = elo::readMessage(
            [&](unsigned char* b) {
                if (next >= c.reads.size())
                    ADD_FAILURE() << "read past the script";
                const Read& step = c.reads[std::min(next++, c.reads.size() - 1)];
                if (step.result == 1)
                    *b = step.byte;
                errno = step.error;
                return step.result;
            },
            body, "EloTouchHandler");
        EXPECT_EQ(r, c.result);
        EXPECT_EQ(next, c.reads.size()) << "stopped after " << next << " reads";
        EXPECT_EQ(body[elo::kBodySize], 0xEE) << "wrote past the message body";
        if (*c.warning) {
            EXPECT_EQ(log.levelOf(c.warning), "WARN");
            if (c.reads.back().result < 0) {
                EXPECT_TRUE(log.contains(eio));
            }
        } else {
            EXPECT_TRUE(log.messages().empty());
        }
    }
}

} // namespace
