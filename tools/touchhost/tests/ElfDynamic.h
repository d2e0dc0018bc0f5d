#pragma once
// What a shared object asks of and offers to the dynamic linker: its NEEDED libraries and the
// symbols it defines with default visibility. Read straight from the ELF section headers of a
// little-endian 32- or 64-bit file, so the same test runs on both targets.

#include <string>
#include <vector>

namespace elfcheck {

struct DynamicInfo {
    std::vector<std::string> needed;
    std::vector<std::string> exported;  // defined, global or weak, default or protected
};

// False with a reason in `error` for a file that is not a well-formed ELF shared object.
bool readDynamicInfo(const std::string& path, DynamicInfo& info, std::string& error);

} // namespace elfcheck
