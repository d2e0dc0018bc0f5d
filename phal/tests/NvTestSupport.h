// Helpers shared by the NV tests: a scratch folder, the emulated part's image
// and transfer log, a captured Logger, and a bit-at-a-time CRC-32 to check
// the table-driven one against.
#ifndef PHAL_TESTS_NVTESTSUPPORT_H
#define PHAL_TESTS_NVTESTSUPPORT_H

#include "util/Logger.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <stdint.h>
#include <stdlib.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace nvtest {

// CRC-32 (reflected 0xEDB88320, preset and final complement), one bit at a time.
inline uint32_t referenceCrc(const std::string& bytes)
{
    uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
        c ^= b;
        for (int k = 0; k < 8; k++)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    }
    return ~c;
}

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::string> readLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A 512-byte part: the image padded with zeros to 508 bytes, then its CRC-32
// little-endian (or `crc` when given, to make a mismatch).
inline std::string partImage(const std::string& image, const uint32_t* crc = nullptr)
{
    std::string part = image;
    part.resize(508, '\0');
    uint32_t c = crc ? *crc : referenceCrc(part);
    for (int i = 0; i < 4; i++)
        part.push_back(static_cast<char>((c >> (8 * i)) & 0xFF));
    return part;
}

// The entries of an image, "name=value" each, up to the empty one.
inline std::vector<std::string> entriesOf(const std::string& part)
{
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < 508 && part[pos] != '\0') {
        size_t end = part.find('\0', pos);
        if (end == std::string::npos || end >= 508)
            break;
        out.push_back(part.substr(pos, end - pos));
        pos = end + 1;
    }
    return out;
}

inline bool crcMatches(const std::string& part)
{
    if (part.size() != 512)
        return false;
    uint32_t stored = 0;
    for (int i = 0; i < 4; i++)
        stored |= static_cast<uint32_t>(static_cast<unsigned char>(part[508 + i])) << (8 * i);
    return stored == referenceCrc(part.substr(0, 508));
}

// A fresh folder, removed with its files afterwards.
class ScratchDir {
public:
    ScratchDir()
    {
        char tmpl[] = "/tmp/nvtest.XXXXXX";
        const char* d = mkdtemp(tmpl);
        path_ = d ? d : "";
    }
    ~ScratchDir()
    {
        if (!path_.empty()) {
            std::string cmd = "rm -rf '" + path_ + "'";
            int rc = system(cmd.c_str());
            (void)rc;
        }
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Collects the Logger's lines while installed.
class LogCapture : public LoggerSubscriber {
public:
    LogCapture() { Logger::Instance()->subscribe(this); }
    ~LogCapture() override { Logger::Instance()->subscribe(nullptr); }
    void diagString(char* line) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(line);
    }
    std::vector<std::string> lines()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }
    // Lines whose message (after the "level:" header) contains the text.
    int count(const std::string& text)
    {
        int n = 0;
        for (const std::string& l : lines())
            if (l.find(text) != std::string::npos)
                n++;
        return n;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.clear();
    }

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

// The emulated part of this process: sets its environment for the test's
// lifetime. Nothing in a test reaches a real /dev/i2c-0 while one exists.
class EmulatedPart {
public:
    EmulatedPart() : image_(dir_.file("eeprom.bin")), log_(dir_.file("i2c.log"))
    {
        setenv("I2C_EEPROM_IMAGE", image_.c_str(), 1);
        setenv("I2C_EEPROM_LOG", log_.c_str(), 1);
        unsetenv("I2C_EEPROM_TWR_MS");
        unsetenv("I2C_EEPROM_FAIL_AFTER");
    }
    ~EmulatedPart()
    {
        unsetenv("I2C_EEPROM_LOG");
        unsetenv("I2C_EEPROM_TWR_MS");
        unsetenv("I2C_EEPROM_FAIL_AFTER");
        // keep pointing at a scratch path so a stray open never reaches hardware
        setenv("I2C_EEPROM_IMAGE", "/nonexistent/eeprom.bin", 1);
    }
    void store(const std::string& part) { writeFile(image_, part); }
    std::string image() const { return readFile(image_); }
    std::vector<std::string> traffic() const { return readLines(log_); }
    void clearTraffic() { unlink(log_.c_str()); }
    void failAfter(int writes) { setenv("I2C_EEPROM_FAIL_AFTER", std::to_string(writes).c_str(), 1); }
    void writeCycleMs(int ms) { setenv("I2C_EEPROM_TWR_MS", std::to_string(ms).c_str(), 1); }
    const std::string& imagePath() const { return image_; }
    const std::string& logPath() const { return log_; }
    const ScratchDir& dir() const { return dir_; }

private:
    ScratchDir dir_;
    std::string image_;
    std::string log_;
};

} // namespace nvtest

#endif
