#include "util/Logger.h"

#include "util/LogNotices.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const unsigned int objectIDs[LOGGER_OBJECT_COUNT] = {
    oidUnknown, oidMemory, oidUDPAutoConnector, oidRCNPMessageManager,
    oidRCNPInterfaceManager, oidRCNPTCP, oidDispatcher, oidTCPListenConnector,
    oidConfigurationData, oidRCNPFileTransfer, oidLontalk, oidMisc,
    oidCache, oidGraphic, oidXml, oidCommand,
    oidBorder, oidSetup, oidChannel, oidLevel,
    oidPage, oidButton, oidBargraph, oidTextArea,
    oidPhal, oidConfigurationManager, oidInput, oidTelnet,
    oidHCS12, oidCard, oidNetwork, oidDesktop,
    oidAll,
};

const char* const objectNames[LOGGER_OBJECT_COUNT + 1] = {
    "unknown", "memory", "uspautoconnector", "rcnpmessagemanager",
    "rcnpinterfacemanager", "rcnptcp", "dispatcher", "tcplistenconnector",
    "configurationdata", "rcnpfiletransfer", "lontalk", "misc",
    "cache", "graphic", "xml", "command",
    "border", "setup", "channel", "level",
    "page", "button", "bargraph", "textarea",
    "phal", "configurationmanager", "input", "telnet",
    "hcs12", "card", "network", "desktop",
    "all", nullptr,
};

const char* const levelNames[5] = {"Diag", "Info", "WARN", "ERROR", "FATAL"};

std::atomic<Logger*> Logger::m_LoggerInstance(nullptr);

namespace {

pthread_mutex_t creationLock = PTHREAD_MUTEX_INITIALIZER;

const char truncationNotice[] = "\n[Following line truncated]\n";

// "%02d/%02d %02d:%02d:%02d.%02ld": month, day, hour, minute, second, hundredths.
void formatTimeHeader(char* out, size_t size)
{
    MxTime now = {0, 0};
    mxGetTime(&now);
    const time_t seconds = static_cast<time_t>(now.tv_sec);
    struct tm local;
    if (localtime_r(&seconds, &local) == nullptr)
        memset(&local, 0, sizeof local);
    // Wide enough for any field values, so the format never cuts inside a field.
    char text[96];
    const int length = snprintf(text, sizeof text, "%02d/%02d %02d:%02d:%02d.%02ld", local.tm_mon + 1,
                                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                                static_cast<long>((now.tv_nsec % 1000000000UL) / 10000000UL));
    size_t n = length > 0 ? static_cast<size_t>(length) : 0;
    if (n >= size)
        n = size - 1;
    memcpy(out, text, n);
    out[n] = '\0';
}

// Formats into a cleared message buffer, with at most LOGGER_MSG_SIZE - 2 characters.
void formatMessage(char (&message)[LOGGER_MSG_SIZE], const char* format, va_list args)
{
    memset(message, 0, sizeof message);
    vsnprintf(message, LOGGER_MSG_SIZE - 1, format != nullptr ? format : "", args);
}

long threadId()
{
    return static_cast<long>(mxThreadIdSelf());
}

// Index of the first table entry named exactly `name`, lowering it in place; -1 if none.
int lookUpName(char* name)
{
    if (name == nullptr)
        return -1;
    for (char* c = name; *c != '\0'; ++c)
        *c = static_cast<char>(tolower(static_cast<unsigned char>(*c)));
    for (int i = 0; objectNames[i] != nullptr; ++i)
        if (strcmp(name, objectNames[i]) == 0)
            return i;
    return -1;
}

// The process-wide SIGUSR1 cursor: 0 .. the index of "phal".
std::atomic<int> cycleCursor(0);

} // namespace

Logger* Logger::Instance()
{
    Logger* logger = m_LoggerInstance.load(std::memory_order_acquire);
    if (logger == nullptr) {
        Init(1000);
        logger = m_LoggerInstance.load(std::memory_order_acquire);
    }
    return logger;
}

void Logger::Init(long lEntryCount)
{
    pthread_mutex_lock(&creationLock);
    if (m_LoggerInstance.load(std::memory_order_acquire) == nullptr)
        m_LoggerInstance.store(new Logger(lEntryCount), std::memory_order_release);
    pthread_mutex_unlock(&creationLock);
}

