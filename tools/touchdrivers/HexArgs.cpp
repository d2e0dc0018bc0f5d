#include "tools/touchdrivers/HexArgs.h"

#include <string.h>

namespace {
int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Parses [begin, end) as 1 to 4 hex digits.
bool parseHex16(const char* begin, const char* end, unsigned short* value) {
  const ptrdiff_t n = end - begin;
  if (n < 1 || n > 4) return false;
  unsigned v = 0;
  for (const char* p = begin; p != end; ++p) {
    const int d = hexDigit(*p);
    if (d < 0) return false;
    v = v << 4 | static_cast<unsigned>(d);
  }
  *value = static_cast<unsigned short>(v);
  return true;
}
}  // namespace

bool parseUsbIds(const char* text, unsigned short* vendor, unsigned short* product) {
  if (!text) return false;
  const char* colon = strchr(text, ':');
  if (!colon) return false;
  return parseHex16(text, colon, vendor) && parseHex16(colon + 1, colon + strlen(colon), product);
}

bool parseHexBytes(const char* text, unsigned char* out, size_t size) {
  if (!text || strlen(text) != 2 * size) return false;
  for (size_t i = 0; i < size; ++i) {
    const int hi = hexDigit(text[2 * i]);
    const int lo = hexDigit(text[2 * i + 1]);
    if (hi < 0 || lo < 0) return false;
    out[i] = static_cast<unsigned char>(hi << 4 | lo);
  }
  return true;
}
