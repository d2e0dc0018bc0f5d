#ifndef CONTRACT_TOUCHHANDLER_H
#define CONTRACT_TOUCHHANDLER_H

// Everything a serial touch plug-in builds on:
//
//   #include "contract/TouchHandler.h"
//   class EloTouchHandler : public ZorlanTouchHandler { ... };
//   TP_EXPORT_TOUCH_HANDLER(EloTouchHandler)
//
// A plug-in links nothing of ours: the framework classes below and the Logger are
// resolved from the process that loads it (libtouchhost and the Logger it links).
// Plug-ins log with Logger::Instance()->DiagnosticString(oidInput, level, ...).

// Line settings and modem bits handlers name symbolically (B9600, CRTSCTS, TIOCM_CTS).
#include <sys/ioctl.h>
#include <termios.h>

#include "contract/CHeap.h"
#include "contract/CalibratedTouchHandler.h"
#include "contract/Event.h"
#include "contract/GfPoint.h"
#include "contract/GfString.h"
#include "contract/InputHandler.h"
#include "contract/LocalInfo.h"
#include "contract/PHALKeeper.h"
#include "contract/PluginExport.h"
#include "contract/TimerInterface.h"
#include "contract/ZorlanTouchHandler.h"

// The Logger lives in the host; keep its classes public however the plug-in is built.
#pragma GCC visibility push(default)
#include "util/Logger.h"
#pragma GCC visibility pop

#endif
