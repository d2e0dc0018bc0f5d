#ifndef CONTRACT_TIMEOUTLABELS_H
#define CONTRACT_TIMEOUTLABELS_H

#include "contract/GfString.h"

// Labels of the panel's timeout choices. Each unit that includes this header carries its
// own copy of the table, built when its library loads and freed when it unloads.
static const GfString kTimeoutLabels[] = {
    "NEVER", "2 Hours", "8 Hours", "1 Day", "2 Days", "5 Days",
};

#endif
