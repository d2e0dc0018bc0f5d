#include "contract/CalibratedTouchHandler.h"

#include <errno.h>
#include <fcntl.h>
#include <math.h>
#include <poll.h>
#include <string.h>
#include <unistd.h>

#include <limits>
#include <mutex>

#include "contract/LocalInfo.h"
#include "contract/PHALKeeper.h"
#include "host/TimerService.h"
#include "host/TouchSink.h"
#include "util/Logger.h"

namespace {

// The calibration last written by any handler of this process.
struct StoredCalibration {
  std::mutex lock;
  bool present = false;
  double coefficients[6] = {};
};

StoredCalibration& stored() {
  static StoredCalibration s;
  return s;
}

int32_t toCoordinate(double v) {
  const double r = floor(v + 0.5);
  if (!(r > std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  if (!(r < std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(r);
}

}  // namespace

CalibratedTouchHandler::Transform CalibratedTouchHandler::identity() {
  return Transform{1, 0, 0, 0, 1, 0};
}

CalibratedTouchHandler::CalibratedTouchHandler()
    : m_cflag(0),
      m_speed(0),
      m_passFd(-1),
      m_fd(-1),
      m_calibrationFlag(0),
      m_transform(identity()),
      m_calibrating(false),
      m_calAdjust(false),
      m_calPoints(0),
      m_calTouched(false),
      m_calData(),
      m_lastLines(0),
      m_lastLineState(0),
      m_lineChanges(0),
      m_presenceQueries(0) {}

CalibratedTouchHandler::~CalibratedTouchHandler() {
  // Stop the timers before the ports go: a timerDone may still write to the controller.
  host::TimerService::instance().cancelAll(this);
  if (m_passFd >= 0) close(m_passFd);
  if (m_fd >= 0) close(m_fd);
}

int CalibratedTouchHandler::openDevice(const char* device) {
  const int fd = openSerialPort(device, m_cflag, m_speed);
  if (fd < 0) {
    Logger::Instance()->DiagnosticString(oidInput, 3, "CalibratedTouchHandler: cannot open %s: %s",
                                         device ? device : "(null)", strerror(errno));
    return -1;
  }
  if (m_fd >= 0) close(m_fd);
  m_fd = fd;
  return fd;
}

int CalibratedTouchHandler::processData() {
  const bool down = isTouchDown(m_packet);
  const GfPoint raw = extractPosition(m_packet);
  if (m_disabled || PHALKeeper::Instance()->getInputManager()->isTouchStopped(this)) return 1;
  if (m_calibrating) {
    calibrationTouch(raw, down);
    return 1;
  }
  m_lastRaw = raw;
  sendFiltered(calibratePos(raw), down);
  return 1;
}

int CalibratedTouchHandler::readn(int fd, void* buffer, unsigned int count) {
  unsigned char* bytes = static_cast<unsigned char*>(buffer);
  unsigned int got = 0;
  while (got < count) {
    const ssize_t n = read(fd, bytes + got, count - got);
    if (n > 0) {
      got += static_cast<unsigned int>(n);
    } else if (n == 0) {
      break;  // end of file: what came before it
    } else if (errno == EINTR) {
      continue;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      pollfd p = {fd, POLLIN, 0};  // a non-blocking descriptor: wait as a blocking one would
      poll(&p, 1, -1);
    } else {
      return -1;
    }
  }
  return static_cast<int>(got);
}

void CalibratedTouchHandler::timerDone(int) {}

void CalibratedTouchHandler::enterCalibrationMode() {
  const LocalInfo* info = LocalInfo::Instance();
  const int w = info->getHorizontalResolution();
  const int h = info->getVerticalResolution();
  // Targets at 10 % from the edges, spanning the screen.
  m_calData = CalibrationData();
  m_calData.screen[0] = GfPoint(w / 10, h / 10);
  m_calData.screen[1] = GfPoint(w - w / 10, h / 2);
  m_calData.screen[2] = GfPoint(w / 2, h - h / 10);
  m_calPoints = 0;
  m_calTouched = false;
  m_calAdjust = false;
  m_calibrating = true;
}

void CalibratedTouchHandler::enterCalibrationAdjust() {
  enterCalibrationMode();
  m_calAdjust = true;
}

void CalibratedTouchHandler::exitCalibrationMode(bool save) {
  if (save && m_calPoints == 3 && calculateCalibration(&m_calData)) writeCalibration();
  m_calibrating = false;
  m_calAdjust = false;
}

int CalibratedTouchHandler::attachPassThrough(const char* device) {
  int fd = openSerialPort(device, m_cflag, m_speed);
  if (fd < 0) {
    Logger::Instance()->DiagnosticString(oidInput, 3,
                                         "CalibratedTouchHandler: cannot open pass-through %s: %s",
                                         device ? device : "(null)", strerror(errno));
    return 0;
  }
  if (fd == 0) {
    // Handlers take a descriptor above 0 for "attached"; keep it off descriptor 0.
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 1);
    close(fd);
    if (moved < 0) return 0;
    fd = moved;
  }
  if (m_passFd >= 0) close(m_passFd);
  m_passFd = fd;
  return 1;
}

int CalibratedTouchHandler::detachPassThrough() {
  if (m_passFd >= 0) close(m_passFd);
  m_passFd = -1;
  return 1;
}

void CalibratedTouchHandler::readCalibration() {
  StoredCalibration& s = stored();
  std::lock_guard<std::mutex> hold(s.lock);
  if (!s.present) return;
  const double* c = s.coefficients;
  m_transform = Transform{c[0], c[1], c[2], c[3], c[4], c[5]};
}

GfPoint CalibratedTouchHandler::calibratePos(const GfPoint& raw) {
  const Transform& t = m_transform;
  const double x = raw.x;
  const double y = raw.y;
  return GfPoint(toCoordinate(t.a * x + t.b * y + t.c), toCoordinate(t.d * x + t.e * y + t.f));
}

void CalibratedTouchHandler::sendFiltered(const GfPoint& point, bool touched) {
  sendUnfiltered(point, touched);
}

void CalibratedTouchHandler::sendUnfiltered(const GfPoint& point, bool touched) {
  host::TouchReport report;
  report.handler = this;
  report.down = touched;
  report.raw = m_lastRaw;
  report.screen = point;
  host::deliverTouch(report);
}

void CalibratedTouchHandler::calibrationTouch(const GfPoint& raw, bool touched) {
  if (touched) {
    m_calLast = raw;
    m_calTouched = true;
    return;
  }
  // A release completes the reference touch.
  if (m_calTouched && m_calPoints < 3) m_calData.raw[m_calPoints++] = m_calLast;
  m_calTouched = false;
}

void CalibratedTouchHandler::clearCalibration() {
  m_transform = identity();
}

bool CalibratedTouchHandler::calculateCalibration(CalibrationData* data) {
  if (!data) return false;
  const double x0 = data->raw[0].x, y0 = data->raw[0].y;
  const double x1 = data->raw[1].x, y1 = data->raw[1].y;
  const double x2 = data->raw[2].x, y2 = data->raw[2].y;
  const double det = (x0 - x2) * (y1 - y2) - (x1 - x2) * (y0 - y2);
  if (det == 0) return false;
  // Solve screen = (a*x + b*y + c, d*x + e*y + f) through the three points (Cramer's rule
  // on the differences to the third point).
  const double X0 = data->screen[0].x, X1 = data->screen[1].x, X2 = data->screen[2].x;
  const double Y0 = data->screen[0].y, Y1 = data->screen[1].y, Y2 = data->screen[2].y;
  Transform t;
  t.a = ((X0 - X2) * (y1 - y2) - (X1 - X2) * (y0 - y2)) / det;
  t.b = ((x0 - x2) * (X1 - X2) - (x1 - x2) * (X0 - X2)) / det;
  t.c = X0 - t.a * x0 - t.b * y0;
  t.d = ((Y0 - Y2) * (y1 - y2) - (Y1 - Y2) * (y0 - y2)) / det;
  t.e = ((x0 - x2) * (Y1 - Y2) - (x1 - x2) * (Y0 - Y2)) / det;
  t.f = Y0 - t.d * x0 - t.e * y0;
  m_transform = t;
  return true;
}

void CalibratedTouchHandler::writeCalibration() {
  StoredCalibration& s = stored();
  std::lock_guard<std::mutex> hold(s.lock);
  const Transform& t = m_transform;
  const double c[6] = {t.a, t.b, t.c, t.d, t.e, t.f};
  memcpy(s.coefficients, c, sizeof c);
  s.present = true;
}

void CalibratedTouchHandler::lineControlChange(int lines, int state) {
  m_lastLines = lines;
  m_lastLineState = state;
  ++m_lineChanges;
}

bool CalibratedTouchHandler::controllerIsPresent(int lines) {
  m_lastLines = lines;
  ++m_presenceQueries;
  return true;
}
