#include "tools/touchhost/tests/ElfDynamic.h"

#include <cstring>
#include <elf.h>
#include <fstream>
#include <iterator>

namespace elfcheck {

namespace {

template <class Ehdr, class Shdr, class Dyn, class Sym>
struct Layout {
    using EhdrT = Ehdr;
    using ShdrT = Shdr;
    using DynT = Dyn;
    using SymT = Sym;
};
using Elf32 = Layout<Elf32_Ehdr, Elf32_Shdr, Elf32_Dyn, Elf32_Sym>;
using Elf64 = Layout<Elf64_Ehdr, Elf64_Shdr, Elf64_Dyn, Elf64_Sym>;

class Image {
public:
    explicit Image(std::vector<char> bytes) : m_bytes(std::move(bytes)) {}

    template <class T>
    bool at(std::size_t offset, T& out) const
    {
        if (offset > m_bytes.size() || m_bytes.size() - offset < sizeof(T))
            return false;
        std::memcpy(&out, m_bytes.data() + offset, sizeof(T));
        return true;
    }

    // A NUL-terminated string inside [table, table + size).
    bool string(std::size_t table, std::size_t size, std::size_t index, std::string& out) const
    {
        if (index >= size || table > m_bytes.size() || m_bytes.size() - table < size)
            return false;
        const char* begin = m_bytes.data() + table + index;
        const void* end = std::memchr(begin, '\0', size - index);
        if (!end)
            return false;
        out.assign(begin, static_cast<const char*>(end));
        return true;
    }

    std::size_t size() const { return m_bytes.size(); }

private:
    std::vector<char> m_bytes;
};

template <class L>
bool parse(const Image& image, DynamicInfo& info, std::string& error)
{
    typename L::EhdrT eh;
    if (!image.at(0, eh) || eh.e_type != ET_DYN || eh.e_shentsize != sizeof(typename L::ShdrT)) {
        error = "not a shared object";
        return false;
    }
    std::vector<typename L::ShdrT> sections(eh.e_shnum);
    for (std::size_t i = 0; i < sections.size(); ++i)
        if (!image.at(eh.e_shoff + i * sizeof(typename L::ShdrT), sections[i])) {
            error = "section headers out of the file";
            return false;
        }
    auto linked = [&](const typename L::ShdrT& s, std::size_t& offset, std::size_t& size) {
        if (s.sh_link >= sections.size())
            return false;
        offset = sections[s.sh_link].sh_offset;
        size = sections[s.sh_link].sh_size;
        return true;
    };
    bool sawDynamic = false;
    for (const auto& s : sections) {
        std::size_t strOff = 0, strSize = 0;
        if ((s.sh_type != SHT_DYNAMIC && s.sh_type != SHT_DYNSYM) || !linked(s, strOff, strSize))
            continue;
        if (s.sh_type == SHT_DYNAMIC) {
            sawDynamic = true;
            for (std::size_t off = s.sh_offset; off + sizeof(typename L::DynT) <= s.sh_offset + s.sh_size;
                 off += sizeof(typename L::DynT)) {
                typename L::DynT d;
                if (!image.at(off, d) || d.d_tag == DT_NULL)
                    break;
                std::string name;
                if (d.d_tag == DT_NEEDED && image.string(strOff, strSize, d.d_un.d_val, name))
                    info.needed.push_back(name);
            }
        } else {
            for (std::size_t off = s.sh_offset; off + sizeof(typename L::SymT) <= s.sh_offset + s.sh_size;
                 off += sizeof(typename L::SymT)) {
                typename L::SymT sym;
                if (!image.at(off, sym))
                    break;
                unsigned bind = sym.st_info >> 4;
                unsigned vis = sym.st_other & 0x3;
                std::string name;
                if (sym.st_shndx != SHN_UNDEF && (bind == STB_GLOBAL || bind == STB_WEAK) &&
                    (vis == STV_DEFAULT || vis == STV_PROTECTED) &&
                    image.string(strOff, strSize, sym.st_name, name) && !name.empty())
                    info.exported.push_back(name);
            }
        }
    }
    if (!sawDynamic) {
        error = "no dynamic section";
        return false;
    }
    return true;
}

} // namespace

bool readDynamicInfo(const std::string& path, DynamicInfo& info, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    Image image(std::vector<char>(std::istreambuf_iterator<char>(in), {}));
    unsigned char ident[EI_NIDENT];
    if (!image.at(0, ident) || std::memcmp(ident, ELFMAG, SELFMAG) != 0 ||
        ident[EI_DATA] != ELFDATA2LSB) {
        error = "not a little-endian ELF file";
        return false;
    }
    info = DynamicInfo{};
    if (ident[EI_CLASS] == ELFCLASS32)
        return parse<Elf32>(image, info, error);
    if (ident[EI_CLASS] == ELFCLASS64)
        return parse<Elf64>(image, info, error);
    error = "unknown ELF class";
    return false;
}

} // namespace elfcheck
