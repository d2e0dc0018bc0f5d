#pragma once
// What a pty cannot do for a test: modem-control lines, and a record of the line settings a
// handler applies.
//
// A program that links the test kit defines ioctl(), tcsetattr() and tcflush() itself. For a
// descriptor open on a device registered here they are served from this table (modem lines)
// or recorded and then passed on (line settings); every other descriptor goes straight to
// the real call (dlsym(RTLD_NEXT, ...)). Plug-ins loaded into the program bind to these
// definitions through ordinary symbol resolution, as does the host library.
//
// Devices are recognised by their device number, so a handler that closes and reopens its
// port keeps talking to the same simulated lines.

#include <string>
#include <sys/types.h>
#include <termios.h>
#include <vector>

namespace tp::testkit {

struct ModemCall {
    unsigned long request; // TIOCMGET, TIOCMBIS, TIOCMBIC or TIOCMSET
    int bits;              // the argument (for TIOCMGET: the answer given)
};

struct LineSetting {
    int action;  // TCSANOW, TCSADRAIN, TCSAFLUSH
    termios tio; // as passed by the handler
    speed_t inputSpeed() const { return cfgetispeed(&tio); }
    speed_t outputSpeed() const { return cfgetospeed(&tio); }
};

class LineInterposer {
public:
    // Serves the modem-control requests of every descriptor open on `path` from now on, with
    // all lines low. Registering a device again starts it afresh.
    static void registerDevice(const std::string& path);
    static void unregisterDevice(const std::string& path);

    // Lines the controller drives (TIOCM_CTS, TIOCM_CAR, TIOCM_DSR, TIOCM_RNG).
    static void setInputLines(const std::string& path, int bits);
    // The whole line state as TIOCMGET answers it: the handler's DTR/RTS and the inputs.
    static int lines(const std::string& path);

    static std::vector<ModemCall> modemCalls(const std::string& path);
    static std::vector<LineSetting> settings(const std::string& path);
    static std::vector<int> flushes(const std::string& path); // TCIFLUSH, TCOFLUSH, TCIOFLUSH
    static void clearRecords(const std::string& path);
};

// Registers a device for the lifetime of a test.
class InterposedLine {
public:
    explicit InterposedLine(std::string path) : m_path(std::move(path))
    {
        LineInterposer::registerDevice(m_path);
    }
    ~InterposedLine() { LineInterposer::unregisterDevice(m_path); }
    InterposedLine(const InterposedLine&) = delete;
    InterposedLine& operator=(const InterposedLine&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace tp::testkit
