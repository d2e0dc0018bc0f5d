#ifndef HOST_SERIALPORT_H
#define HOST_SERIALPORT_H

// Opening and configuring controller ports.

namespace host {

// The termios speed code for `speed`: a speed code is returned as it is, a plain rate in
// bits per second (9600, 115200 ...) as its code; -1 for anything else.
long speedCode(unsigned int speed);

// Opens `device` (no controlling terminal, close-on-exec, blocking) and, when it is a
// terminal, makes it raw with c_cflag `cflag`, speed `speed`, reads returning as soon as
// one byte is there; both queues are flushed. Returns the descriptor or -1 with errno set.
// A device that is not a terminal (a pipe, a file) is opened without line settings.
int openRawPort(const char* device, unsigned int cflag, unsigned int speed);

}  // namespace host

#endif
