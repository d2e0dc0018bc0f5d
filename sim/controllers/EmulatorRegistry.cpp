#include "sim/controllers/EmulatorRegistry.h"

#include <map>

namespace tp::sim {

namespace {

// Built on first use, so registrations from any translation unit's static initialisers work.
std::map<std::string, EmulatorFactory>& table()
{
    static std::map<std::string, EmulatorFactory> emulators;
    return emulators;
}

} // namespace

void EmulatorRegistry::add(const std::string& pluginClass, EmulatorFactory factory)
{
    table()[pluginClass] = factory;
}

std::unique_ptr<ControllerEmulator> EmulatorRegistry::create(const std::string& pluginClass)
{
    auto it = table().find(pluginClass);
    return it == table().end() ? nullptr : it->second();
}

std::vector<std::string> EmulatorRegistry::names()
{
    std::vector<std::string> all;
    for (const auto& entry : table())
        all.push_back(entry.first);
    return all;
}

} // namespace tp::sim
