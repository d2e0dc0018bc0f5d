#pragma once
// The controller's end of a serial line, on a pseudo-terminal.
//
// A handler opens slavePath() as if it were the controller's serial port; whoever plays the
// controller (an emulator, a test script) writes and reads the master side through this
// object. hangUp() closes the master, which is what a vanished device looks like to the
// handler: its next read gives EIO.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tp::sim {

using Bytes = std::vector<std::uint8_t>;

// True when the device behind `fd` has hung up (or the descriptor is unusable): what a reader
// checks when a read gave end of file or an error, to tell a vanished device from a mere
// lack of data.
bool hungUp(int fd);

class PtyLine {
public:
    // Opens a new pty pair with the line in raw mode (no echo, no translation), so nothing
    // the controller sends is changed or echoed before the handler configures the port.
    // Throws std::runtime_error when no pty can be had.
    PtyLine();
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    const std::string& slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }
    bool isOpen() const { return m_master >= 0; }

    // Controller to handler. Returns false when not everything could be written.
    bool send(const Bytes& bytes);
    bool send(const void* data, std::size_t count);

    // Handler to controller: waits up to `timeout` for the first byte, then keeps what follows
    // until `count` bytes have come or the line has been quiet for `quiet`.
    Bytes receive(std::size_t count, std::chrono::milliseconds timeout,
                  std::chrono::milliseconds quiet = std::chrono::milliseconds(50));
    // Exactly `count` bytes if they come within `timeout`; fewer if the time runs out.
    Bytes receiveExactly(std::size_t count, std::chrono::milliseconds timeout);
    // Everything the handler sent until the line has been quiet for `quiet`.
    Bytes drain(std::chrono::milliseconds quiet = std::chrono::milliseconds(50));

    // Waits until the handler has taken every byte sent to it (the slave's input queue is
    // empty and stays so for a moment); false if that did not happen within `timeout`.
    bool waitConsumed(std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

    // Closes the master side: the handler's reads give EIO from now on.
    void hangUp();

private:
    int m_master = -1;
    std::string m_slavePath;
};

} // namespace tp::sim
