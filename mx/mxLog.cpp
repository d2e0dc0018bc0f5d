// Hierarchical log channels.
//
// Channels live in one process-wide list, newest first. Lookups walk it without a lock:
// a channel is fully built before it is published at the head, and its link is never
// changed afterwards. Adding a channel or a printer takes the list lock and then, for a
// printer, the channel's own lock; logging takes only the channel's lock. The list lock
// is always taken before a channel lock.
#include "mx/mxLog.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

const int kRootLevel = MX_LOG_INFO;
const int kPrinterLevel = MX_LOG_DEBUG;

MxLogger* g_head = nullptr;
MxMutex g_listLock = nullptr;
std::once_flag g_listLockOnce;

MxLogger* head()
{
    return __atomic_load_n(&g_head, __ATOMIC_ACQUIRE);
}

MxLogger* nextOf(const MxLogger* channel)
{
    return __atomic_load_n(&channel->next, __ATOMIC_ACQUIRE);
}

void publish(MxLogger* channel)
{
    channel->next = g_head;
    __atomic_store_n(&g_head, channel, __ATOMIC_RELEASE);
}

int levelOf(const MxLogger* channel)
{
    return __atomic_load_n(&channel->level, __ATOMIC_RELAXED);
}

// Copies with the layer's text limit: at most 255 characters and the terminator.
void copyText(char* to, const char* from)
{
    if (!from) from = "";
    size_t length = strnlen(from, MX_LOG_TEXT_SIZE - 1);
    std::memmove(to, from, length);
    to[length] = '\0';
}

// The list lock lives as long as the process: a reset empties the list but keeps it, so a
// thread that resets cannot pull the lock from under one that adds.
class ListLock {
public:
    ListLock()
    {
        std::call_once(g_listLockOnce, [] { g_listLock = mxMutexCreate(); });
        m_held = mxMutexLock(g_listLock, MX_WAIT_FOREVER) == 0;
    }
    ~ListLock()
    {
        if (m_held) mxMutexUnlock(g_listLock);
    }
    ListLock(const ListLock&) = delete;
    ListLock& operator=(const ListLock&) = delete;

private:
    bool m_held;
};

MxLogger* find(const char* name)
{
    for (MxLogger* channel = head(); channel; channel = nextOf(channel))
        if (std::strcmp(channel->name, name) == 0) return channel;
    return nullptr;
}

// Runs action on the first printer of that name under the channel's lock; false when
// there is no such printer.
template <class Action>
bool withPrinter(MxLogger* channel, const char* printerName, Action action)
{
    if (!channel || !printerName || mxMutexLock(channel->lock, MX_WAIT_FOREVER) != 0) return false;
    MxLogPrinter* p = channel->printers;
    while (p && std::strcmp(p->name, printerName) != 0) p = p->next;
    if (p) action(*p);
    mxMutexUnlock(channel->lock);
    return p != nullptr;
}

// A zeroed record with its own lock, or null.
MxLogger* newChannel()
{
    MxLogger* channel = static_cast<MxLogger*>(mxMalloc(sizeof(MxLogger)));
    if (!channel) return nullptr;
    std::memset(channel, 0, sizeof *channel);
    channel->lock = mxMutexCreate();
    if (!channel->lock) {
        mxFree(channel);
        return nullptr;
    }
    return channel;
}

MxLogger* createRoot()
{
    ListLock hold;
    if (MxLogger* root = find("")) return root;
    MxLogger* root = newChannel();
    if (!root) return nullptr;
    root->level = kRootLevel;
    publish(root);
    return root;
}

void doLog(MxLogger* channel, int level, const char* format, va_list args)
{
    if (!channel || !format || levelOf(channel) < level) return;
    if (mxMutexLock(channel->lock, MX_WAIT_FOREVER) != 0) return;
    std::vsnprintf(channel->message, sizeof channel->message, format, args);
    if (channel->printers) {
        for (MxLogPrinter* p = channel->printers; p; p = p->next)
            if (p->level >= level) p->callback(channel->message);
    } else {
        std::fprintf(stdout, "%s\n", channel->message);
    }
    mxMutexUnlock(channel->lock);
}

} // namespace

