#include "serial/MicroTouchCommon/MicroTouchIdentity.h"

namespace microtouch {

namespace {
struct ModelRow {
  char first, second;
  const char* name;
};
constexpr ModelRow kModels[] = {
    {'A', '3', "SMT2, SMT3V or SMT3RV"},
    {'P', '5', "TouchPen4 or TouchPen4+"},
    {'Q', '1', "SMT3 or SMT3R"},
};
}  // namespace

const char* modelName(unsigned char first, unsigned char second) {
  for (const ModelRow& row : kModels) {
    if (first == static_cast<unsigned char>(row.first) && second == static_cast<unsigned char>(row.second))
      return row.name;
  }
  return "Unknown";
}

Identity parseIdentity(const unsigned char* reply, size_t count) {
  unsigned char b[kIdentityLength] = {};
  for (size_t i = 0; i < count && i < kIdentityLength; ++i) b[i] = reply[i];
  Identity id;
  id.hasVersion = count >= 7;
  for (int i = 0; i < 4; ++i) id.digits[i] = b[3 + i] - '0';
  id.model = modelName(b[1], b[2]);
  return id;
}

}  // namespace microtouch
