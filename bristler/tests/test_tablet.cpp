// Tablet input through the tests' own Wintab32.dll: the context the
// manager opens, pressure from scripted packets, the one wait when no
// packet came, the eraser poll, and running without any tablet library.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "bristler_test_support.h"
#include "dibwork_binding.h"
#include "fake_wintab_control.h"

using namespace bristler_test;

namespace {

struct FakeTablet {
    template <typename F>
    F Named(const char *name) const {
        return reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(module, name)));
    }
    explicit FakeTablet(const wchar_t *folder) {
        const std::wstring path = pintora_test::TestDir() + folder + L"\\Wintab32.dll";
        module = LoadLibraryW(path.c_str());
        if (!module) return;
        reset = Named<fake_wintab::ResetFn>("FakeWintab_Reset");
        queue = Named<fake_wintab::QueueFn>("FakeWintab_Queue");
        queueLater = Named<fake_wintab::QueueLaterFn>("FakeWintab_QueueLater");
        record = Named<fake_wintab::RecordFn>("FakeWintab_Record");
    }
    ~FakeTablet() {
        if (module) FreeLibrary(module);
    }
    bool ok() const { return module && reset && queue && queueLater && record; }
    void Queue(fake_wintab::Packet packet) { queue(&packet, 1); }

    HMODULE module = nullptr;
    fake_wintab::ResetFn reset = nullptr;
    fake_wintab::QueueFn queue = nullptr;
    fake_wintab::QueueLaterFn queueLater = nullptr;
    fake_wintab::RecordFn record = nullptr;
};

constexpr const char *kOverrideHint =
    "the fake Wintab32.dll did not load in place of Wine's own: run with WINEDLLOVERRIDES=wintab32=n";

fake_wintab::Packet Pen(uint32_t pressure, uint32_t cursor = 1) { return {cursor, 1, 10, 10, pressure}; }

// A manager with the basic plug-in's ペン selected, a canvas and a tablet
// scripted before the start.
class Tablet : public ::testing::Test {
protected:
    void StartWith(fake_wintab::Script script, const wchar_t *fakeFolder = L"fake_wintab") {
        fake_ = std::make_unique<FakeTablet>(fakeFolder);
        ASSERT_TRUE(fake_->ok()) << kOverrideHint;
        fake_->reset(&script);
        folder_.Add(L"basic", L"a.brs");
        ASSERT_EQ(manager_.Init(folder_.Ansi(), owner_.hwnd()), 1);
        ASSERT_EQ(Bw().SelectPlugInBrush(m(), BrushIndex(m(), u8"ペン"), nullptr), 1);
        log_ = ProbeLogOf(&m()->brushes[m()->currentBrush]);
        canvas_ = Dw().MakeBlankFCDIBitmap(32, 32);
    }
    void TearDown() override {
        manager_.End();
        if (canvas_) Dw().FreeDIBitmap(&canvas_);
        fake_.reset();
    }
    PlugInBrushManager *m() { return manager_.get(); }
    // Pressure the brush saw at the first call of a new stroke.
    int StartPressure() {
        POINT p{5, 5};
        const int before = log_->count;
        EXPECT_EQ(Bw().StartPlugInBrush(m(), owner_.hwnd(), canvas_, nullptr, nullptr, nullptr, &p, 1, nullptr), 1);
        return log_->calls[before].context.pressure;
    }
    int DragPressure() {
        POINT p{6, 6};
        const int before = log_->count;
        EXPECT_EQ(Bw().DragPlugInBrush(m(), &p, nullptr), 1);
        return log_->calls[before].context.pressure;
    }
    void EndStroke() {
        POINT p{6, 6};
        Bw().EndPlugInBrush(m(), &p);
    }

    pintora_test::MessageBoxWatcher watcher_;
    CountingWindow owner_;
    PlugInFolder folder_;
    Manager manager_;
    std::unique_ptr<FakeTablet> fake_;
    probe::Log *log_ = nullptr;
    HBITMAP canvas_ = nullptr;
};

TEST_F(Tablet, TheContextIsOpenedAsTheManagerNeedsIt) {
    StartWith({1, 0, 1023});
    const fake_wintab::Record &r = *fake_->record();
    EXPECT_EQ(r.presenceQueries, 1);
    ASSERT_EQ(r.opens, 1);
    EXPECT_EQ(r.openWindow, owner_.hwnd());
    EXPECT_TRUE(r.openEnabled);
    const BYTE *context = r.openedContext;
    EXPECT_STREQ(reinterpret_cast<const char *>(context), "Fernwick");
    auto word = [&](int i) { return *reinterpret_cast<const DWORD *>(context + 40 + 4 * i); };
    EXPECT_EQ(word(0), fake_wintab::kDefaultOptions) << "the default context's other fields are kept";
    EXPECT_EQ(word(3), 0x7FF0u) << "message base";
    EXPECT_EQ(word(6), 0x05E0u) << "packet data: cursor, buttons, x, y, normal pressure";
    EXPECT_EQ(word(7), 0x40u) << "packet mode: buttons relative";
    EXPECT_EQ(word(8), 0x05E0u) << "move mask";
    EXPECT_EQ(word(9), fake_wintab::kDefaultButtonDownMask);
    EXPECT_EQ(word(10), fake_wintab::kDefaultButtonDownMask) << "button-up mask = button-down mask";
    EXPECT_EQ(static_cast<LONG>(word(14)), fake_wintab::kDefaultInputExtentX);
    EXPECT_EQ(r.queueSize, 8);

    manager_.End();
    EXPECT_EQ(fake_->record()->closes, 1);
}

