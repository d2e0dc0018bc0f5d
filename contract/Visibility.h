#ifndef CONTRACT_VISIBILITY_H
#define CONTRACT_VISIBILITY_H

// Framework classes live in the host process (libtouchhost); plug-ins are built with
// hidden visibility and resolve these classes from the process that loads them. Marking
// the classes keeps their typeinfo, vtables and members public whatever a plug-in's
// visibility settings are.
#define TP_FRAMEWORK __attribute__((visibility("default")))

#endif
