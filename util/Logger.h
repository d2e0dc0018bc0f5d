// The process-wide diagnostic logger.
//
// One instance per process, created on first use by Instance() (1000 entries)
// or Init(n). Every message carries a category bit mask and a level:
//
//   level 0 "Diag"   written only when its category is enabled, never stored
//   level 1 "Info", 2 "WARN", 3 "ERROR", 4 "FATAL"
//                    always written, and kept in the ring of recent entries
//
// Written lines go to standard error as "%s [%ld] %-5s:%s\n" (time header,
// thread id, level text, message), whole even when threads log at once, and
// to the subscriber if one is installed. SIGUSR1 enables one more category
// each time ("unknown" through "phal", then round again).
//
// Capturing lines (tests, consoles): derive from LoggerSubscriber, implement
// diagString(), and install it with Logger::Instance()->subscribe(&s). It is
// called on the logging thread with each line exactly as written to standard
// error, newline included; so it must be thread-safe if several threads log.
// It runs under the logger's output lock: it may log itself, but must not
// wait for another thread that logs. There is one subscriber;
// subscribe(nullptr) removes it (do so before the subscriber is destroyed).
// DebugString lines do not reach it.
#ifndef UTIL_LOGGER_H
#define UTIL_LOGGER_H

#include "mx/mx.h"

#include <atomic>
#include <pthread.h>
#include <stddef.h>
#include <time.h>

// Categories: single bits, and the all-bits value.
enum enumObjectIDs : unsigned int {
    oidUnknown = 0x00000001,
    oidMemory = 0x00000002,
    oidUDPAutoConnector = 0x00000004,
    oidRCNPMessageManager = 0x00000008,
    oidRCNPInterfaceManager = 0x00000010,
    oidRCNPTCP = 0x00000020,
    oidDispatcher = 0x00000040,
    oidTCPListenConnector = 0x00000080,
    oidConfigurationData = 0x00000100,
    oidRCNPFileTransfer = 0x00000200,
    oidLontalk = 0x00000400,
    oidMisc = 0x00000800,
    oidCache = 0x00001000,
    oidGraphic = 0x00002000,
    oidXml = 0x00004000,
    oidCommand = 0x00008000,
    oidBorder = 0x00010000,
    oidSetup = 0x00020000,
    oidChannel = 0x00040000,
    oidLevel = 0x00080000,
    oidPage = 0x00100000,
    oidButton = 0x00200000,
    oidBargraph = 0x00400000,
    oidTextArea = 0x00800000,
    oidPhal = 0x01000000,
    oidConfigurationManager = 0x02000000,
    oidInput = 0x04000000,
    oidTelnet = 0x08000000,
    oidHCS12 = 0x10000000,
    oidCard = 0x20000000,
    oidNetwork = 0x40000000,
    oidDesktop = 0x80000000,
    oidAll = 0xFFFFFFFF
};

// Parallel tables in this order: the SIGUSR1 cycle walks them by index.
const int LOGGER_OBJECT_COUNT = 33;
extern const unsigned int objectIDs[LOGGER_OBJECT_COUNT];
extern const char* const objectNames[LOGGER_OBJECT_COUNT + 1]; // null-terminated
extern const char* const levelNames[5];

const int LOGGER_MSG_SIZE = 1024;     // message text of an entry, NUL included
const int LOGGER_LINE_SIZE = 513;     // output line buffer
const int LOGGER_LINE_LIMIT = 511;    // formatting limit of an output line
const int LOGGER_HEADER_SIZE = 128;   // room GetLogEntryHeader may need

// One entry of the ring.
struct sLogMsg {
    int m_iId;                        // category value, as logged
    int m_iLevel;
    time_t m_lTime;                   // when stored
    char m_szMsgText[LOGGER_MSG_SIZE];
};

class LoggerSubscriber {
public:
    virtual ~LoggerSubscriber() {}
    virtual void diagString(char* line) = 0;
};

// The SIGUSR1 handler: enables the category at the process-wide cursor.
void cycleLogging(int sig);

class Logger {
public:
    static Logger* Instance();
    static void Init(long lEntryCount);

    void DiagnosticString(int iId, int iLevel, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    void DebugString(const char* format, ...) __attribute__((format(printf, 2, 3)));

    void WriteLog(int iId, int iLevel, time_t lTime, char* pText);
    int GetNumberofLogEntries();
    // index 0 is the newest entry; 0 is returned, and nothing written, for an
    // index outside 0 .. GetNumberofLogEntries() - 1.
    int GetLogEntryHeader(char* dest, int index);       // dest of LOGGER_HEADER_SIZE
    int GetLogEntryText(char* dest, int index);         // dest of LOGGER_MSG_SIZE
    char* GetDayOfWeek(int day);
    const char* GetLevelText(int level);

    void setMask(unsigned long bits);
    void clrMask(unsigned long bits);
    void setMaskByName(char* name);                     // lowers name in place
    void clrMaskByName(char* name);
    const char* getNameByMask(int value);
    void subscribe(LoggerSubscriber* subscriber);
    bool testId(int iId);                               // any bit of iId enabled
    char* getTimeHeader();

protected:
    explicit Logger(long lEntryCount);
    virtual ~Logger();

private:
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    friend void cycleLogging(int sig);

    int slotOf(int index) const;   // under m_LogMutex; -1 when there is no such entry
    typedef int (Logger::*EntryWriter)(char* dest, int index, const sLogMsg& entry);
    int readEntry(char* dest, int index, EntryWriter write); // 0 when there is no such entry
    int writeHeader(char* dest, int index, const sLogMsg& entry);
    int writeText(char* dest, int index, const sLogMsg& entry);
    void writeOut(const char* text, size_t length, bool toSubscriber); // under m_outputLock

    MxMutex m_LogMutex;
    std::atomic<LoggerSubscriber*> m_pSubscriber;
    sLogMsg* m_pLogEntries;
    int m_iLogWrap;
    int m_iLogNext;
    long m_lEntryCount;
    std::atomic<unsigned long> m_lObjectMask;
    char m_timeHeader[32];         // what getTimeHeader() returns; lines use their own buffers
    pthread_mutex_t m_outputLock;  // recursive; keeps lines whole on standard error

    static std::atomic<Logger*> m_LoggerInstance;
};

#endif
