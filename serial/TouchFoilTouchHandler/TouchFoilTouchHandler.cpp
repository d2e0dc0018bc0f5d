#include "serial/TouchFoilTouchHandler/TouchFoilTouchHandler.h"

#include "serial/SerialLine/InputLog.h"
#include "serial/SerialLine/SerialLine.h"
#include "serial/TouchFoilTouchHandler/TouchFoilSignal.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

TouchFoilTouchHandler::TouchFoilTouchHandler(const char* device)
    : ZorlanTouchHandler(device, CS8 | CREAD | CLOCAL, B19200, 1, 3),
      m_inFrame(false),
      m_threshold(touchfoil::kDefaultThreshold),
      m_sampleCount(0),
      m_frameCount(0),
      m_sample(),
      m_sampleIndex(0),
      m_diff(),
      m_rxBuffer(),
      m_xValid(false),
      m_yValid(false),
      m_x(touchfoil::kNoPosition),
      m_y(touchfoil::kNoPosition)
{
    std::memset(m_baseline, 255, sizeof m_baseline);
    const char* path = std::getenv("TP_TOUCHFOIL_SENSITIVITY_FILE");
    std::snprintf(m_sensitivityPath, sizeof m_sensitivityPath, "%s",
                  path && *path ? path : touchfoil::kSensitivityPath);
    initPanel(device);
}

TouchFoilTouchHandler::~TouchFoilTouchHandler() = default;

void TouchFoilTouchHandler::initPanel(const char* device)
{
    openPanel(device);
    tcflush(m_fd, TCIOFLUSH);
}

void TouchFoilTouchHandler::openPanel(const char* device)
{
    input_log::write(0, "TouchFoilTouchHandler::openPanel()");
    switch (serial_line::makeRaw(m_fd, B19200 | CS8 | CREAD | CLOCAL, [] {})) {
    case serial_line::RawResult::GetFailed:
        input_log::write(2, "TouchFoilTouchHandler::openPanel() - tcgetattr failed");
        break;
    case serial_line::RawResult::SetFailed:
        input_log::write(2, "TouchFoilTouchHandler::openPanel() - tcsetattr failed");
        break;
    case serial_line::RawResult::Done:
        break;
    }
    int lines = 0;
    if (ioctl(m_fd, TIOCMGET, &lines) < 0)
        input_log::write(3, "TouchFoilTouchHandler::openPanel() - ioctl: %s", std::strerror(errno));
    if (m_fd >= 0)
        close(m_fd);
    m_fd = openSerialPort(device, CS8 | CREAD | CLOCAL, B19200);
    input_log::write(0, "TouchFoilTouchHandler::openPanel() - baud rate 0x%X", B19200);
}

int TouchFoilTouchHandler::readData()
{
    const int got = readn(m_fd, m_rxBuffer, sizeof m_rxBuffer);
    // A port that failed or ended has nothing more to give: say so, or the host would call
    // again at once, for ever.
    if (got <= 0)
        return 0;
    for (int i = 0; i < got; ++i) {
        const unsigned char byte = m_rxBuffer[i];
        if (byte == touchfoil::kFrameStart) {
            m_inFrame = true;
            m_sampleIndex = 0;
        } else if (m_inFrame && m_sampleIndex < touchfoil::kChannels) {
            m_sample[m_sampleIndex++] = byte;
            if (m_sampleIndex == touchfoil::kChannels)
                _processSample();
        }
    }
    return 1;
}

void TouchFoilTouchHandler::_processSample()
{
    if (m_sampleCount < touchfoil::kBaselineFrames) {
        ++m_sampleCount;
        for (int i = 0; i < touchfoil::kChannels; ++i)
            if (m_sample[i] < m_baseline[i])
                m_baseline[i] = m_sample[i];
        if (m_sampleCount == touchfoil::kThresholdFrame)
            _updateSensitivityThreshold();
        return;
    }
    for (int i = 0; i < touchfoil::kChannels; ++i)
        m_diff[i] = touchfoil::difference(m_sample[i], m_baseline[i]);
    const touchfoil::Axis x = touchfoil::evaluateAxis(m_diff, 0, m_threshold);
    const touchfoil::Axis y = touchfoil::evaluateAxis(m_diff, touchfoil::kFirstY, m_threshold);
    m_xValid = x.touched;
    m_yValid = y.touched;
    if (m_xValid && m_yValid) {
        // One divisor serves both axes: the strength of the Y peak.
        const std::int32_t divisor = y.best == 0 ? 1 : y.best;
        m_x = static_cast<std::uint32_t>(touchfoil::interpolate(
            x.coarse, m_diff[x.evaluated - 1], m_diff[x.evaluated + 1], divisor));
        m_y = static_cast<std::uint32_t>(touchfoil::interpolate(
            y.coarse, m_diff[y.evaluated - 1], m_diff[y.evaluated + 1], divisor));
    }
    if (++m_frameCount >= touchfoil::kRebaselineFrames && !(m_xValid && m_yValid)) {
        m_sampleCount = 0;
        m_frameCount = 0;
    }
    processData();
}

void TouchFoilTouchHandler::_updateSensitivityThreshold()
{
    const int fd = ::open(m_sensitivityPath, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        input_log::write(0, "TouchFoilTouchHandler::_updateSensitivityThreshold() - Error opening %s",
                         m_sensitivityPath);
        return;
    }
    char text[touchfoil::kSensitivityChars];
    const ssize_t got = ::read(fd, text, sizeof text);
    if (got < 1) {
        input_log::write(0, "TouchFoilTouchHandler::_updateSensitivityThreshold() - Error reading from %s",
                         m_sensitivityPath);
    } else {
        const int value = touchfoil::parseThreshold(text, static_cast<std::size_t>(got));
        if (value > 0 && value != m_threshold) {
            m_threshold = value;
            input_log::write(0, "TouchFoilTouchHandler::_updateSensitivityThreshold() - Threshold set to %d",
                             value);
        }
    }
    ::close(fd);
}

void TouchFoilTouchHandler::enterCalibrationMode()
{
    m_sampleCount = 0;  // the next frames form a new baseline
    CalibratedTouchHandler::enterCalibrationMode();
}

int TouchFoilTouchHandler::attachPassThrough(const char* device)
{
    CalibratedTouchHandler::attachPassThrough(device);
    return 1;
}

int TouchFoilTouchHandler::detachPassThrough() { return CalibratedTouchHandler::detachPassThrough(); }

bool TouchFoilTouchHandler::isTouchDown(const unsigned char*) { return m_xValid && m_yValid; }

GfPoint TouchFoilTouchHandler::extractPosition(const unsigned char*)
{
    return GfPoint(static_cast<std::int32_t>(m_x), static_cast<std::int32_t>(m_y));
}

TP_EXPORT_TOUCH_HANDLER(TouchFoilTouchHandler)
