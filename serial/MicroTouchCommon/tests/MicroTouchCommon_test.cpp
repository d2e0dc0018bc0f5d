#include <gtest/gtest.h>

#include <string>

#include "serial/MicroTouchCommon/FormatTablet.h"
#include "serial/MicroTouchCommon/MicroTouchCommands.h"
#include "serial/MicroTouchCommon/MicroTouchIdentity.h"
#include "serial/MTSX112Base/SX112Protocol.h"

namespace {

std::string bytes(const microtouch::Command& c) { return std::string(c.bytes, c.length); }

TEST(MicroTouchCommands, AreSohLettersCr) {
  using namespace microtouch;
  const struct {
    Command command;
    const char* wire;
  } cases[] = {
      {kReset, "\x01R\r"},          {kAutobaudDisable, "\x01" "AD\r"}, {kEightN1, "\x01PN81\r"},
      {kFormatTablet, "\x01" "FT\r"}, {kModeStream, "\x01MS\r"},       {kParameterLock, "\x01PL\r"},
      {kOutputIdentity, "\x01OI\r"},
  };
  for (const auto& c : cases) EXPECT_EQ(bytes(c.command), c.wire);
}

TEST(FormatTablet, DecodesStatusAndCombinesBytesBy256) {
  const struct {
    unsigned char p[5];
    bool start, touch;
    int first, second;
  } cases[] = {
      {{0xC0, 0x10, 0x01, 0x20, 0x02}, true, true, 272, 544},
      {{0x80, 0x10, 0x01, 0x20, 0x02}, true, false, 272, 544},
      {{0xC0, 0x7F, 0x01, 0x00, 0x00}, true, true, 0x017F, 0},
      {{0x40, 0x00, 0x00, 0x00, 0x00}, false, true, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(format_tablet::startsPacket(c.p), c.start);
    EXPECT_EQ(format_tablet::touching(c.p), c.touch);
    EXPECT_EQ(format_tablet::firstField(c.p), c.first);
    EXPECT_EQ(format_tablet::secondField(c.p), c.second);
  }
  EXPECT_FALSE(format_tablet::touching(nullptr));
  EXPECT_FALSE(format_tablet::startsPacket(nullptr));
}

TEST(MicroTouchIdentity, ModelAndVersionFromReply) {
  const struct {
    std::string reply;
    bool hasVersion;
    int digits[4];
    const char* model;
  } cases[] = {
      {"\x01Q10123\r", true, {0, 1, 2, 3}, "SMT3 or SMT3R"},
      {"\x01" "A39876\r", true, {9, 8, 7, 6}, "SMT2, SMT3V or SMT3RV"},
      {"\x01P50100\r", true, {0, 1, 0, 0}, "TouchPen4 or TouchPen4+"},
      {"\x01" "A10123\r", true, {0, 1, 2, 3}, "Unknown"},
      {"\x01Q10123", true, {0, 1, 2, 3}, "SMT3 or SMT3R"},  // CR not needed
      {"\x01Q1012", false, {}, "SMT3 or SMT3R"},            // last digit missing
      {"\x01", false, {}, "Unknown"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reply);
    const auto id = microtouch::parseIdentity(reinterpret_cast<const unsigned char*>(c.reply.data()),
                                              c.reply.size());
    EXPECT_STREQ(id.model, c.model);
    ASSERT_EQ(id.hasVersion, c.hasVersion);
    if (c.hasVersion) {
      for (int i = 0; i < 4; ++i) EXPECT_EQ(id.digits[i], c.digits[i]);
    }
  }
}

TEST(SX112Protocol, CommandsOfEveryLengthAreFramedWhole)
{
    EXPECT_EQ(sx112::frameCommand("R"), "\x01R\r");
    EXPECT_EQ(sx112::frameCommand("PF"), "\x01PF\r");
    const std::string longest(sx112::kMaxNameLength, 'Z');  // SOH + 16 letters + CR
    EXPECT_EQ(sx112::frameCommand(longest.c_str()), "\x01" + longest + "\r");
}

TEST(SX112Protocol, ReportFields)
{
    const unsigned char touch[] = {0xC0, 0x50, 0x12, 0x60, 0x34};
    EXPECT_TRUE(sx112::startsPacket(touch));
    EXPECT_TRUE(sx112::touching(touch));
    EXPECT_EQ(sx112::x(touch), 0x125);
    EXPECT_EQ(sx112::y(touch), 0x346);
    const unsigned char corner[] = {0x80, 0xF0, 0xFF, 0x00, 0x00};
    EXPECT_FALSE(sx112::touching(corner));
    EXPECT_EQ(sx112::x(corner), 4095);
    EXPECT_EQ(sx112::y(corner), 0);
}

}  // namespace
