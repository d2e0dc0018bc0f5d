#pragma once
// ASCII commands of the MicroTouch serial controllers: SOH, letters, CR.
#include <cstddef>

namespace microtouch {

struct Command {
  const char* bytes;
  size_t length;
};

#define MT_COMMAND(letters) Command{"\x01" letters "\r", sizeof("\x01" letters "\r") - 1}
constexpr Command kReset = MT_COMMAND("R");
constexpr Command kAutobaudDisable = MT_COMMAND("AD");
constexpr Command kEightN1 = MT_COMMAND("PN81");
constexpr Command kFormatTablet = MT_COMMAND("FT");
constexpr Command kModeStream = MT_COMMAND("MS");
constexpr Command kParameterLock = MT_COMMAND("PL");
constexpr Command kOutputIdentity = MT_COMMAND("OI");
#undef MT_COMMAND

}  // namespace microtouch
