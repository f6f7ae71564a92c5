// The pen tablet, reached through Wintab32.dll loaded at run time.  The
// tablet state is one per process.  Every failure leaves the tablet off,
// and then strokes run at full pressure.
#include <cstring>

#include "bristler_internal.h"
#include "pressure.h"
#include "wintab_api.h"

namespace bristler {

namespace {

struct TabletState {
    HMODULE library = nullptr;
    wintab::InfoFn info = nullptr;
    wintab::OpenFn open = nullptr;
    wintab::CloseFn close = nullptr;
    wintab::PacketsGetFn packetsGet = nullptr;
    bool on = false;
    wintab::Context context = nullptr;
    uint32_t maxPressure = 256;
    PressureTable curve{};
};

TabletState g_tablet;

template <typename F>
F Bind(HMODULE library, WORD ordinal) {
    return reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(library, MAKEINTRESOURCEA(ordinal))));
}

void Unload() {
    if (g_tablet.library) FreeLibrary(g_tablet.library);
    g_tablet = TabletState{};
}

// Room for whatever a driver writes for one packet or one info item,
// however much it exceeds the records asked for.
union InfoBuffer {
    wintab::LogContextA context;
    wintab::Axis axis;
    TabletPacket packet;
    BYTE room[1024];
};

bool TakePacket(TabletPacket *packet) {
    InfoBuffer buffer{};
    if (g_tablet.packetsGet(g_tablet.context, 1, &buffer) <= 0) return false;
    *packet = buffer.packet;
    return true;
}

class TabletPackets : public PacketSource {
public:
    bool Take(TabletPacket *packet) override { return TakePacket(packet); }
    void WaitForPacket() override { Sleep(20); }
};

bool OpenContext(HWND owner) {
    InfoBuffer buffer{};
    g_tablet.info(wintab::kInfoDefaultSystemContext, 0, &buffer);
    wintab::LogContextA context = buffer.context;
    std::memset(context.name, 0, sizeof(context.name));
    std::strcpy(context.name, "Fernwick");
    context.msgBase = wintab::kMessageBase;
    context.pktData = wintab::kPacketFields;
    context.moveMask = wintab::kPacketFields;
    context.pktMode = wintab::kPacketModeRelativeButtons;
    context.btnUpMask = context.btnDnMask;
    g_tablet.context = g_tablet.open(owner, &context, TRUE);
    return g_tablet.context != nullptr;
}

uint32_t DeviceMaxPressure() {
    InfoBuffer buffer{};
    g_tablet.info(wintab::kInfoDevices, wintab::kDeviceNormalPressure, &buffer);
    return buffer.axis.maximum > 0 ? static_cast<uint32_t>(buffer.axis.maximum) : 256u;
}

}  // namespace

void StartTablet(HWND owner) {
    if (g_tablet.on) return;  // one tablet context per process
    g_tablet.library = LoadLibraryA("Wintab32.dll");
    if (!g_tablet.library) return;
    g_tablet.info = Bind<wintab::InfoFn>(g_tablet.library, wintab::kOrdinalInfo);
    g_tablet.open = Bind<wintab::OpenFn>(g_tablet.library, wintab::kOrdinalOpen);
    g_tablet.packetsGet = Bind<wintab::PacketsGetFn>(g_tablet.library, wintab::kOrdinalPacketsGet);
    g_tablet.close = Bind<wintab::CloseFn>(g_tablet.library, wintab::kOrdinalClose);
    if (!g_tablet.info || !g_tablet.open || !g_tablet.packetsGet || !g_tablet.close) return Unload();
    if (g_tablet.info(wintab::kInfoInterface, 0, nullptr) == 0) return Unload();

    g_tablet.on = true;
    if (!OpenContext(owner)) return Unload();
    g_tablet.maxPressure = DeviceMaxPressure();
    if (auto queueSizeSet = Bind<wintab::QueueSizeSetFn>(g_tablet.library, wintab::kOrdinalQueueSizeSet)) {
        queueSizeSet(g_tablet.context, 8);
    }
    g_tablet.curve = MakePressureTable();
}

void EndTablet() {
    if (!g_tablet.on) return;
    g_tablet.on = false;
    g_tablet.close(g_tablet.context);
    Unload();
}

int32_t ReadTabletPressure() {
    if (!g_tablet.on) return ReadPressure(nullptr, g_tablet.curve, g_tablet.maxPressure);
    TabletPackets packets;
    return ReadPressure(&packets, g_tablet.curve, g_tablet.maxPressure);
}

bool TakeEraserPacket() {
    if (!g_tablet.on) return false;
    TabletPacket packet{};
    return TakePacket(&packet) && IsEraserCursor(packet.cursor);
}

}  // namespace bristler

int WINAPI IsTabletEraceMode(void) { return bristler::TakeEraserPacket() ? 1 : 0; }
