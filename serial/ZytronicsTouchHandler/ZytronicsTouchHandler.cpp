#include "serial/ZytronicsTouchHandler/ZytronicsTouchHandler.h"

#include "serial/SerialLine/InputLog.h"
#include "serial/ZytronicsTouchHandler/ZytronicsProtocol.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// What the controller is taken to have, and where its settings are kept.
int g_currentGlassType = 0;
int g_currentSensitivity = 0;
char g_settingsPath[4096];  // set by each constructor; no allocation outlives a handler

void chooseSettingsPath()
{
    const char* path = std::getenv("TP_ZYTRONICS_SETTINGS_FILE");
    std::snprintf(g_settingsPath, sizeof g_settingsPath, "%s",
                  path && *path ? path : zytronics::kSettingsPath);
}

// The settings file's text, at most `limit` bytes of it (the file is two short numbers).
std::string readText(std::FILE* file, std::size_t limit = 256)
{
    std::string text(limit, '\0');
    text.resize(std::fread(&text[0], 1, limit, file));
    return text;
}

} // namespace

ZytronicsTouchHandler::ZytronicsTouchHandler(const char* device)
    : ZorlanTouchHandler(device, CS8 | CREAD | CLOCAL, B9600, 5, 3)
{
    chooseSettingsPath();
    input_log::write(1, "ZytronicsTouchHandler Constructor called");
    setTouchMode();
    if (isTimerRunning(zytronics::kSettingsTimer))
        timerStop(zytronics::kSettingsTimer);
    timerStart(zytronics::kSettingsDelayMs, false, zytronics::kSettingsTimer);
}

ZytronicsTouchHandler::~ZytronicsTouchHandler()
{
    input_log::write(0, "destructor for Zytronics");
    timerStop(zytronics::kSettingsTimer);
}

void ZytronicsTouchHandler::setTouchMode()
{
    unsigned char command[sizeof zytronics::kInitCommand];
    std::memcpy(command, zytronics::kInitCommand, sizeof command);
    input_log::write(0, "buf data array = %x ", command[0]);
    g_currentSensitivity = zytronics::kDefaultSensitivity;
    g_currentGlassType = zytronics::kDefaultGlassType;
    if (writen(m_fd, command, sizeof command) == static_cast<int>(sizeof command))
        input_log::write(0, "initialize device similar to PC");

    const char* path = g_settingsPath;
    if (std::FILE* file = std::fopen(path, "r")) {
        input_log::write(0, "file already present, don't overwrite it fptr = %p", static_cast<void*>(file));
        std::fclose(file);
        return;
    }
    // Exclusive creation: a file that is there but could not be opened for reading keeps
    // what it holds.
    if (std::FILE* file = std::fopen(path, "wx")) {
        input_log::write(0, "file not found, create it fptr = %p", static_cast<void*>(file));
        const std::string text =
            zytronics::formatSettings({zytronics::kDefaultGlassType, zytronics::kDefaultSensitivity});
        std::fputs(text.c_str(), file);
        std::fclose(file);
    }
}

void ZytronicsTouchHandler::timerDone(int timer)
{
    if (timer != zytronics::kSettingsTimer)
        return;
    std::FILE* file = std::fopen(g_settingsPath, "r");
    if (!file) {
        input_log::write(0, "file read open failed");
        return;
    }
    zytronics::Settings s;
    const bool parsed = zytronics::parseSettings(readText(file), s);
    std::fclose(file);
    // A file that does not hold two numbers gives no settings: nothing is sent, and what
    // the controller is taken to have stays.
    if (!parsed) {
        input_log::write(0, "settings file %s does not hold two numbers", g_settingsPath);
        return;
    }
    if (s.glassType != g_currentGlassType) {
        if (zytronics::validGlassType(s.glassType)) {
            unsigned char byte = static_cast<unsigned char>(s.glassType);
            if (::write(m_fd, &byte, 1) != 1)
                input_log::write(0, "write glass type to device failed %s", std::strerror(errno));
        }
        g_currentGlassType = s.glassType;
    }
    if (s.sensitivity != g_currentSensitivity) {
        if (zytronics::validSensitivity(s.sensitivity)) {
            unsigned char byte = static_cast<unsigned char>(s.sensitivity & 0xFF);
            if (::write(m_fd, &byte, 1) != 1)
                input_log::write(0, "failed to write sensitivity data to device");
        }
        g_currentSensitivity = s.sensitivity;
    }
}

bool ZytronicsTouchHandler::isTouchDown(const unsigned char* packet)
{
    switch (packet[0]) {
    case zytronics::kTouching:
        return true;
    case zytronics::kNotTouching:
        return false;
    default:
        input_log::write(1, "default case, data[0] = %x", packet[0]);
        return false;
    }
}

GfPoint ZytronicsTouchHandler::extractPosition(const unsigned char* packet)
{
    return GfPoint(zytronics::position(packet + 1), zytronics::position(packet + 3));
}

TP_EXPORT_TOUCH_HANDLER(ZytronicsTouchHandler)
