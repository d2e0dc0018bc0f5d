#pragma once
// Controller emulators, found by the class name of the plug-in they talk to.
//
// Adding an emulator for a plug-in class <Class>:
//   1. create sim/controllers/<Class>Emulator.cpp (the folder's sources are picked up as
//      they are, nothing else to edit);
//   2. in it, derive from tp::sim::ControllerEmulator and implement run(): answer the
//      plug-in's start-up commands the way that controller does, then play a short stroke;
//   3. end the file with TP_REGISTER_EMULATOR(<Class>, <YourEmulator>);
// `touchhost --emulate <Class>` and `touchhost --list-emulators` see it from then on.

#include "sim/controllers/PtyLine.h"

#include <memory>
#include <string>
#include <vector>

namespace tp::sim {

class ControllerEmulator {
public:
    virtual ~ControllerEmulator() = default;
    // Plays the controller on `line`, on a thread of its own, while the handler runs on the
    // other end. Returns once the stroke has been sent; the caller waits until the handler
    // has read it and then hangs up.
    virtual void run(PtyLine& line) = 0;
};

using EmulatorFactory = std::unique_ptr<ControllerEmulator> (*)();

class EmulatorRegistry {
public:
    static void add(const std::string& pluginClass, EmulatorFactory factory);
    // Null when no emulator is known for that class.
    static std::unique_ptr<ControllerEmulator> create(const std::string& pluginClass);
    // Every class with an emulator, in name order.
    static std::vector<std::string> names();
};

struct EmulatorRegistration {
    EmulatorRegistration(const char* pluginClass, EmulatorFactory factory)
    {
        EmulatorRegistry::add(pluginClass, factory);
    }
};

} // namespace tp::sim

#define TP_REGISTER_EMULATOR(PluginClass, EmulatorType)                                  \
    static const ::tp::sim::EmulatorRegistration tpEmulatorRegistration_##PluginClass(   \
        #PluginClass, []() -> std::unique_ptr<::tp::sim::ControllerEmulator> {            \
            return std::make_unique<EmulatorType>();                                      \
        })
