// PintoraKids.exe with the stamps: a stamp chosen by its brush menu id
// (WM_COMMAND 8000 + its position in Bristler's brush table, as the brush
// menu sends it) paints along a real drag, and the press lays exactly one
// of the fruit pictures as Stampwell.brs builds them, pixel for pixel.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "bristler.h"
#include "e2e_support.h"
#include "test_support.h"

using namespace pintora_e2e;

namespace {

constexpr int kStampSize = 100;  // the stamps' initial size
constexpr int kHalf = kStampSize / 2;

HMODULE LoadBeside(const std::wstring &folder, const wchar_t *file) {
    return LoadLibraryExW((folder + file).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// The position of brush `name` in the table Bristler builds from the
// plug-ins of `folder` (with a trailing backslash), as the program's own
// manager builds it; -1 when there is none.
int BrushPosition(const std::wstring &folder, const char *name) {
    HMODULE bristler = LoadBeside(folder, L"Bristler.dll");
    if (!bristler) return -1;
    const auto init = pintora_test::Ordinal<decltype(&::InitBrushPlugInDLL)>(bristler, 1);
    const auto end = pintora_test::Ordinal<decltype(&::EndBrushPlugInDLL)>(bristler, 2);
    HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    auto *manager = static_cast<PlugInBrushManager *>(GlobalAlloc(GPTR, sizeof(PlugInBrushManager)));
    int position = -1;
    const std::string ansi = pintora_test::Narrow(folder.substr(0, folder.size() - 1));
    if (init && end && manager && init(manager, ansi.c_str(), owner, nullptr, 8000)) {
        for (int i = 0; i < manager->brushCount; ++i) {
            if (std::strcmp(manager->brushes[i].name, name) == 0) position = i;
        }
        end(manager);
    }
    if (manager) GlobalFree(manager);
    if (owner) DestroyWindow(owner);
    FreeLibrary(bristler);
    return position;
}

// The fruit stamp selected in this process at the initial parameters:
// its masks and scaled pictures, to compare the screen with.
class FruitReference {
public:
    explicit FruitReference(const std::wstring &folder) : module_(LoadBeside(folder, L"Stampwell.brs")) {
        if (module_) {
            entry_ = reinterpret_cast<PlugInBrushProc>(
                reinterpret_cast<void *>(GetProcAddress(module_, "Xi_StampRFruitBrush")));
        }
        params_[0].value = kStampSize;
        params_[1].value = 100;
        params_[2].value = 12;
        ctx_.tipParams = params_;
        ctx_.command = BRUSHCMD_SELECT;
        selected_ = entry_ && entry_(&ctx_) == 1;
    }
    ~FruitReference() {
        if (selected_) {
            ctx_.command = BRUSHCMD_RELEASE;
            entry_(&ctx_);
        }
        if (module_) FreeLibrary(module_);
    }
    FruitReference(const FruitReference &) = delete;
    FruitReference &operator=(const FruitReference &) = delete;
    bool ok() const { return selected_ && ctx_.tipWidth == kStampSize; }

    // Pixels of the 100 x 100 square centred on `centre` that differ from
    // picture v laid over `before` by the stamps' rule (full pressure):
    // tip row j lands on screen row centre.y + 50 - j.
    size_t Mismatches(const Shot &before, const Shot &after, POINT centre, int v) const {
        const auto *masks = static_cast<const uint8_t *>(ctx_.tipBits);
        const auto *pictures = static_cast<const uint8_t *>(ctx_.workBits);
        size_t wrong = 0;
        for (int j = 0; j < kStampSize; ++j) {
            for (int i = 0; i < kStampSize; ++i) {
                const int x = centre.x - kHalf + i, y = centre.y + kHalf - j;
                const int t = masks[(static_cast<size_t>(v) * kStampSize + j) * kStampSize + i];
                const uint8_t *p = pictures + (static_cast<size_t>(v) * kStampSize + j) * ctx_.color3 + 3 * i;
                const uint32_t old = before.at(x, y);
                uint32_t expected = old;
                if (t > 0) {
                    const int cv = std::clamp(t, 0, 128);  // pressure 128: cv = t
                    const auto mix = [cv](int o, int q) { return static_cast<uint32_t>(o + (q - o) * cv / 128); };
                    expected = mix((old >> 16) & 0xFF, p[2]) << 16 | mix((old >> 8) & 0xFF, p[1]) << 8 |
                               mix(old & 0xFF, p[0]);
                }
                wrong += after.at(x, y) != expected;
            }
        }
        return wrong;
    }
    int pictures() const { return ctx_.tipVariantCount; }

private:
    HMODULE module_;
    PlugInBrushProc entry_ = nullptr;
    BrushParam params_[3] = {};
    PlugInBrushContext ctx_{};
    bool selected_ = false;
};

bool Intersects(const RECT &a, const std::vector<RECT> &others) {
    RECT unused;
    return std::any_of(others.begin(), others.end(), [&](const RECT &o) { return IntersectRect(&unused, &a, &o); });
}

// A horizontal drag of 400 pixels whose stamps (and a margin) stay clear of
// the program's other windows.
std::pair<POINT, POINT> FreeStroke(const std::vector<RECT> &others) {
    const int h = GetSystemMetrics(SM_CYSCREEN), w = GetSystemMetrics(SM_CXSCREEN);
    const int reach = kStampSize + 20;
    for (int y = reach; y < h - reach; y += 10) {
        for (int x = reach; x + 400 < w - reach; x += 50) {
            const RECT area{x - reach, y - reach, x + 400 + reach, y + reach};
            if (!Intersects(area, others)) return {{x, y}, {x + 400, y}};
        }
    }
    return {{-1, -1}, {-1, -1}};
}

TEST(StampsE2E, AStampChosenByItsMenuIdLaysItsPicturesAlongADrag) {
    SettingsGuard settings;
    settings.Write({"bFirstRun=1", "KidsRunAlready=1"});
    Backdrop backdrop;
    const std::wstring &folder = InstalledCopy();
    const int fruit = BrushPosition(folder, u8"フルーツ");
    ASSERT_GE(fruit, 0) << "no fruit stamp in the brush table";
    const FruitReference reference(folder);
    ASSERT_TRUE(reference.ok());

    Kids kids;
    HWND canvas = kids.WaitForCanvas();
    ASSERT_NE(canvas, nullptr);
    SetForegroundWindow(canvas);
    PostMessageW(canvas, WM_COMMAND, MAKEWPARAM(8000 + fruit, 0), 0);
    // The screen once the program's bars have come up and settled.
    Pump(500);
    const Shot shown = SettledScreen();
    const std::vector<RECT> others = kids.OtherWindows();

    const auto [a, b] = FreeStroke(others);
    ASSERT_GE(a.x, 0) << "no room for a stroke beside the brush dialogs";
    Drag(a, b, false);
    const Shot painted = SettledScreen();

    // The press laid exactly one of the pictures, centred on it.
    size_t best = SIZE_MAX;
    int matching = 0;
    for (int v = 0; v < reference.pictures(); ++v) {
        const size_t wrong = reference.Mismatches(shown, painted, a, v);
        best = std::min(best, wrong);
        matching += wrong == 0;
    }
    if (matching != 1) SaveShot(painted, pintora_test::TestDir() + L"e2e-stamps.bmp");
    EXPECT_EQ(matching, 1) << "fewest differing pixels of any picture: " << best;

    // Further pictures along the drag, and nothing beyond the stamps' reach.
    const Difference d = Compare(shown, painted, others);
    if (d.bounds.top < a.y - kHalf || d.bounds.right > b.x + kStampSize + kHalf) {
        SaveShot(shown, pintora_test::TestDir() + L"e2e-stamps-before.bmp");
        SaveShot(painted, pintora_test::TestDir() + L"e2e-stamps-after.bmp");
    }
    EXPECT_GE(d.bounds.left, a.x - kHalf);
    EXPECT_LE(d.bounds.right, b.x + kStampSize + kHalf);
    EXPECT_GE(d.bounds.top, a.y - kHalf);
    EXPECT_LE(d.bounds.bottom, a.y + kHalf + 1);
    EXPECT_GT(d.bounds.right, a.x + 250) << "only the press was stamped";
    EXPECT_EQ(kids.Close(), 0u);
}

}  // namespace
