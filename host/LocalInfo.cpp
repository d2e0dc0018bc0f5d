#include "contract/LocalInfo.h"

LocalInfo::LocalInfo() : m_baud(9600), m_resolution{1024, 768} {}

LocalInfo* LocalInfo::Instance() {
  static LocalInfo* info = new LocalInfo;  // never destroyed: plug-ins may ask at exit
  return info;
}

unsigned int LocalInfo::getBaudRateBps() const {
  return m_baud;
}

void LocalInfo::setBaudRateBps(unsigned int bps) {
  m_baud = bps;
}

unsigned short LocalInfo::getHorizontalResolution() const {
  return m_resolution[0];
}

unsigned short LocalInfo::getVerticalResolution() const {
  return m_resolution[1];
}

void LocalInfo::setResolution(unsigned short horizontal, unsigned short vertical) {
  m_resolution[0] = horizontal;
  m_resolution[1] = vertical;
}