extern "C" {

MxLogger* getLogger(const char* name)
{
    if (!name) name = "";
    if (MxLogger* channel = find(name)) return channel;
    return name[0] == '\0' ? createRoot() : nullptr;
}

MxLogger* getParent(const char* name)
{
    char ancestor[MX_LOG_TEXT_SIZE];
    copyText(ancestor, name);
    for (;;) {
        char* dot = std::strrchr(ancestor, '.');
        if (dot) *dot = '\0';
        else ancestor[0] = '\0';
        MxLogger* found = getLogger(ancestor);
        if (found || ancestor[0] == '\0') return found;
    }
}

MxLogger* mxLogGetLogger(const char* name)
{
    if (!name) name = "";
    if (MxLogger* channel = getLogger(name)) return channel;
    ListLock hold;
    // Another thread may have created it since the look-up above.
    if (MxLogger* channel = find(name)) return channel;
    MxLogger* parent = getParent(name);
    if (!parent) return nullptr;
    MxLogger* channel = newChannel();
    if (!channel) return nullptr;
    channel->level = levelOf(parent);
    copyText(channel->name, name);
    copyText(channel->formatter, parent->formatter);
    // Each copy goes to the head, so the child lists them in reverse.
    for (MxLogPrinter* p = parent->printers; p; p = p->next)
        mxLogAddPrinter(channel, p->name, p->callback);
    publish(channel);
    return channel;
}

void mxLogAddPrinter(MxLogger* channel, const char* printerName, MxLogCallback callback)
{
    if (!channel || !callback) return;
    MxLogPrinter* printer = static_cast<MxLogPrinter*>(mxMalloc(sizeof(MxLogPrinter)));
    if (!printer) return;
    printer->level = kPrinterLevel;
    printer->callback = callback;
    copyText(printer->name, printerName);
    ListLock hold;
    if (mxMutexLock(channel->lock, MX_WAIT_FOREVER) != 0) {
        mxFree(printer);
        return;
    }
    printer->next = channel->printers;
    channel->printers = printer;
    mxMutexUnlock(channel->lock);
}

void mxLogSetLevel(MxLogger* channel, int level)
{
    if (channel) __atomic_store_n(&channel->level, level, __ATOMIC_RELAXED);
}

int mxLogGetLevel(MxLogger* channel)
{
    return channel ? levelOf(channel) : -1;
}

void mxLogSetLevelByName(const char* name, int level)
{
    if (name) mxLogSetLevel(find(name), level);
}

int mxLogGetPrinterLevel(MxLogger* channel, const char* printerName)
{
    int level = -1;
    withPrinter(channel, printerName, [&](MxLogPrinter& p) { level = p.level; });
    return level;
}

void mxLogSetPrinterLevel(MxLogger* channel, const char* printerName, int level)
{
    withPrinter(channel, printerName, [&](MxLogPrinter& p) { p.level = level; });
}

char* mxLogGetFormatter(MxLogger* channel)
{
    return channel ? channel->formatter : nullptr;
}

void mxLogSetFormatter(MxLogger* channel, const char* text)
{
    if (!channel || !text) return;
    mxMutexLock(channel->lock, MX_WAIT_FOREVER);
    copyText(channel->formatter, text);
    mxMutexUnlock(channel->lock);
}

void mxLogList(void)
{
    for (MxLogger* channel = head(); channel; channel = nextOf(channel))
        std::printf(" - '%.20s' level = %d\n", channel->name, levelOf(channel));
}

void mxLogReset(void)
{
    ListLock hold;
    MxLogger* channel = head();
    __atomic_store_n(&g_head, static_cast<MxLogger*>(nullptr), __ATOMIC_RELEASE);
    while (channel) {
        MxLogger* next = channel->next;
        for (MxLogPrinter* p = channel->printers; p;) {
            MxLogPrinter* pn = p->next;
            mxFree(p);
            p = pn;
        }
        mxMutexDestroy(channel->lock);
        mxFree(channel);
        channel = next;
    }
}

#define MX_LOG_AT(function, level)                          \
    void function(MxLogger* channel, const char* format, ...) \
    {                                                       \
        va_list args;                                       \
        va_start(args, format);                             \
        doLog(channel, level, format, args);                \
        va_end(args);                                       \
    }

MX_LOG_AT(fatal, MX_LOG_FATAL)
MX_LOG_AT(error, MX_LOG_ERROR)
MX_LOG_AT(warn, MX_LOG_WARN)
MX_LOG_AT(info, MX_LOG_INFO)
MX_LOG_AT(debug, MX_LOG_DEBUG)

#undef MX_LOG_AT

} // extern "C"
