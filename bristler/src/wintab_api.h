// The part of the Wintab interface the manager uses, declared here because
// the tablet library is found at run time: the context record (ANSI form),
// the axis record, the categories and fields asked for, and the four (five)
// functions bound by ordinal.
#pragma once

#include <windows.h>

#include <cstdint>

namespace bristler::wintab {

DECLARE_HANDLE(Context);

// The logical context (ANSI form): 172 bytes.
struct LogContextA {
    char name[40];
    UINT options, status, locks, msgBase, device, pktRate;
    DWORD pktData, pktMode, moveMask, btnDnMask, btnUpMask;
    LONG inOrgX, inOrgY, inOrgZ, inExtX, inExtY, inExtZ;
    LONG outOrgX, outOrgY, outOrgZ, outExtX, outExtY, outExtZ;
    DWORD sensX, sensY, sensZ;  // fixed-point 16.16
    BOOL sysMode;
    int sysOrgX, sysOrgY, sysExtX, sysExtY;
    DWORD sysSensX, sysSensY;
};
static_assert(sizeof(LogContextA) == 172, "the ANSI logical context is 172 bytes");

struct Axis {
    LONG minimum, maximum;
    UINT units;
    DWORD resolution;
};

// Information categories and indices.
constexpr UINT kInfoInterface = 0;       // category 0, index 0, no buffer: a tablet is there
constexpr UINT kInfoDefaultSystemContext = 4;
constexpr UINT kInfoDevices = 100;
constexpr UINT kDeviceNormalPressure = 15;

// Packet fields (cursor, buttons, x, y, normal pressure) and modes.
constexpr DWORD kPacketFields = 0x0020 | 0x0040 | 0x0080 | 0x0100 | 0x0400;
constexpr DWORD kPacketModeRelativeButtons = 0x0040;
constexpr UINT kMessageBase = 0x7FF0;

// Functions by ordinal.
using InfoFn = UINT(WINAPI *)(UINT category, UINT index, LPVOID output);
using OpenFn = Context(WINAPI *)(HWND window, LogContextA *context, BOOL enable);
using CloseFn = BOOL(WINAPI *)(Context context);
using PacketsGetFn = int(WINAPI *)(Context context, int maxPackets, LPVOID packets);
using QueueSizeSetFn = BOOL(WINAPI *)(Context context, int packets);

constexpr WORD kOrdinalInfo = 20;
constexpr WORD kOrdinalOpen = 21;
constexpr WORD kOrdinalClose = 22;
constexpr WORD kOrdinalPacketsGet = 23;
constexpr WORD kOrdinalQueueSizeSet = 85;

}  // namespace bristler::wintab
