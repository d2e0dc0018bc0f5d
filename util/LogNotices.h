// Deferred "Now logging <category>" lines of the SIGUSR1 cycle.
//
// The signal handler only records which category it enabled and posts a
// semaphore (both async-signal-safe); a helper thread, started with the first
// logger, writes the debug line outside signal context.
#ifndef UTIL_LOGNOTICES_H
#define UTIL_LOGNOTICES_H

// Starts the helper thread once per process; later calls do nothing.
void logNoticesStart();

// Async-signal-safe: queues the notice for objectNames[index].
void logNoticePost(int index);

#endif
