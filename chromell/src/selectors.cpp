// The three selector controls of the colour window: the hue strip
// (HueSelect), the saturation-intensity square (SatIntSelect) and the
// gradient palette (GradPalette).  Each attaches to the dialog's state on
// message 1036, keeps its picture there, and takes the picked colour from
// the picture's pixel under the pointer.
#include "chromell_internal.h"

#include <initializer_list>

namespace chromell {

namespace {

enum class Kind { kHue, kSatInt, kGradient };

ColorDialogState *AttachedState(HWND window) {
    return reinterpret_cast<ColorDialogState *>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

HBITMAP &PictureOf(ColorDialogState *state, Kind kind) {
    switch (kind) {
    case Kind::kHue: return state->huePicture;
    case Kind::kSatInt: return state->satIntPicture;
    default: return state->gradPicture;
    }
}

SIZE &SizeOf(ColorDialogState *state, Kind kind) {
    switch (kind) {
    case Kind::kHue: return state->hueSize;
    case Kind::kSatInt: return state->satIntSize;
    default: return state->gradSize;
    }
}

bool BuildPicture(ColorDialogState *state, Kind kind) {
    const dibwork::PixelView view = ViewOf(PictureOf(state, kind));
    switch (kind) {
    case Kind::kHue: return BuildHueStrip(view);
    case Kind::kSatInt: return BuildSatIntSquare(view, state->hue);
    default: {
        const GradientCorners corners{state->gradCorners[0], state->gradCorners[1], state->gradCorners[2],
                                      state->gradCorners[3]};
        return BuildGradient(view, corners);
    }
    }
}

LRESULT Attach(HWND window, Kind kind) {
    ColorDialogState *state = StateOfDialog(GetParent(window));
    if (!state) return -1;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    switch (kind) {
    case Kind::kHue: state->hueControl = window; break;
    case Kind::kSatInt: state->satIntControl = window; break;
    case Kind::kGradient:
        state->gradControl = window;
        for (int i = 0; i < 4; ++i) state->gradCorners[i] = g_module.gradCornerMemory[i];
        break;
    }
    RECT client{};
    GetClientRect(window, &client);
    SIZE &size = SizeOf(state, kind);
    size = SIZE{client.right, client.bottom};
    HBITMAP &picture = PictureOf(state, kind);
    if (picture) FreeDIBitmap(&picture);
    picture = MakeBlankFCDIBitmap(size.cx, size.cy);
    if (!picture) return -1;
    if (kind == Kind::kSatInt) return 0;  // built for the hue when the page shows
    return BuildPicture(state, kind) ? 0 : -1;
}

// The pick at client point (x, y); false after a failure (the window has
// ended).
bool Pick(ColorDialogState *state, Kind kind, int x, int y, WPARAM keys) {
    switch (kind) {
    case Kind::kHue: {
        const bool snap = (keys & (MK_SHIFT | MK_CONTROL)) != 0;
        state->hue = HueAtStripPoint(x, y, state->hueSize.cx, state->hueSize.cy, snap);
        const dibwork::PixelView square = ViewOf(state->satIntPicture);
        if (!BuildSatIntSquare(square, state->hue)) return false;
        InvalidateRect(state->satIntControl, nullptr, FALSE);
        const PictureCell cell = SatIntCell(state->saturation, state->intensity, square.width, square.height);
        ColorPicked(state, PixelColor(square, cell.column, cell.memoryRow));
        return true;
    }
    case Kind::kSatInt: {
        const dibwork::PixelView square = ViewOf(state->satIntPicture);
        if (!square.bits) return false;
        const SatIntPick pick = PickSatInt(x, y, square.width, square.height);
        state->saturation = pick.saturation;
        state->intensity = pick.intensity;
        InvalidateRect(state->satIntControl, nullptr, FALSE);
        ColorPicked(state, PixelColor(square, pick.cell.column, pick.cell.memoryRow));
        return true;
    }
    default: {
        const dibwork::PixelView gradient = ViewOf(state->gradPicture);
        if (!gradient.bits) return false;
        const GradientPick pick = PickGradient(x, y, gradient.width, gradient.height);
        state->gradMarkerX = pick.markerX;
        state->gradMarkerY = pick.markerY;
        InvalidateRect(state->gradControl, nullptr, FALSE);
        ColorPicked(state, PixelColor(gradient, pick.cell.column, pick.cell.memoryRow));
        return true;
    }
    }
}

void Paint(HWND window, ColorDialogState *state, Kind kind) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    bool drawn = state && DrawPicture(dc, PictureOf(state, kind));
    if (drawn && kind == Kind::kSatInt) {
        DrawMarker(dc, static_cast<int>(state->satIntSize.cx * state->saturation),
                   static_cast<int>((1.0 - state->intensity) * state->satIntSize.cy));
    } else if (drawn && kind == Kind::kGradient && state->gradMarkerX >= 0 && state->gradMarkerY >= 0) {
        DrawMarker(dc, state->gradMarkerX, state->gradMarkerY);
    }
    EndPaint(window, &ps);
    if (!drawn) {
        ColorDialogState *dialogState = state ? state : StateOfDialog(GetParent(window));
        if (dialogState) FailWindow(dialogState);
    }
}

LRESULT SelectorProc(Kind kind, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ColorDialogState *state = AttachedState(window);
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    switch (message) {
    case CHROMELL_WM_ATTACH:
        return Attach(window, kind);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(window, state, kind);
        return 0;
    case WM_LBUTTONDOWN: {
        if (!state) break;
        if (!Pick(state, kind, x, y, wParam)) {
            FailWindow(state);
            return 0;
        }
        SetCapture(window);
        RECT screen{};
        GetWindowRect(window, &screen);
        ClipCursor(&screen);
        if (!(wParam & (MK_SHIFT | MK_CONTROL)) && !state->hint) OpenHint(state, kind == Kind::kHue ? 1 : 2);
        return 0;
    }
    case WM_MOUSEMOVE: {
        const WPARAM buttons = kind == Kind::kGradient ? (MK_LBUTTON | MK_RBUTTON) : MK_LBUTTON;
        if (!state || !(wParam & buttons)) break;
        if (!Pick(state, kind, x, y, wParam)) FailWindow(state);
        return 0;
    }
    case WM_LBUTTONUP:
        ReleaseCapture();
        ClipCursor(nullptr);
        if (state && state->hint) DestroyWindow(state->hint);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (state) DialogOk(state);
        return 0;
    case WM_RBUTTONUP: {
        // Handled here, so that no context menu reaches the dialog.
        if (!state) return 0;
        POINT at{x, y};
        ClientToScreen(window, &at);
        if (kind == Kind::kGradient) {
            RunPresetMenu(state, at);
        } else {
            OpenHistoryPopup(state, at);
        }
        return 0;
    }
    case CHROMELL_WM_SET_CORNER: {
        const int corner = CornerIndex(static_cast<int>(lParam));
        if (kind != Kind::kGradient || !state || corner < 0) return 0;
        state->gradCorners[corner] = static_cast<COLORREF>(wParam);
        if (!RebuildGradient(state)) FailWindow(state);
        return 0;
    }
    case WM_DESTROY:
        if (kind == Kind::kGradient && state) {
            for (int i = 0; i < 4; ++i) g_module.gradCornerMemory[i] = state->gradCorners[i];
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK HueProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return SelectorProc(Kind::kHue, w, m, wp, lp); }
LRESULT CALLBACK SatIntProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return SelectorProc(Kind::kSatInt, w, m, wp, lp); }
LRESULT CALLBACK GradientProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return SelectorProc(Kind::kGradient, w, m, wp, lp);
}

}  // namespace

bool RebuildHuePictures(ColorDialogState *state) {
    if (!BuildPicture(state, Kind::kHue) || !BuildPicture(state, Kind::kSatInt)) return false;
    InvalidateRect(state->hueControl, nullptr, FALSE);
    InvalidateRect(state->satIntControl, nullptr, FALSE);
    return true;
}

bool RebuildGradient(ColorDialogState *state) {
    if (!BuildPicture(state, Kind::kGradient)) return false;
    InvalidateRect(state->gradControl, nullptr, FALSE);
    for (int id = CHROMELL_ID_CORNER_TL; id <= CHROMELL_ID_CORNER_BR; ++id)
        InvalidateRect(GetDlgItem(state->dialog, id), nullptr, FALSE);
    return true;
}

WNDPROC SelectorProcedure(int index) {
    static const WNDPROC procs[3] = {HueProc, SatIntProc, GradientProc};
    return index >= 0 && index < 3 ? procs[index] : nullptr;
}

}  // namespace chromell