Logger::Logger(long lEntryCount)
    : m_LogMutex(nullptr), m_pSubscriber(nullptr), m_pLogEntries(nullptr), m_iLogWrap(-1),
      m_iLogNext(-1), m_lEntryCount(lEntryCount), m_lObjectMask(0), m_timeHeader(),
      m_outputLock()
{
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&m_outputLock, &attr);
    pthread_mutexattr_destroy(&attr);

    logNoticesStart();
    if (signal(SIGUSR1, cycleLogging) == SIG_ERR)
        DebugString("Error registering signal handler: %s", strerror(errno));

    m_LogMutex = mxMutexCreate();
    // A store without its lock is not used; the logger then only writes lines.
    if (m_LogMutex != nullptr && lEntryCount > 0 && lEntryCount <= INT_MAX) {
        m_pLogEntries = static_cast<sLogMsg*>(calloc(static_cast<size_t>(lEntryCount), sizeof(sLogMsg)));
        if (m_pLogEntries != nullptr) {
            m_iLogWrap = 0;
            m_iLogNext = 0;
        }
    }
}

Logger::~Logger()
{
    mxMutexDestroy(m_LogMutex);
    free(m_pLogEntries);
    pthread_mutex_destroy(&m_outputLock);
}

void Logger::writeOut(const char* text, size_t length, bool toSubscriber)
{
    fwrite(text, 1, length, stderr);
    LoggerSubscriber* subscriber = toSubscriber ? m_pSubscriber.load(std::memory_order_acquire) : nullptr;
    if (subscriber != nullptr) {
        char copy[LOGGER_LINE_SIZE];
        memcpy(copy, text, length);
        copy[length] = '\0';
        subscriber->diagString(copy);
    }
}

void Logger::DiagnosticString(int iId, int iLevel, const char* format, ...)
{
    const bool enabled = (static_cast<unsigned int>(iId) & m_lObjectMask.load(std::memory_order_relaxed)) != 0;
    if (iLevel == 0 && !enabled)
        return;

    char message[LOGGER_MSG_SIZE] = {};
    if (iLevel > 0 || enabled) {
        va_list args;
        va_start(args, format);
        formatMessage(message, format, args);
        va_end(args);

        char header[32];
        formatTimeHeader(header, sizeof header);
        char line[LOGGER_LINE_SIZE];
        int length = snprintf(line, LOGGER_LINE_LIMIT, "%s [%ld] %-5s:%s\n", header, threadId(),
                              GetLevelText(iLevel), message);
        const bool truncated = length >= LOGGER_LINE_LIMIT;
        if (truncated)
            length = LOGGER_LINE_LIMIT - 1;
        else if (length < 0)
            length = 0;

        // One line at a time, notice and cut line together.
        pthread_mutex_lock(&m_outputLock);
        if (truncated)
            writeOut(truncationNotice, sizeof truncationNotice - 1, true);
        writeOut(line, static_cast<size_t>(length), true);
        pthread_mutex_unlock(&m_outputLock);
    }
    if (iLevel <= 0)
        return;
    WriteLog(iId, iLevel, time(nullptr), message);
}

void Logger::DebugString(const char* format, ...)
{
    char message[LOGGER_MSG_SIZE];
    va_list args;
    va_start(args, format);
    formatMessage(message, format, args);
    va_end(args);

    char header[32];
    formatTimeHeader(header, sizeof header);
    char line[LOGGER_MSG_SIZE + 64];
    int length = snprintf(line, sizeof line, "%s [%ld] Debug:%s\n", header, threadId(), message);
    if (length < 0)
        return;
    if (static_cast<size_t>(length) >= sizeof line)
        length = sizeof line - 1;
    pthread_mutex_lock(&m_outputLock);
    fwrite(line, 1, static_cast<size_t>(length), stderr);
    pthread_mutex_unlock(&m_outputLock);
}

void Logger::WriteLog(int iId, int iLevel, time_t lTime, char* pText)
{
    if (pText == nullptr || m_LogMutex == nullptr)
        return;
    const size_t length = strnlen(pText, LOGGER_MSG_SIZE);
    if (length >= static_cast<size_t>(LOGGER_MSG_SIZE))
        return;
    mxMutexLock(m_LogMutex, MX_WAIT_FOREVER);
    if (m_iLogNext >= 0) {
        sLogMsg& entry = m_pLogEntries[m_iLogNext];
        entry.m_iId = iId;
        entry.m_iLevel = iLevel;
        entry.m_lTime = lTime;
        memcpy(entry.m_szMsgText, pText, length + 1);
        if (m_iLogNext + 1 < m_lEntryCount) {
            ++m_iLogNext;
        } else {
            m_iLogWrap = 1;
            m_iLogNext = 0;
        }
    }
    mxMutexUnlock(m_LogMutex);
}

int Logger::GetNumberofLogEntries()
{
    if (m_LogMutex == nullptr)
        return 0;
    mxMutexLock(m_LogMutex, MX_WAIT_FOREVER);
    // A logger without a store holds nothing.
    const int count = m_iLogWrap < 0 ? 0 : m_iLogWrap != 0 ? static_cast<int>(m_lEntryCount) : m_iLogNext;
    mxMutexUnlock(m_LogMutex);
    return count;
}

