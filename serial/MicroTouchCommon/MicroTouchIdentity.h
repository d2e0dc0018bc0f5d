#pragma once
// The controller's answer to "output identity": SOH, a two-character model code, four
// ASCII digits of the firmware version, CR.
//
//   index  0    1  2     3  4  5  6    7
//          SOH  model    v  v  v  v    CR       e.g. 01 'Q' '1' '0' '1' '2' '3' 0D
#include <cstddef>

namespace microtouch {

constexpr size_t kIdentityLength = 8;

// Text logged after "detected " for a model code.
const char* modelName(unsigned char first, unsigned char second);

struct Identity {
  bool hasVersion;   // all four version digits arrived
  int digits[4];     // version digits as numbers (byte - '0')
  const char* model;
};

// reply holds count bytes as received (count may be below kIdentityLength).
Identity parseIdentity(const unsigned char* reply, size_t count);

}  // namespace microtouch
