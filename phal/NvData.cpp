#include "phal/NvData.h"

#include "util/Logger.h"

#include <ctype.h>
#include <new>
#include <string.h>
#include <string>

namespace {

const int kInfo = 1;
const int kWarn = 2;
const int kError = 3;

const char kContainer[] = "qvt_param";

// Variables that live as tokens of the container.
const int kNameSlot = 32;
const char qvtNvNameList[][kNameSlot] = {"res"};

void log(int level, const char* text)
{
    Logger::Instance()->DiagnosticString(oidPhal, level, "%s", text);
}

bool isBlank(char c)
{
    return isspace(static_cast<unsigned char>(c)) != 0;
}

// Copies at most len characters and ends them with a NUL.
int copyOut(char* buf, int len, const char* text, size_t textLength)
{
    size_t n = textLength < static_cast<size_t>(len) ? textLength : static_cast<size_t>(len);
    memcpy(buf, text, n);
    buf[n] = '\0';
    return static_cast<int>(n);
}

int clampInt(size_t v)
{
    return v > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(v);
}

} // namespace

NvData::NvData(NvInterface* pInterface)
    : m_pInterface(pInterface), m_pData(nullptr), m_iDataSize(0), m_iDataValid(0),
      m_lDataCrc(0), m_initMode(false), m_bCrcMismatch(false)
{
    if (!m_pInterface)
        return;
    int size = m_pInterface->getDataSize();
    if (size <= 0)
        return;
    m_pData = new (std::nothrow) char[static_cast<size_t>(size) + 1]();
    if (!m_pData)
        return;
    m_iDataSize = size;
    if (m_pInterface->getData(m_pData) == 0) {
        log(kError, "NvData::NvData Failed getData");
        return;
    }
    m_pData[size] = '\0';
    setDataCrc(m_pInterface->crc32(0, m_pData, static_cast<unsigned int>(size)));
    if ((m_lDataCrc & 0xFFFFFFFFUL) == (m_pInterface->getDataCrc() & 0xFFFFFFFFUL)) {
        m_iDataValid = 1;
        log(kInfo, "NvData::NvData Good CRC");
        return;
    }
    // A corrupt or blank part is an empty store that the next change overwrites.
    log(kError, "NvData::NvData Mismatch CRC ");
    memset(m_pData, 0, static_cast<size_t>(size));
    setDataCrc(m_pInterface->crc32(0, m_pData, static_cast<unsigned int>(size)));
    m_bCrcMismatch = true;
    m_iDataValid = 1;
}

NvData::~NvData()
{
    delete[] m_pData;
}

void NvData::setInitMode(bool initMode)
{
    m_initMode = initMode;
}

bool NvData::getInitMode() const
{
    return m_initMode;
}

int NvData::getRunFlag()
{
    return m_pInterface ? m_pInterface->getRunFlag() : 0;
}

int NvData::setRunFlag(int iFlag)
{
    return m_pInterface ? m_pInterface->setRunFlag(iFlag) : -1;
}

int NvData::isDataValid()
{
    return m_iDataValid;
}

bool NvData::wasCrcMismatch() const
{
    return m_bCrcMismatch;
}

unsigned int NvData::getDataChar(int i)
{
    if (!m_iDataValid || i < 0 || i >= m_iDataSize)
        return 0;
    return static_cast<unsigned char>(m_pData[i]);
}

char* NvData::getDataAddr(int i)
{
    return m_pData + i;
}

int NvData::getDataSize()
{
    return m_iDataSize;
}

unsigned long NvData::getDataCrc()
{
    return m_lDataCrc;
}

void NvData::setDataCrc(unsigned long crc)
{
    m_lDataCrc = crc;
}

int NvData::entryEnd(int start) const
{
    const void* nul = memchr(m_pData + start, '\0', static_cast<size_t>(m_iDataSize - start));
    return nul ? static_cast<int>(static_cast<const char*>(nul) - m_pData) : -1;
}

int NvData::listEnd() const
{
    int pos = 0;
    while (pos < m_iDataSize && m_pData[pos] != '\0') {
        int end = entryEnd(pos);
        if (end < 0)
            break; // runs off the image: not an entry
        pos = end + 1;
    }
    return pos;
}

const char* NvData::getEntry(int index) const
{
    if (!m_iDataValid || index < 0)
        return nullptr;
    for (int pos = 0; pos < m_iDataSize && m_pData[pos] != '\0';) {
        int end = entryEnd(pos);
        if (end < 0)
            return nullptr;
        if (index-- == 0)
            return m_pData + pos;
        pos = end + 1;
    }
    return nullptr;
}

// The name matches when it, followed by '=', begins the entry; a name holding
// '=' is compared up to and including its first '='. The entry's own NUL (or
// the guard byte after the image) ends the comparison.
int NvData::match(const char* name, int start)
{
    for (int i = start, j = 0; i < m_iDataSize; i++, j++) {
        char n = name[j];
        char c = m_pData[i];
        if (n == c) {
            if (c == '=')
                return i + 1;
            if (c == '\0')
                return -1;
            continue;
        }
        return (n == '\0' && c == '=') ? i + 1 : -1;
    }
    return -1;
}

