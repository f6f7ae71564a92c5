// Reading one brush from its plug-in's string table.  The ids are read in
// a fixed order and the first missing or bad string skips the brush, so a
// plug-in with one broken brush still offers the others.
#include <cstring>

#include "brush_rules.h"
#include "bristler_internal.h"

namespace bristler {

namespace {

// Bytes of one character in the process's ANSI code page.
size_t AnsiCharLength(const char *text) {
    if (GetACP() == CP_UTF8) return Utf8CharLength(text);
    return IsDBCSLeadByte(static_cast<BYTE>(text[0])) && text[1] != '\0' ? 2 : 1;
}

// The string table of one plug-in, read through one 128-byte buffer.
class StringTable {
public:
    explicit StringTable(HMODULE module) : module_(module) {}
    // Loads string `id`; false when it is missing (or empty).
    bool Load(int32_t id) {
        text_[0] = '\0';
        if (id < 1 || id > 0xFFFF) return false;
        return LoadStringA(module_, static_cast<UINT>(id), text_, sizeof(text_)) > 0;
    }
    // The last loaded string and its decimal value.
    const char *text() const { return text_; }
    int32_t number() const { return ParseDecimal(text_); }
    // Loads a decimal string into *value.
    bool LoadNumber(int32_t id, int32_t *value) {
        if (!Load(id)) return false;
        *value = number();
        return true;
    }
    // Loads a string into a record field, cut to fit.
    bool LoadText(int32_t id, char *field, size_t fieldBytes) {
        if (!Load(id)) return false;
        CopyTextToField(field, fieldBytes, text_, AnsiCharLength);
        return true;
    }

private:
    HMODULE module_;
    char text_[BRUSH_STRING_BUFFER_BYTES];
};

// Resource ids are 16-bit; anything else would be taken for a pointer.
bool IsResourceId(int32_t id) { return id >= 1 && id <= 0xFFFF; }

// Step of the duplicate check: an equal name with a smaller version is
// replaced; an equal name with the same or a greater version wins.
bool CheckDuplicate(const PlugInBrushManager &manager, const BrushDescriptor &brush, int32_t *replace) {
    *replace = -1;
    for (int32_t j = 0; j < manager.brushCount; ++j) {
        const BrushDescriptor &known = manager.brushes[j];
        if (lstrcmpA(known.name, brush.name) != 0) continue;
        if (known.version >= brush.version) return false;
        *replace = j;
        return true;
    }
    return true;
}

// Cursor id 1000 and up lives in the plug-in, a smaller one in Bristler.
bool LoadBrushCursor(StringTable &table, HMODULE plugIn, int32_t id, BrushDescriptor *brush) {
    int32_t cursorId = 0;
    if (!table.LoadNumber(id, &cursorId) || !IsResourceId(cursorId)) return false;
    HMODULE owner = cursorId >= 1000 ? plugIn : g_module;
    brush->cursor = LoadCursorA(owner, MAKEINTRESOURCEA(cursorId));
    return brush->cursor != nullptr;
}

bool LoadOwnDialog(StringTable &table, HMODULE plugIn, int32_t index, BrushDescriptor *brush) {
    int32_t ordinal = 0;
    if (!table.LoadNumber(BRSID_DIALOG_TEMPLATE + index, &brush->dialogTemplate)) return false;
    if (!table.LoadNumber(BRSID_DIALOG_PROC_ORDINAL + index, &ordinal) || !IsResourceId(ordinal)) return false;
    brush->dialogProc = reinterpret_cast<DLGPROC>(
        reinterpret_cast<void *>(GetProcAddress(plugIn, MAKEINTRESOURCEA(ordinal))));
    return brush->dialogProc != nullptr;
}

// Parameter k: label, minimum, maximum, initial value; reading stops at
// the first missing string and what was not read stays 0.
void LoadParam(StringTable &table, int32_t index, int k, BrushParam *param) {
    const int32_t step = BRSID_PARAM_STEP * k + index;
    if (!table.LoadText(BRSID_PARAM_LABEL + step, param->label, sizeof(param->label))) return;
    if (!table.LoadNumber(BRSID_PARAM_MINIMUM + step, &param->minimum)) return;
    if (!table.LoadNumber(BRSID_PARAM_MAXIMUM + step, &param->maximum)) return;
    table.LoadNumber(BRSID_PARAM_INITIAL + step, &param->value);
}

}  // namespace

bool ReadBrushDescriptor(HMODULE plugIn, int32_t index, const PlugInBrushManager &manager,
                         BrushDescriptor *out, int32_t *replace) {
    StringTable table(plugIn);
    BrushDescriptor brush{};
    if (!table.LoadNumber(BRSID_GROUP + index, &brush.group) || brush.group == 0) return false;
    if (!table.LoadText(BRSID_NAME + index, brush.name, sizeof(brush.name))) return false;
    if (!table.LoadNumber(BRSID_VERSION + index, &brush.version)) return false;
    if (!CheckDuplicate(manager, brush, replace)) return false;

    if (!table.LoadNumber(BRSID_SORT_KEY + index, &brush.order)) brush.order = 65535;
    if (!table.LoadText(BRSID_DESCRIPTION + index, brush.description, sizeof(brush.description))) return false;
    if (!table.LoadNumber(BRSID_FLAGS + index, &brush.flags)) return false;

    // The entry point is resolved by the whole export name; the record
    // keeps what fits of it.
    if (!table.LoadText(BRSID_EXPORT_NAME + index, brush.exportName, sizeof(brush.exportName))) return false;
    brush.entryPoint = reinterpret_cast<PlugInBrushProc>(
        reinterpret_cast<void *>(GetProcAddress(plugIn, table.text())));
    if (!brush.entryPoint) return false;

    if (!LoadBrushCursor(table, plugIn, BRSID_CURSOR + index, &brush)) return false;
    if ((brush.flags & BDF_OWNDIALOG) && !LoadOwnDialog(table, plugIn, index, &brush)) return false;

    const int32_t paramFlags[3] = {BDF_PARAM1, BDF_PARAM2, BDF_PARAM3};
    for (int k = 0; k < 3; ++k) {
        if (brush.flags & paramFlags[k]) LoadParam(table, index, k, &brush.params[k]);
    }
    *out = brush;
    return true;
}

}  // namespace bristler
