#pragma once
// The MicroTouch SX112 controller, whatever its touch mode: configured by a command and
// reply dialogue when the host binds the handler (InitTouchHandler), then read through the
// framework's default framing of five-byte reports (SX112Protocol.h). A concrete handler
// only names its touch-mode command.

#include "contract/TouchHandler.h"

class MTSX112Base : public ZorlanTouchHandler {
public:
    // One controller command: its letters, a text for the log, and how many characters its
    // reply carries between SOH and CR.
    class SX112FirmwareCommand {
    public:
        SX112FirmwareCommand(const char* name, const char* description, unsigned int responseLength);

        char m_name[17];
        char m_description[33];
        unsigned int m_responseLength;
    };

    explicit MTSX112Base(const char* device);
    ~MTSX112Base() override;

    bool inSync(const unsigned char* packet) override;
    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;
    // Runs the command sequence; the argument is not used. True when every command was
    // sent and answered.
    bool InitTouchHandler(boost::shared_ptr<ZorlanRawUSBDevice>& device) override;

    // The command that selects the handler's touch mode; the caller deletes it.
    virtual SX112FirmwareCommand* createTouchModeCommand() = 0;

    // Bytes written, 0 on failure.
    unsigned int writeCommand(const SX112FirmwareCommand& command);
    // Bytes of the reply read into the module's reply buffer, 0 on failure.
    unsigned int readCommandResponse(const SX112FirmwareCommand& command);
};