int NvData::find(const char* name, int* start)
{
    for (int pos = 0; pos < m_iDataSize && m_pData[pos] != '\0';) {
        int end = entryEnd(pos);
        if (end < 0)
            return -1;
        int value = match(name, pos);
        if (value >= 0) {
            *start = pos;
            return value;
        }
        pos = end + 1;
    }
    return -1;
}

char* NvData::get(const char* name)
{
    int start = 0;
    int value = find(name, &start);
    return value < 0 ? nullptr : getDataAddr(value);
}

int NvData::set(const char* name, const char* value)
{
    if (!m_pData)
        return -1;
    int start = 0;
    if (find(name, &start) >= 0) {
        int end = entryEnd(start);
        int last = listEnd();
        if (end + 1 >= last) {
            // the last entry: the list now ends where it began
            m_pData[start] = '\0';
            m_pData[start + 1] = '\0';
        } else {
            int moved = last - (end + 1);
            memmove(m_pData + start, m_pData + end + 1, static_cast<size_t>(moved));
            m_pData[start + moved] = '\0';
        }
    }
    if (value[0] == '\0') {
        setDataCrc(m_pInterface->crc32(0, m_pData, static_cast<unsigned int>(m_iDataSize)));
        return 0;
    }

    int pos = listEnd();
    size_t nameLength = strlen(name);
    size_t valueLength = strlen(value);
    size_t needed = nameLength + valueLength + 3;
    size_t space = static_cast<size_t>(m_iDataSize - pos);
    if (needed > space) {
        Logger::Instance()->DiagnosticString(
            oidPhal, kError,
            "NvData::set() Error: NvData overflow, \"%s\" deleted; len[%d], varSize[%d]\n", name,
            clampInt(needed), clampInt(space));
        return -1;
    }
    char* p = getDataAddr(pos);
    memcpy(p, name, nameLength);
    p[nameLength] = '=';
    memcpy(p + nameLength + 1, value, valueLength);
    p[nameLength + 1 + valueLength] = '\0';
    p[nameLength + 2 + valueLength] = '\0';
    setDataCrc(m_pInterface->crc32(0, m_pData, static_cast<unsigned int>(m_iDataSize)));
    return 0;
}

int NvData::flush()
{
    if (!m_iDataValid)
        return -1;
    return m_pInterface->setData(m_pData, m_iDataSize, m_lDataCrc);
}

int NvData::isQVTNv(const char* name)
{
    for (const char* slot : qvtNvNameList)
        if (strcmp(name, slot) == 0)
            return 0;
    return -1;
}

int NvData::getQVTNv(const char* name, char* buf, int len)
{
    buf[0] = '\0';
    const char* text = get(kContainer);
    if (!text)
        return 0;
    const char* at = strstr(text, name);
    if (!at)
        return 0;
    const char* eq = strchr(at, '=');
    if (!eq)
        return 0;
    const char* token = eq + 1;
    while (*token && isBlank(*token))
        token++;
    size_t length = 0;
    while (token[length] && !isBlank(token[length]))
        length++;
    if (length == 0)
        return 0;
    return copyOut(buf, len, token, length);
}

// The changed token moves to the front of the container; the rest keeps its
// order (and its separators, which may double).
int NvData::setQVTNv(const char* name, const char* value)
{
    const char* current = get(kContainer);
    if (!current)
        return -1;
    const std::string text(current);
    size_t at = text.find(name);
    if (at == std::string::npos)
        return 0;
    size_t eq = text.find('=', at);
    if (eq == std::string::npos)
        return 0;
    size_t valueEnd = eq + 1;
    while (valueEnd < text.size() && !isBlank(text[valueEnd]))
        valueEnd++;
    const std::string head = text.substr(0, at);
    const std::string old = text.substr(eq + 1, valueEnd - eq - 1);
    const std::string tail = valueEnd < text.size() ? text.substr(valueEnd + 1) : std::string();
    if (old == value)
        return 0;
    std::string updated = std::string(name) + "=" + value;
    if (!head.empty())
        updated += " " + head;
    if (!tail.empty())
        updated += " " + tail;
    int rc = set(kContainer, updated.c_str());
    if (rc == 0)
        rc = flush();
    return rc;
}

int NvData::setNv(const char* name, const char* value)
{
    if (!m_iDataValid && !m_initMode) {
        log(kWarn, "NvData::setNv isDataValid() == FALSE, value not written");
        return -1;
    }
    if (!value) {
        log(kWarn, "NvData::setNv val==NULL");
        return -1;
    }
    if (!name) {
        log(kWarn, "NvData::setNv name==NULL");
        return -1;
    }
    if (isQVTNv(name) == 0)
        return setQVTNv(name, value);
    int rc = set(name, value);
    return rc == 0 ? flush() : rc;
}

int NvData::getNv(const char* name, char* buf, int len)
{
    if (!m_iDataValid) {
        log(kWarn, "NvData::getNv isDataValid() == FALSE, value not read");
        return -1;
    }
    if (!buf) {
        log(kWarn, "NvData::getNv buf==NULL");
        return -1;
    }
    if (!name) {
        log(kWarn, "NvData::getNv name==NULL");
        return -1;
    }
    if (len < 0) {
        log(kWarn, "NvData::getNv len<0");
        return -1;
    }
    buf[0] = '\0';
    if (isQVTNv(name) == 0)
        return getQVTNv(name, buf, len);
    const char* value = get(name);
    if (!value)
        return 0;
    return copyOut(buf, len, value, strlen(value));
}
