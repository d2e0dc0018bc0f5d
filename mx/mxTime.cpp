// The wall clock of the layer.
#include "mx/mx.h"

#include <sys/time.h>

extern "C" int mxGetTime(MxTime* t)
{
    if (t == nullptr)
        return -1;
    struct timeval now;
    if (gettimeofday(&now, nullptr) != 0)
        return -1;
    t->tv_sec = static_cast<unsigned long>(now.tv_sec);
    t->tv_nsec = static_cast<unsigned long>(now.tv_usec) * 1000UL;
    return 0;
}
