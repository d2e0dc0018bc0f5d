// Every plug-in the build made depends on nothing but the platform runtime (the framework and
// the Logger come from the process that loads it) and exports its factory and nothing else of
// its own.

#include "tools/touchhost/tests/ElfDynamic.h"

#include <algorithm>
#include <dirent.h>
#include <gtest/gtest.h>

namespace {

std::vector<std::string> pluginFiles()
{
    std::vector<std::string> files;
    // readdir64: on a 32-bit target plain readdir fails on file systems with 64-bit inodes.
    if (DIR* dir = opendir(TP_PLUGIN_DIR)) {
        while (dirent64* e = readdir64(dir)) {
            std::string name = e->d_name;
            if (name.size() > 3 && name.compare(name.size() - 3, 3, ".so") == 0)
                files.push_back(name);
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

bool platformLibrary(const std::string& name)
{
    static const char* const runtime[] = {"libc.so.6", "libstdc++.so.6", "libm.so.6",
                                          "libgcc_s.so.1", "ld.so.1"};
    for (const char* lib : runtime)
        if (name == lib)
            return true;
    if (startsWith(name, "ld-linux"))  // the dynamic loader, named after the machine
        return true;
#ifdef TP_SANITIZED_BUILD
    for (const char* lib : {"libasan.so.", "libubsan.so.", "libtsan.so."})
        if (startsWith(name, lib))
            return true;
#endif
    return false;
}

// Symbols a module may carry without owning them: instantiations from the C++ runtime's own
// headers (namespaces std and __gnu_cxx), which every module that uses them emits.
bool runtimeSymbol(const std::string& name)
{
    for (const char* kind : {"_Z", "_ZN", "_ZNK", "_ZTI", "_ZTS", "_ZTV", "_ZGV", "_ZTH", "_ZTW"}) {
        std::string k = kind;
        if (startsWith(name, (k + "St").c_str()) || startsWith(name, (k + "9__gnu_cxx").c_str()) ||
            startsWith(name, (k + "NSt").c_str()) || startsWith(name, (k + "N9__gnu_cxx").c_str()))
            return true;
    }
    return false;
}

TEST(PluginAbi, EveryPluginNeedsOnlyThePlatformRuntimeAndExportsOnlyItsFactory)
{
    std::vector<std::string> plugins = pluginFiles();
    ASSERT_FALSE(plugins.empty()) << "no plug-ins in " TP_PLUGIN_DIR;
    for (const std::string& file : plugins) {
        SCOPED_TRACE(file);
        elfcheck::DynamicInfo info;
        std::string error;
        ASSERT_TRUE(elfcheck::readDynamicInfo(std::string(TP_PLUGIN_DIR) + "/" + file, info, error))
            << error;
        EXPECT_FALSE(info.needed.empty()) << "no NEEDED entries read";
        for (const std::string& lib : info.needed)
            EXPECT_TRUE(platformLibrary(lib)) << "needs " << lib;
        std::vector<std::string> own;
        for (const std::string& sym : info.exported)
            if (!runtimeSymbol(sym))
                own.push_back(sym);
        bool serial = own == std::vector<std::string>{"CreateTouchHandler"};
        bool usb = own == std::vector<std::string>{"CreateUSBTouchHandler"};
        EXPECT_TRUE(serial || usb) << "exports: " << ::testing::PrintToString(own);
    }
}

} // namespace