TEST_F(Tablet, PressureFollowsThePenAndTheNewestPacketWins) {
    StartWith({1, 0, 1024});
    fake_->Queue(Pen(1024));
    EXPECT_EQ(StartPressure(), 128) << "full pressure";
    fake_->Queue(Pen(100));
    fake_->Queue(Pen(512));
    fake_->Queue(Pen(1024, 0));  // a packet without a cursor is ignored
    EXPECT_EQ(DragPressure(), 104) << "half the maximum, the newest pen packet";
    fake_->Queue(Pen(511));
    EXPECT_EQ(DragPressure(), 103) << "511 of 1024 scales down to entry 63";
    fake_->Queue(Pen(0));
    EXPECT_EQ(DragPressure(), 0) << "a lifted pen";
    EndStroke();
}

TEST_F(Tablet, ADeviceWithoutAPressureMaximumCountsTo256) {
    StartWith({1, 0, 0});
    fake_->Queue(Pen(128));
    EXPECT_EQ(StartPressure(), 104);
    EndStroke();
}

TEST_F(Tablet, NoPacketCostsOneWaitThenFullPressure) {
    StartWith({1, 0, 1023});
    const int fetchesBefore = fake_->record()->fetches;
    EXPECT_EQ(StartPressure(), 128);
    const fake_wintab::Record &r = *fake_->record();
    ASSERT_EQ(r.fetches - fetchesBefore, 2) << "one drain that found nothing, one after the wait";
    const double waited = r.fetchTimesMs[fetchesBefore + 1] - r.fetchTimesMs[fetchesBefore];
    EXPECT_GE(waited, 15.0) << "the 20 ms wait";

    // A packet that arrives during the wait is the one used.
    const auto arriving = Pen(512);
    fake_->queueLater(&arriving, fake_->record()->fetches + 1);
    EXPECT_EQ(DragPressure(), 104);
    EndStroke();
}

TEST_F(Tablet, TheEraserEndIsReportedOncePerQueuedPacket) {
    StartWith({1, 0, 1023});
    for (uint32_t cursor : {2u, 5u}) {
        fake_->Queue(Pen(300, cursor));
        EXPECT_EQ(Bw().IsTabletEraceMode(), 1) << cursor;
        EXPECT_EQ(Bw().IsTabletEraceMode(), 0) << "the one packet was taken";
    }
    fake_->Queue(Pen(300, 1));
    EXPECT_EQ(Bw().IsTabletEraceMode(), 0) << "the pen tip";
}

TEST_F(Tablet, ALibraryWithoutTheQueueSetterStillServesTheTablet) {
    StartWith({1, 0, 1023}, L"fake_wintab_no_queue");
    EXPECT_EQ(fake_->record()->opens, 1);
    fake_->Queue(Pen(512));
    EXPECT_EQ(StartPressure(), 104);
    EndStroke();
}

TEST_F(Tablet, WithoutATabletTheStrokesRunAtFullPressure) {
    StartWith({0, 0, 1023});
    EXPECT_EQ(fake_->record()->opens, 0);
    fake_->Queue(Pen(10, 2));
    EXPECT_EQ(StartPressure(), 128);
    EXPECT_EQ(fake_->record()->fetches, 0) << "no tablet: no packet is asked for";
    EXPECT_EQ(Bw().IsTabletEraceMode(), 0);
    EndStroke();
}

TEST_F(Tablet, AContextThatCannotOpenLeavesTheTabletOff) {
    StartWith({1, 1, 1023});
    EXPECT_EQ(fake_->record()->opens, 1);
    fake_->Queue(Pen(10, 2));
    EXPECT_EQ(StartPressure(), 128);
    EXPECT_EQ(Bw().IsTabletEraceMode(), 0);
    EXPECT_EQ(fake_->record()->fetches, 0);
    EndStroke();
    manager_.End();
    EXPECT_EQ(fake_->record()->closes, 0);
}

TEST(NoTabletLibrary, EverythingWorksAtFullPressure) {
    // No fake is loaded and Wine's own is not used: no Wintab32.dll at all.
    ASSERT_EQ(GetModuleHandleW(L"Wintab32.dll"), nullptr);
    PlugInFolder folder;
    folder.Add(L"basic", L"a.brs");
    Manager manager;
    ASSERT_EQ(manager.Init(folder.Ansi()), 1);
    EXPECT_EQ(GetModuleHandleW(L"Wintab32.dll"), nullptr) << kOverrideHint;
    ASSERT_EQ(Bw().SelectPlugInBrush(manager.get(), 0, nullptr), 1);
    probe::Log *log = ProbeLogOf(&manager->brushes[0]);
    HBITMAP canvas = Dw().MakeBlankFCDIBitmap(16, 16);
    CountingWindow window;
    POINT p{3, 3};
    const int before = log->count;
    ASSERT_EQ(Bw().StartPlugInBrush(manager.get(), window.hwnd(), canvas, nullptr, nullptr, nullptr, &p, 1, nullptr), 1);
    ASSERT_EQ(Bw().DragPlugInBrush(manager.get(), &p, nullptr), 1);
    EXPECT_EQ(log->calls[before].context.pressure, 128);
    EXPECT_EQ(log->calls[before + 2].context.pressure, 128);
    EXPECT_EQ(Bw().IsTabletEraceMode(), 0);
    Bw().EndPlugInBrush(manager.get(), &p);
    Dw().FreeDIBitmap(&canvas);
}

}  // namespace
