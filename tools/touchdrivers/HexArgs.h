#ifndef TOOLS_TOUCHDRIVERS_HEXARGS_H
#define TOOLS_TOUCHDRIVERS_HEXARGS_H

// Command-line forms of USB ids and descriptors.

#include <stddef.h>

// "VID:PID", each 1 to 4 hex digits. False for anything else.
bool parseUsbIds(const char* text, unsigned short* vendor, unsigned short* product);

// Exactly 2 * size hex digits, no separators, into size bytes. False for anything else
// (out is then unspecified).
bool parseHexBytes(const char* text, unsigned char* out, size_t size);

#endif
