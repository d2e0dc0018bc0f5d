// touchhost: the panel's host process in small. Loads a touch plug-in, binds it to a serial
// device, and prints every touch it reports as "down X Y" / "up X Y" (raw controller units)
// until the device hangs up. See Options.h for the command line.

#include "contract/TouchHandler.h"
#include "host/PluginLoader.h"
#include "host/TouchSink.h"
#include "sim/controllers/EmulatorRegistry.h"
#include "tools/touchhost/Options.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <pthread.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

int fail(const std::string& message)
{
    std::fprintf(stderr, "touchhost: %s\n", message.c_str());
    return 1;
}

// Printed at once: whoever watches the output sees each touch as it happens.
struct TouchPrinter : host::TouchSink {
    void touch(const host::TouchReport& t) override
    {
        std::printf("%s %d %d\n", t.down ? "down" : "up", static_cast<int>(t.raw.x),
                    static_cast<int>(t.raw.y));
        std::fflush(stdout);
    }
};

// SIGINT and SIGTERM are taken on a thread of their own: the reader may be blocked in a read
// that a signal would not end. Every touch is already printed, so ending at once is clean.
void startSignalThread()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([set] {
        int sig = 0;
        while (sigwait(&set, &sig) != 0) {
        }
        std::fflush(nullptr);
        std::_Exit(0);
    }).detach();
}

bool fileExists(const std::string& path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0;
}

// --plugin-dir, else $TP_PLUGIN_DIR, else this build's plug-in folder, else the installed one
// next to the program: the first that holds the plug-in.
std::string pluginDir(const touchhost::Options& o)
{
    if (!o.pluginDir.empty())
        return o.pluginDir;
    const char* env = std::getenv("TP_PLUGIN_DIR");
    if (env && *env)
        return env;
    const std::string candidates[] = {TOUCHHOST_BUILD_PLUGIN_DIR, host::defaultPluginDir()};
    for (const std::string& dir : candidates)
        if (fileExists(dir + "/" + o.plugin + ".so"))
            return dir;
    return host::defaultPluginDir();
}

bool enableLogCategories(const std::vector<std::string>& names, std::string& error)
{
    Logger* log = Logger::Instance();
    for (const std::string& name : names) {
        std::string lower = name;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        bool known = lower == "all";
        for (int bit = 0; bit < 32 && !known; ++bit) {
            const char* n = log->getNameByMask(static_cast<int>(1u << bit));
            known = n && lower == n;
        }
        if (!known) {
            error = "unknown log category '" + name + "'";
            return false;
        }
        log->setMaskByName(&lower[0]);
    }
    return true;
}

// A device that is not there or not ours is reported before the plug-in touches it.
bool deviceUsable(const std::string& device, std::string& error)
{
    if (::access(device.c_str(), R_OK | W_OK) == 0)
        return true;
    error = "cannot open " + device + ": " + std::strerror(errno);
    return false;
}

// Runs the plug-in's emulator on the controller's end of `line`, then hangs up once the
// handler has read everything, which ends the reader.
std::thread startEmulator(std::unique_ptr<tp::sim::ControllerEmulator> emulator,
                          tp::sim::PtyLine& line)
{
    return std::thread([emu = std::move(emulator), &line] {
        emu->run(line);
        line.waitConsumed();
        line.hangUp();
    });
}

int run(const touchhost::Options& o)
{
    std::string error;
    if (!enableLogCategories(o.logCategories, error))
        return fail(error);
    if (o.baud)
        LocalInfo::Instance()->setBaudRateBps(o.baud);
    if (o.width)
        LocalInfo::Instance()->setResolution(o.width, o.height);

    std::shared_ptr<host::Plugin> plugin = host::Plugin::load(o.plugin, pluginDir(o), &error);
    if (!plugin)
        return fail(error);
    if (!plugin->isSerial())
        return fail(o.plugin + " is not a serial plug-in (no CreateTouchHandler)");

    std::unique_ptr<tp::sim::PtyLine> line;
    std::thread emulator;
    std::string device = o.device;
    if (o.emulate) {
        auto emu = tp::sim::EmulatorRegistry::create(o.plugin);
        if (!emu)
            return fail("no emulated controller for " + o.plugin + " (see --list-emulators)");
        try {
            line = std::make_unique<tp::sim::PtyLine>();
        } catch (const std::exception& e) {
            return fail(e.what());
        }
        device = line->slavePath();
        emulator = startEmulator(std::move(emu), *line);
    } else if (!deviceUsable(device, error)) {
        return fail(error);
    }
    if (!o.passthrough.empty() && !deviceUsable(o.passthrough, error))
        return fail(error);

    TouchPrinter printer;
    host::setTouchSink(&printer);
    host::SerialHandlerPtr handler = plugin->createTouchHandler(device.c_str(), &error);
    int status = 0;
    if (!handler) {
        status = fail(error);
    } else if (handler->descriptor() < 0) {
        status = fail("cannot open " + device);
    } else if (!o.passthrough.empty() && !handler->attachPassThrough(o.passthrough.c_str())) {
        status = fail("cannot attach pass-through port " + o.passthrough);
    } else {
        DeviceInfoPtr noDevice;
        if (!handler->InitTouchHandler(noDevice))
            std::fprintf(stderr, "touchhost: %s did not initialise its controller\n",
                         o.plugin.c_str());
        // Reads block: an idle controller costs nothing. A 0 on a live line (lost sync) just
        // means reading goes on.
        for (;;) {
            int consumed = handler->readData();
            if (consumed == 0 && tp::sim::hungUp(handler->descriptor()))
                break;
        }
    }
    // The emulator hangs up by itself once its stroke is read (or its time-outs ran out).
    if (emulator.joinable())
        emulator.join();
    handler.reset();
    host::setTouchSink(nullptr);
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGHUP, SIG_IGN);  // a hang-up is seen through the reads
    touchhost::Options options;
    std::string error;
    if (!touchhost::parseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "touchhost: %s (touchhost --help for usage)\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(touchhost::usage(), stdout);
        return 0;
    }
    if (options.listEmulators) {
        for (const std::string& name : tp::sim::EmulatorRegistry::names())
            std::printf("%s\n", name.c_str());
        return 0;
    }
    startSignalThread();
    return run(options);
}
