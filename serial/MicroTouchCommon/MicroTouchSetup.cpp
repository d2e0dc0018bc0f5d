#include "serial/MicroTouchCommon/MicroTouchSetup.h"

#include <cerrno>
#include <cstring>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "serial/MicroTouchCommon/MicroTouchCommands.h"
#include "serial/MicroTouchCommon/MicroTouchIdentity.h"
#include "serial/SerialLine/InputLog.h"
#include "serial/SerialLine/SerialLine.h"

namespace microtouch {

namespace {
constexpr int kIdentityWaitMs = 1000;

bool send(const Model& model, int fd, const Command& c, const char* okText) {
  return sendCommand(model, fd, c.bytes, static_cast<unsigned>(c.length), okText);
}

void logIdentity(const Model& model, int fd) {
  unsigned char reply[kIdentityLength] = {};
  const serial_line::Reply r =
      serial_line::readReply(fd, reply, sizeof reply, kIdentityWaitMs, kIdentityWaitMs, '\r');
  if (r.count == 0) return;  // silent controller or failed read: nothing to report
  const Identity id = parseIdentity(reply, r.count);
  // A reply cut short carries no version; printing the missing digits as numbers would
  // report a firmware that does not exist.
  if (id.hasVersion)
    input_log::write(1, "%s: panel firmware v%d%d.%d%d", model.name, id.digits[0], id.digits[1],
                     id.digits[2], id.digits[3]);
  input_log::write(1, "%s: detected %s", model.name, id.model);
}
}  // namespace

bool sendCommand(const Model& model, int fd, const char* bytes, unsigned length, const char* okText) {
  const ssize_t n = write(fd, bytes, length);
  if (n == static_cast<ssize_t>(length)) {
    if (okText) input_log::write(0, "%s: %s", model.name, okText);
    return true;
  }
  input_log::write(3, "%s: %s", model.name, strerror(errno));
  return false;
}

void configure(const Model& model, int& fd, const std::function<int()>& reopen8N1) {
  send(model, fd, kReset, "reset");
  send(model, fd, kAutobaudDisable, "autobaud disabled");
  input_log::write(0, "%s: forcing 8N1 mode", model.name);
  send(model, fd, kEightN1, nullptr);

  int lines = 0;
  if (ioctl(fd, TIOCMGET, &lines) != 0) {
    input_log::write(3, "%s: ioctl: %s", model.name, strerror(errno));
    lines = 0;
  }
  if (model.eightN1 == EightN1Switch::Always || (lines & TIOCM_CAR) != 0) {
    close(fd);
    fd = reopen8N1();
    input_log::write(0, "%s: changed to 8N1", model.name);
  } else {
    input_log::write(3, "%s: failed to force 8N1", model.name);
  }

  send(model, fd, kFormatTablet, "format tablet");
  send(model, fd, kModeStream, "mode stream");
  send(model, fd, kParameterLock, "parameter lock");
  // The acknowledgements so far are of no interest: drop them. Only input is dropped, and
  // only once the commands have gone out; flushing output here would throw away the
  // commands still waiting in the transmit queue.
  tcdrain(fd);
  tcflush(fd, TCIFLUSH);

  if (!send(model, fd, kOutputIdentity, nullptr)) return;
  logIdentity(model, fd);
}

}  // namespace microtouch
