// A fake Wintab32.dll for the tests: the five functions the manager binds
// by ordinal, answering from a script, plus named exports for the tests.
#include "fake_wintab_control.h"

#include <cstring>
#include <deque>

namespace {

struct Pending {
    fake_wintab::Packet packet;
    int afterFetches;
};

fake_wintab::Script g_script{1, 0, 1023};
fake_wintab::Record g_record{};
std::deque<Pending> g_queue;
HANDLE const kContext = reinterpret_cast<HANDLE>(0x7AB1E7);

double NowMs() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The part of the ANSI logical context the fake fills in.
void WriteDefaultContext(BYTE *out) {
    std::memset(out, 0, 172);
    std::strcpy(reinterpret_cast<char *>(out), "Default Digitizing");
    auto *words = reinterpret_cast<DWORD *>(out + 40);
    words[0] = fake_wintab::kDefaultOptions;          // options
    words[6] = 0x0000FFFF;                           // packet data: everything
    words[7] = 0;                                    // packet mode
    words[8] = 0x0000FFFF;                           // move mask
    words[9] = fake_wintab::kDefaultButtonDownMask;  // button-down mask
    words[10] = 0;                                   // button-up mask
    reinterpret_cast<LONG *>(out + 40 + 11 * 4)[3] = fake_wintab::kDefaultInputExtentX;
}

}  // namespace

extern "C" {

UINT WINAPI FakeInfo(UINT category, UINT index, LPVOID output) {
    if (category == 0 && index == 0 && !output) {
        ++g_record.presenceQueries;
        return g_script.tabletPresent ? 172 : 0;
    }
    if (category == 4 && index == 0) {
        if (output) WriteDefaultContext(static_cast<BYTE *>(output));
        return 172;
    }
    if (category == 100 && index == 15) {
        if (output) {
            LONG axis[4] = {0, g_script.pressureMaximum, 0, 0};
            std::memcpy(output, axis, sizeof(axis));
        }
        return 16;
    }
    return 0;
}

HANDLE WINAPI FakeOpen(HWND window, LPVOID context, BOOL enable) {
    ++g_record.opens;
    g_record.openWindow = window;
    g_record.openEnabled = enable;
    if (context) std::memcpy(g_record.openedContext, context, sizeof(g_record.openedContext));
    return g_script.openFails ? nullptr : kContext;
}

BOOL WINAPI FakeClose(HANDLE context) {
    if (context != kContext) return FALSE;
    ++g_record.closes;
    return TRUE;
}

int WINAPI FakePacketsGet(HANDLE context, int maxPackets, LPVOID packets) {
    if (context != kContext) return 0;
    if (g_record.fetches < fake_wintab::kMaxFetches) g_record.fetchTimesMs[g_record.fetches] = NowMs();
    const int fetchesBefore = g_record.fetches++;
    int given = 0;
    auto *out = static_cast<fake_wintab::Packet *>(packets);
    while (given < maxPackets && !g_queue.empty() && g_queue.front().afterFetches <= fetchesBefore) {
        out[given++] = g_queue.front().packet;
        g_queue.pop_front();
    }
    g_record.fetchedPackets += given;
    return given;
}

BOOL WINAPI FakeQueueSizeSet(HANDLE context, int packets) {
    if (context != kContext) return FALSE;
    g_record.queueSize = packets;
    return TRUE;
}

void WINAPI FakeWintab_Reset(const fake_wintab::Script *script) {
    g_script = *script;
    g_record = fake_wintab::Record{};
    g_queue.clear();
}

void WINAPI FakeWintab_Queue(const fake_wintab::Packet *packets, int count) {
    for (int i = 0; i < count; ++i) g_queue.push_back({packets[i], 0});
}

void WINAPI FakeWintab_QueueLater(const fake_wintab::Packet *packet, int fetches) {
    g_queue.push_back({*packet, fetches});
}

const fake_wintab::Record *WINAPI FakeWintab_Record(void) { return &g_record; }

}  // extern "C"
