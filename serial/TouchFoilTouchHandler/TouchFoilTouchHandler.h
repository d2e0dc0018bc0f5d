#pragma once
// Capacitive touch foil whose controller streams raw channel levels (TouchFoilSignal.h). The
// handler learns each channel's untouched level over five frames, then evaluates every
// frame; after 900 tracked frames the first untouched one starts a new baseline phase. The
// touch threshold is re-read from the sensitivity file during every baseline phase.
//
// The sensitivity file is "/opt/touch/touchfoilsensitivity.cf"; a test may name another one in
// the environment variable TP_TOUCHFOIL_SENSITIVITY_FILE, read when the handler is constructed.

#include "contract/TouchHandler.h"

#include <cstdint>

class TouchFoilTouchHandler : public ZorlanTouchHandler {
public:
    explicit TouchFoilTouchHandler(const char* device);
    ~TouchFoilTouchHandler() override;

    int readData() override;
    void enterCalibrationMode() override;
    int attachPassThrough(const char* device) override;
    int detachPassThrough() override;
    bool isTouchDown(const unsigned char* packet) override;
    GfPoint extractPosition(const unsigned char* packet) override;

    void openPanel(const char* device);
    void initPanel(const char* device);
    void _updateSensitivityThreshold();
    void _processSample();

private:
    bool m_inFrame;              // a frame start has been seen
    std::int32_t m_threshold;    // least sum of three differences for a touched axis
    std::uint8_t m_baseline[64]; // untouched level of each channel
    std::int32_t m_sampleCount;  // frames taken in the current baseline phase
    std::int32_t m_frameCount;   // frames evaluated since the last baseline phase
    std::uint8_t m_sample[64];   // levels of the frame being received
    std::int32_t m_sampleIndex;  // next channel of m_sample
    std::int32_t m_diff[64];     // per-channel difference from the baseline
    std::uint8_t m_rxBuffer[185];
    bool m_xValid;
    bool m_yValid;
    std::uint32_t m_x;
    std::uint32_t m_y;
    char m_sensitivityPath[4096];
};
