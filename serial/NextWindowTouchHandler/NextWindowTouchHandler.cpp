#include "serial/NextWindowTouchHandler/NextWindowTouchHandler.h"

#include "contract/TimeoutLabels.h"
#include "serial/NextWindowTouchHandler/NextWindowReport.h"

NextWindowTouchHandler::NextWindowTouchHandler(const char* device)
    : ZorlanTouchHandler(device, CS8 | CREAD | CLOCAL, B115200, 32, 1),
      m_lastStatus(0),
      m_modePending(false),
      m_touchDown(false)
{
    Logger::Instance()->DiagnosticString(oidInput, 0,
                                         "NextWindowTouchHandler: Dynamic Load Version is %s",
                                         "v1.0");
}

NextWindowTouchHandler::~NextWindowTouchHandler() = default;

// One report per call: bytes up to and including the next report end, or fifteen of them,
// whichever comes first, so a stream that lost alignment lines up again at the next end.
int NextWindowTouchHandler::readData()
{
    int count = 0;
    int end = 0;  // index after the closing 0x0D; 0 while none came
    for (int i = 0; i < nextwindow::kReportSize && end == 0; ++i) {
        // A line that failed or ended gives no report; answering 1 here would have the host
        // call again at once, for ever, and leave the previous report's bytes to be read as
        // a new one.
        if (readn(m_fd, m_packet + i, 1) != 1)
            return 0;
        count = nextwindow::nextSyncCount(count, m_packet[i]);
        if (m_packet[i] == nextwindow::kTrailerEnd)
            end = i + 1;
    }
    if (count != nextwindow::kSyncBytes) {
        Logger::Instance()->DiagnosticString(oidInput, 0,
                                             "Invalid packet - nbr sync bytes not 6 0x%X", count);
        return 1;
    }
    // A trailer can also add up to six without its closing byte, or close within the first
    // bytes of the call: then the report lies partly outside what was read, its status byte
    // perhaps before the buffer, and its position is not in bytes 0-7. Only a whole report
    // is used.
    if (end == 0) {
        Logger::Instance()->DiagnosticString(oidInput, 0,
                                             "Invalid packet - no end of report within %d bytes",
                                             nextwindow::kReportSize);
        return 1;
    }
    if (end != nextwindow::kReportSize) {
        Logger::Instance()->DiagnosticString(oidInput, 0,
                                             "Invalid packet - report of %d bytes, not %d", end,
                                             nextwindow::kReportSize);
        return 1;
    }
    applyStatus(m_packet[end - nextwindow::kStatusFromEnd]);
    return 1;
}

void NextWindowTouchHandler::applyStatus(unsigned char status)
{
    const nextwindow::StatusEffect effect = nextwindow::statusEffect(status, m_lastStatus);
    if (!effect.report)
        return;
    m_touchDown = effect.touchDown;
    if (!effect.keepLast)
        m_lastStatus = status;
    processData();
}

bool NextWindowTouchHandler::isTouchDown(const unsigned char*) { return m_touchDown; }

bool NextWindowTouchHandler::inSync(const unsigned char*) { return true; }

GfPoint NextWindowTouchHandler::extractPosition(const unsigned char* packet)
{
    const LocalInfo* info = LocalInfo::Instance();
    return GfPoint(nextwindow::scaled(nextwindow::wireFloat(packet), info->getHorizontalResolution()),
                   nextwindow::scaled(nextwindow::wireFloat(packet + 4), info->getVerticalResolution()));
}

void NextWindowTouchHandler::lineControlChange(int lines, int state)
{
    CalibratedTouchHandler::lineControlChange(lines, state);
    if (state == 1 && (lines & TIOCM_CTS) != 0)
        m_modePending = true;
}

TP_EXPORT_TOUCH_HANDLER(NextWindowTouchHandler)