int Logger::slotOf(int index) const
{
    if (m_iLogWrap < 0)
        return -1;
    const int held = m_iLogWrap != 0 ? static_cast<int>(m_lEntryCount) : m_iLogNext;
    if (index < 0 || index >= held)
        return -1;
    int slot = m_iLogNext - index - 1;
    if (slot < 0)
        slot += static_cast<int>(m_lEntryCount);
    return slot;
}

int Logger::readEntry(char* dest, int index, EntryWriter write)
{
    if (dest == nullptr || m_LogMutex == nullptr)
        return 0;
    mxMutexLock(m_LogMutex, MX_WAIT_FOREVER);
    const int slot = slotOf(index);
    const int length = slot >= 0 ? (this->*write)(dest, index, m_pLogEntries[slot]) : 0;
    mxMutexUnlock(m_LogMutex);
    return length;
}

int Logger::writeHeader(char* dest, int index, const sLogMsg& entry)
{
    struct tm t;
    if (localtime_r(&entry.m_lTime, &t) == nullptr)
        memset(&t, 0, sizeof t);
    // A value that names no single category (a combination of bits) shows no name.
    const char* name = getNameByMask(entry.m_iId);
    const int length = snprintf(dest, LOGGER_HEADER_SIZE, "%3d: %2.2d-%2.2d-%4.04d %-3s %2.2d:%2.2d:%2.02d %-5s %-22s",
                                index + 1, t.tm_mon + 1, t.tm_mday, t.tm_year + 1900, GetDayOfWeek(t.tm_wday),
                                t.tm_hour, t.tm_min, t.tm_sec, GetLevelText(entry.m_iLevel),
                                name != nullptr ? name : "");
    return length < 0 ? 0 : length >= LOGGER_HEADER_SIZE ? LOGGER_HEADER_SIZE - 1 : length;
}

int Logger::writeText(char* dest, int /*index*/, const sLogMsg& entry)
{
    const size_t length = strnlen(entry.m_szMsgText, LOGGER_MSG_SIZE - 1);
    memcpy(dest, entry.m_szMsgText, length);
    dest[length] = '\0';
    return static_cast<int>(length);
}

int Logger::GetLogEntryHeader(char* dest, int index)
{
    return readEntry(dest, index, &Logger::writeHeader);
}

int Logger::GetLogEntryText(char* dest, int index)
{
    return readEntry(dest, index, &Logger::writeText);
}

char* Logger::GetDayOfWeek(int day)
{
    static char days[8][4] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT", "???"};
    return days[static_cast<unsigned>(day) < 7 ? day : 7];
}

const char* Logger::GetLevelText(int level)
{
    return static_cast<unsigned>(level) < 5 ? levelNames[level] : "???";
}

void Logger::setMask(unsigned long bits)
{
    m_lObjectMask.fetch_or(bits);
}

void Logger::clrMask(unsigned long bits)
{
    m_lObjectMask.fetch_and(~bits);
}

void Logger::setMaskByName(char* name)
{
    const int i = lookUpName(name);
    if (i >= 0)
        setMask(objectIDs[i]);
}

void Logger::clrMaskByName(char* name)
{
    const int i = lookUpName(name);
    if (i >= 0)
        clrMask(objectIDs[i]);
}

const char* Logger::getNameByMask(int value)
{
    for (int i = 0; i < LOGGER_OBJECT_COUNT; ++i)
        if (objectIDs[i] == static_cast<unsigned int>(value))
            return objectNames[i];
    return nullptr;
}

void Logger::subscribe(LoggerSubscriber* subscriber)
{
    m_pSubscriber.store(subscriber, std::memory_order_release);
}

bool Logger::testId(int iId)
{
    return (static_cast<unsigned int>(iId) & m_lObjectMask.load(std::memory_order_relaxed)) != 0;
}

char* Logger::getTimeHeader()
{
    formatTimeHeader(m_timeHeader, sizeof m_timeHeader);
    return m_timeHeader;
}

// Signal context: only lock-free atomics here. The "Now logging" line is
// written by the notice thread, out of signal context.
void cycleLogging(int sig)
{
    if (sig != SIGUSR1)
        return;
    Logger* logger = Logger::m_LoggerInstance.load(std::memory_order_acquire);
    if (logger == nullptr)
        return;
    const int savedErrno = errno;
    int index = cycleCursor.load(std::memory_order_relaxed);
    int next;
    do {
        next = objectIDs[index] == oidPhal ? 0 : index + 1;
    } while (!cycleCursor.compare_exchange_weak(index, next, std::memory_order_relaxed));
    logger->m_lObjectMask.fetch_or(objectIDs[index]);
    logNoticePost(index);
    errno = savedErrno;
}
