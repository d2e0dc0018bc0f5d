/* Hierarchical log channels.
 *
 * Named channels in a dot-separated hierarchy ("comps.mxMem"), each with a level and a
 * list of printers. A new channel takes the level, formatter text and printers of its
 * nearest existing ancestor; the root channel has the empty name. A message passes a
 * channel whose level is at least the message's level, and then every printer whose own
 * level is at least the message's. A channel without printers writes to standard output.
 *
 * These names are plain C symbols. Note that error() and warn() share their names with
 * the C library's <error.h> and <err.h>: a file that includes this header cannot include
 * those.
 */
#ifndef MX_MXLOG_H
#define MX_MXLOG_H

#include "mx/mx.h"

#ifdef __cplusplus
extern "C" {
#endif

#define MX_LOG_FATAL 1
#define MX_LOG_ERROR 2
#define MX_LOG_WARN  3
#define MX_LOG_INFO  4
#define MX_LOG_DEBUG 5

#define MX_LOG_TEXT_SIZE 256

typedef void (*MxLogCallback)(const char* message);

typedef struct MxLogPrinter {
    int level;
    MxLogCallback callback;
    char name[MX_LOG_TEXT_SIZE];
    struct MxLogPrinter* next;
} MxLogPrinter;

typedef struct MxLogger {
    int level;
    char name[MX_LOG_TEXT_SIZE];      /* up to 255 characters; longer names are cut */
    char message[MX_LOG_TEXT_SIZE];   /* the last formatted message */
    char formatter[MX_LOG_TEXT_SIZE]; /* kept and inherited, not applied */
    MxMutex lock;                     /* serialises formatting and printing */
    MxLogPrinter* printers;
    struct MxLogger* next;            /* the process-wide list, newest first */
} MxLogger;

/* The channel of that name, created below its nearest ancestor if missing; null if out of
 * memory. A null name is the root. */
MxLogger* mxLogGetLogger(const char* name);
/* The existing channel of that name, or null; the root (empty or null name) is created
 * when missing. */
MxLogger* getLogger(const char* name);
/* The nearest existing ancestor of the name, ending at the root. */
MxLogger* getParent(const char* name);

void mxLogAddPrinter(MxLogger* channel, const char* printerName, MxLogCallback callback);
void mxLogSetLevel(MxLogger* channel, int level);
int mxLogGetLevel(MxLogger* channel);
void mxLogSetLevelByName(const char* name, int level);
int mxLogGetPrinterLevel(MxLogger* channel, const char* printerName);
void mxLogSetPrinterLevel(MxLogger* channel, const char* printerName, int level);
char* mxLogGetFormatter(MxLogger* channel);
void mxLogSetFormatter(MxLogger* channel, const char* text);
/* " - '%.20s' level = %d\n" for every channel, newest first, to standard output. */
void mxLogList(void);
/* Releases every channel and printer; a later use starts again from a new root. */
void mxLogReset(void);

void fatal(MxLogger* channel, const char* format, ...) __attribute__((format(printf, 2, 3)));
void error(MxLogger* channel, const char* format, ...) __attribute__((format(printf, 2, 3)));
void warn(MxLogger* channel, const char* format, ...) __attribute__((format(printf, 2, 3)));
void info(MxLogger* channel, const char* format, ...) __attribute__((format(printf, 2, 3)));
void debug(MxLogger* channel, const char* format, ...) __attribute__((format(printf, 2, 3)));

#ifdef __cplusplus
}
#endif

#endif
