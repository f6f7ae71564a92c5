// What a test plug-in records about the calls it receives, and how a test
// steers its answers.  Shared by the test plug-ins and the tests; each
// loaded plug-in has its own log, reached through its export ProbeLog.
#pragma once

#include <cstdint>

#include "plugin/brush_plugin.h"

namespace probe {

// Which entry point was called.
enum Entry : int32_t { kProbeBrush = 1, kSecondBrush = 2, kLongNamedBrush = 3 };

struct Call {
    int32_t entry;
    int32_t command;
    PlugInBrushContext context;  // as the plug-in received it
    BrushParam params[3];        // *tipParams at the call, when set
};

constexpr int kMaxCalls = 128;

struct Log {
    int32_t count;                 // calls so far (may exceed kMaxCalls)
    Call calls[kMaxCalls];
    int32_t refuse[8];             // non-zero: answer 0 to that command
    int32_t snapBack;              // non-zero: after painting, set cur back to prev
    int32_t tipAllocations;        // tip blocks made on BRUSHCMD_SELECT
    int32_t tipFrees;              // tip blocks freed (select or release)
    int32_t dialogInits;           // WM_INITDIALOG of the own settings dialog
    intptr_t dialogInitParam;      // and its lParam
};

using LogFn = Log *(PLUGIN_CALL *)(void);

}  // namespace probe
