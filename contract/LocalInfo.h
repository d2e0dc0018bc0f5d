#ifndef CONTRACT_LOCALINFO_H
#define CONTRACT_LOCALINFO_H

#include "contract/Visibility.h"

// What the panel knows about its own set-up: the configured serial speed and the display
// resolution. One instance per process; the host sets the values (touchhost's --baud and
// --resolution), handlers read them.
class TP_FRAMEWORK LocalInfo {
 public:
  static LocalInfo* Instance();

  // The configured serial speed in bits per second (9600 unless set). The host's
  // openSerialPort takes such a rate as well as a termios speed code.
  unsigned int getBaudRateBps() const;
  void setBaudRateBps(unsigned int bps);

  // Display resolution in pixels, horizontal first (1024 x 768 unless set).
  unsigned short getHorizontalResolution() const;
  unsigned short getVerticalResolution() const;
  void setResolution(unsigned short horizontal, unsigned short vertical);

 private:
  LocalInfo();
  LocalInfo(const LocalInfo&) = delete;
  LocalInfo& operator=(const LocalInfo&) = delete;

  volatile unsigned int m_baud;
  volatile unsigned short m_resolution[2];
};

#endif
