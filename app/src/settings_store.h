// The settings file: where it lives, reading it at start and writing it at
// the end of a run.
//
// The file keeps its name "Pintora.ini", section and keys, but lives in the
// user's application-data folder: the Windows directory, the profile
// functions' default, is not writable by a user on current systems.  A
// file left in the Windows directory by an older installation is read as
// long as the new one does not exist, and copied over before the new one
// is first written, so no setting is lost on the move.
#pragma once

#include <windows.h>

#include <string>

#include "settings_model.h"

namespace pintora {

class SettingsStore {
public:
    // The file of the current user, and the old one in the Windows directory.
    static SettingsStore ForCurrentUser();
    SettingsStore(std::wstring file, std::wstring legacyFile);

    const std::wstring &file() const { return file_; }

    // "bFirstRun", read before anything else.
    int32_t ReadFirstRun() const;
    // "bFirstRun" = 1, written at once after the welcome box.
    void WriteFirstRun() const;

    // The run keys in their order, each with its default when missing, and
    // brought into range.
    Settings ReadRunSettings() const;
    // The run keys in their order, the pages moved on by one.  Failures are
    // ignored: the run has ended and there is no one to tell.
    void WriteRunSettings(const Settings &settings) const;

private:
    // The file reads come from: the new one if it exists, else the old one
    // if that exists, else the new one (all defaults).
    std::wstring ReadPath() const;
    // Before the first write to the new file, the old one is copied there.
    void PrepareWrite() const;
    int32_t ReadKey(const std::wstring &path, const SettingKey &key) const;
    void WriteKey(const SettingKey &key, int32_t value) const;

    std::wstring file_;
    std::wstring legacyFile_;
};

}  // namespace pintora
