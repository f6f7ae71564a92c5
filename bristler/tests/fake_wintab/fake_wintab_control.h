// The tests' own Wintab32.dll: a tablet that serves scripted packets and
// records what the manager asked of it.  Tests steer it through the named
// exports below; the manager reaches it by the Wintab ordinals only.
//
// Wine prefers its built-in Wintab32.dll unless told otherwise: run the
// tests with WINEDLLOVERRIDES=wintab32=n.  The tests load the fake by its
// full path first; the manager's load by name then finds that module.
#pragma once

#include <windows.h>

#include <cstdint>

namespace fake_wintab {

struct Packet {
    uint32_t cursor;
    uint32_t buttons;
    int32_t x;
    int32_t y;
    uint32_t normalPressure;
};

struct Script {
    int32_t tabletPresent;   // 0: the interface query answers 0
    int32_t openFails;       // non-zero: the context open answers NULL
    int32_t pressureMaximum; // the normal-pressure axis maximum
};

// The default system context the fake hands out, so a test can tell which
// fields the manager kept and which it set.
constexpr UINT kDefaultOptions = 0x0004;
constexpr DWORD kDefaultButtonDownMask = 0x0000001F;
constexpr LONG kDefaultInputExtentX = 15200;

constexpr int kMaxFetches = 64;

struct Record {
    int32_t presenceQueries;     // interface queries (category 0, index 0, no buffer)
    int32_t opens;
    int32_t closes;
    HWND openWindow;
    int32_t openEnabled;
    BYTE openedContext[172];     // the ANSI logical context as opened
    int32_t queueSize;           // last queue size set; 0 when never set
    int32_t fetches;             // packet fetch calls
    int32_t fetchedPackets;      // packets handed out
    double fetchTimesMs[kMaxFetches];  // when each fetch came, in milliseconds
};

using ResetFn = void(WINAPI *)(const Script *script);
// Queues packets at once.
using QueueFn = void(WINAPI *)(const Packet *packets, int count);
// Queues one packet that appears only once `fetches` fetch calls have
// been answered (for a packet arriving while the manager waits).
using QueueLaterFn = void(WINAPI *)(const Packet *packet, int fetches);
using RecordFn = const Record *(WINAPI *)(void);

}  // namespace fake_wintab
