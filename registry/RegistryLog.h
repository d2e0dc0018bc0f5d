#ifndef REGISTRY_REGISTRYLOG_H
#define REGISTRY_REGISTRYLOG_H

// The driver table logs under the input category, like the touch plug-ins.
const int kRegistryLog = 0x4000000;

#endif
