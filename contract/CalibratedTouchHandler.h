#ifndef CONTRACT_CALIBRATEDTOUCHHANDLER_H
#define CONTRACT_CALIBRATEDTOUCHHANDLER_H

#include "contract/DownloadMode.h"
#include "contract/GfPoint.h"
#include "contract/InputHandler.h"
#include "contract/TimerInterface.h"
#include "contract/Visibility.h"

// A touch handler with the host's calibration: raw controller positions are mapped to
// screen positions by an affine transform (identity until a calibration is set), and
// reported to the panel. Holds the controller port and the pass-through port.
//
// The optional protocol operations answer 0 ("not supported") unless a handler
// overrides them.
class TP_FRAMEWORK CalibratedTouchHandler : public InputHandler, public TimerInterface {
 public:
  // Three reference touches: where the targets were shown on screen and the raw position
  // the controller reported for each.
  struct CalibrationData {
    GfPoint screen[3];
    GfPoint raw[3];
  };

  CalibratedTouchHandler();
  // Stops the timers and closes the controller and pass-through ports.
  virtual ~CalibratedTouchHandler();

  // Reopens the controller port on `device` with m_cflag and m_speed; the new
  // descriptor replaces m_fd and is returned (-1 on failure).
  int openDevice(const char* device) override;
  int processData() override;
  int readn(int fd, void* buffer, unsigned int count) override;

  // --- operations in table order (continuing those of InputHandler) ---
  void timerDone(int timer) override;
  virtual int waitForReply(unsigned char, unsigned char*, int) { return 0; }
  virtual int sendPacket(unsigned char*) { return 0; }
  virtual int sendExtendedPacket(unsigned char*, int) { return 0; }
  virtual int queryPacket(unsigned char*) { return 0; }
  virtual int queryExtendedPacket(unsigned char*, int) { return 0; }
  // Calibration mode: touches go to calibrationTouch instead of the panel. Each release
  // records the last touched position as the next of the three reference points.
  virtual void enterCalibrationMode();
  virtual void enterCalibrationAdjust();
  // Leaves calibration mode; with `save` and three points recorded the new calibration
  // is computed (calculateCalibration), applied and written (writeCalibration).
  virtual void exitCalibrationMode(bool save);
  // Opens the pass-through port to the external PC with the controller's settings and
  // keeps it in m_passFd (closing one attached before). 1 on success, 0 on failure.
  virtual int attachPassThrough(const char* device);
  // Closes the pass-through port; m_passFd becomes -1. Returns 1.
  virtual int detachPassThrough();
  virtual int changeBaud(unsigned int) { return 0; }
  virtual bool isTouchDown(const unsigned char* packet) = 0;
  virtual int getTouchedOnWake() { return 0; }
  // Applies the calibration last written by writeCalibration (any handler of this
  // process), if there is one.
  virtual void readCalibration();
  virtual int burnPSOCFile(const char*, DownloadMode) { return 0; }
  virtual int handleOffscreenTouch(GfPoint&, bool) { return 0; }
  virtual void exitHandler() {}
  virtual bool inSync(const unsigned char*) { return true; }
  virtual int inPassPCSync(unsigned char*, int count) { return count; }
  virtual int inPassSync(const unsigned char*, int) { return 1; }
  virtual GfPoint extractPosition(const unsigned char* packet) = 0;
  // The screen position of a raw position under the current calibration.
  virtual GfPoint calibratePos(const GfPoint& raw);
  // Reports a calibrated position through the host's filter; this host filters nothing
  // and hands it to sendUnfiltered, which delivers it to the touch sink.
  virtual void sendFiltered(const GfPoint& point, bool touched);
  virtual void sendUnfiltered(const GfPoint& point, bool touched);
  virtual void calibrationTouch(const GfPoint& raw, bool touched);
  // Back to the identity mapping.
  virtual void clearCalibration();
  // Computes and applies the transform from `data`; false (calibration unchanged) for
  // a null pointer or reference points that do not span the plane.
  virtual bool calculateCalibration(CalibrationData* data);
  virtual void writeCalibration();
  // Modem lines changed: bookkeeping only (lastLines, lastLineState, lineChanges).
  // Handlers that override it call this first.
  virtual void lineControlChange(int lines, int state);
  // Whether a controller answers on the port, from the modem-line bits `lines`. The
  // default assumes it does; handlers that can tell override it.
  virtual bool controllerIsPresent(int lines);

  // --- host-side inspection (not part of the table) ---
  int lastLines() const { return m_lastLines; }
  int lastLineState() const { return m_lastLineState; }
  int lineChanges() const { return m_lineChanges; }
  int presenceQueries() const { return m_presenceQueries; }
  bool inCalibrationMode() const { return m_calibrating; }
  int calibrationPoints() const { return m_calPoints; }
  int descriptor() const { return m_fd; }
  int passThroughDescriptor() const { return m_passFd; }

 protected:
  unsigned int m_cflag;  // termios c_cflag bits of the controller port
  unsigned int m_speed;  // termios speed code of the controller port, kept current
  int m_passFd;          // pass-through port to the PC; -1 while none is attached
  int m_fd;              // the controller port
  unsigned char m_calibrationFlag;  // set to 1 by every USB handler's constructor

 private:
  // The affine map: screen = (a*x + b*y + c, d*x + e*y + f).
  struct Transform {
    double a, b, c, d, e, f;
  };
  static Transform identity();

  Transform m_transform;
  GfPoint m_lastRaw;      // raw position of the packet being reported
  bool m_calibrating;
  bool m_calAdjust;
  int m_calPoints;
  bool m_calTouched;
  GfPoint m_calLast;
  CalibrationData m_calData;
  int m_lastLines;
  int m_lastLineState;
  int m_lineChanges;
  int m_presenceQueries;
};

#endif
