#pragma once
// The TouchKo identification dialogue. The controller is asked "\rdi\r" and answers
// "pass" and four blanks, in either case. A 'p' restarts the reply (the controller may
// repeat itself); any letter outside "pas " ends the check.
#include <cstddef>
#include <termios.h>

namespace touchko {

constexpr const char kIdentify[] = "\rdi\r";
constexpr size_t kIdentifyLength = sizeof kIdentify - 1;
constexpr const char kPass[] = "pass    ";
constexpr int kPassLength = sizeof kPass - 1;
constexpr int kMismatch = 0x8000;

enum class ByteClass { Restart, Accept, Reject };

constexpr ByteClass classify(unsigned char b) {
  return (b == 'P' || b == 'p') ? ByteClass::Restart
         : (b == ' ' || b == 'A' || b == 'a' || b == 'S' || b == 's') ? ByteClass::Accept
                                                                      : ByteClass::Reject;
}

// Compares the first expected stored bytes, case folded, with "pass    ".
// Returns count when they match, kMismatch otherwise.
inline int compareReply(const unsigned char* stored, int expected, int count) {
  for (int i = 0; i < expected && i < kPassLength; ++i) {
    if ((stored[i] | 0x20) != static_cast<unsigned char>(kPass[i])) return kMismatch;
  }
  return count;
}

// Speeds tried in turn; the last one is kept.
constexpr speed_t nextSpeed(speed_t s) { return s == B38400 ? B115200 : B9600; }

}  // namespace touchko
