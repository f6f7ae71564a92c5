// The program's settings: keys, defaults, the ranges every value is
// brought into before it is used, and the order in which they are read
// and written.  The file access itself is in src/settings_store.
//
// File "Pintora.ini", section "Pintora"; every value is a decimal integer
// written with "%d".
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace pintora {

constexpr int kPagesPerMode = 24;
constexpr int32_t kPaperIntensityLimit = 30;

struct Settings {
    int32_t firstRun = 0;            // "bFirstRun": the welcome box was shown
    int32_t currentPenSize = 1;      // 0 big, 1 middle, 2 small
    int32_t currentPen = 0;          // index in PenTable
    int32_t paperIntensity = 0;      // added to the paper texture's colours
    int32_t kidsMode = 0;            // kids-mode dialog options (bits 1, 2, 4, 8)
    int32_t lastNormalPage = 0;      // 0..23
    int32_t lastKidsPage = 0;        // 0..23
    int32_t colKidsPaper = 0xCCCCCC; // flat paper colour, red in the low byte
    int32_t kidsRunAlready = 0;      // the kids-mode warning was shown
    // Tuning values, read but never written: a user or a test sets them.
    int32_t undoMegabytes = 64;      // memory cap of the undo history
    int32_t autoSaveSeconds = 30;    // least time between two autosaves
};

// One key of the file and the member that holds it.
struct SettingKey {
    const char *name;
    int32_t Settings::*member;
};

constexpr const char *kSettingsFileName = "Pintora.ini";
constexpr const char *kSettingsSection = "Pintora";
constexpr SettingKey kFirstRunKey = {"bFirstRun", &Settings::firstRun};

// Every other key, in the order they are read at start and written at the
// end of a run.
constexpr std::array<SettingKey, 8> kRunKeys = {{
    {"CurrentPenSize", &Settings::currentPenSize},
    {"CurrentPen", &Settings::currentPen},
    {"PaperIntensity", &Settings::paperIntensity},
    {"KidsMode", &Settings::kidsMode},
    {"LastNormalPage", &Settings::lastNormalPage},
    {"LastKidsPage", &Settings::lastKidsPage},
    {"ColKidsPaper", &Settings::colKidsPaper},
    {"KidsRunAlready", &Settings::kidsRunAlready},
}};

// Tuning keys: read at start after the run keys, never written, so the
// file holds them only where someone has put them.
constexpr std::array<SettingKey, 2> kTuningKeys = {{
    {"UndoMegabytes", &Settings::undoMegabytes},
    {"AutoSaveSeconds", &Settings::autoSaveSeconds},
}};
constexpr int32_t kUndoMegabytesLimit = 1024;
constexpr int32_t kAutoSaveSecondsLimit = 3600;

// The default of a key (the value a missing key reads as).
int32_t DefaultOf(const SettingKey &key);

// Brings every value into the range the program indexes tables and builds
// file names with: pen 0..5, size step 0..2, intensity -30..30, pages
// 0..23 (each clamped to the nearest bound); kids options outside 0..15
// become 0; the two flags become 0 or 1; the paper colour keeps its red,
// green and blue bytes and the palette-relative flag 0x02.  The undo cap
// is 0..1024 MiB (0: no undo), the autosave time 1..3600 s.
Settings Clamped(const Settings &s);

// The values written at the end of a run: as held, except that both pages
// move on by one (23 wraps to 0), so that the next run saves into the next
// page.
Settings ForNextRun(const Settings &s);

// The value of a key read as text from the file.  Leading blanks, an
// optional sign and decimal digits, as the platform's profile reader takes
// them, but negative values keep their sign (a darker paper is stored as a
// negative intensity) and values beyond 32 bits saturate.  Text without
// digits reads as 0.
int32_t ParseProfileInt(std::string_view text);

}  // namespace pintora
