#pragma once
// Zytronics projected-capacitive controllers at 9600 baud.
//
// Reports are five bytes, framed by the framework's default reader:
//
//   0     status: 0xC0 touching, 0x80 not touching
//   1-2   X: low 7 bits, then the high bits  (X = byte1 + byte2 * 128)
//   3-4   Y: the same                         (Y = byte3 + byte4 * 128)
//
// Commands: initialisation CA C9 D2 C9; a glass type (E7, E8 or E9) or a sensitivity
// (0x69..0x96) goes out as the single byte itself.
//
// The panel keeps the two settings in a text file, glass type first, as "%x %x"; the default
// file reads "e7 75".

#include <cstdint>
#include <string>

namespace zytronics {

constexpr unsigned char kInitCommand[4] = {0xCA, 0xC9, 0xD2, 0xC9};
constexpr unsigned char kTouching = 0xC0;
constexpr unsigned char kNotTouching = 0x80;
constexpr int kDefaultGlassType = 0xE7;
constexpr int kDefaultSensitivity = 0x75;
constexpr int kSettingsTimer = 559;
constexpr long kSettingsDelayMs = 30000;
constexpr const char* kSettingsPath = "/opt/touch/calfile";

constexpr int position(const unsigned char* low) { return low[0] + low[1] * 128; }

constexpr bool validGlassType(int value) { return value >= 0xE7 && value <= 0xE9; }

// Only the low byte of a sensitivity is sent.
constexpr bool validSensitivity(int value)
{
    return (value & 0xFF) >= 0x69 && (value & 0xFF) <= 0x96;
}

struct Settings {
    int glassType = 0;
    int sensitivity = 0;
};

// Reads "glass sensitivity" as two hexadecimal numbers (an optional 0x each, white space
// before and between them, anything after the second ignored), as "%x %x" would. False
// unless both are there and each fits in 32 bits; `out` is then left alone.
bool parseSettings(const std::string& text, Settings& out);

// The text of a settings file holding `s`.
std::string formatSettings(const Settings& s);

} // namespace zytronics
