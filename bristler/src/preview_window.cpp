// The BrushPreview window of the settings dialog: a picture of its client
// size on which the current brush draws a sample of itself
// (BRUSHCMD_PREVIEW) in a temporary context, so that a preview never
// disturbs a stroke.
#include "bristler_internal.h"
#include "dibwork.h"

namespace bristler {

namespace {

PlugInBrushManager *ManagerOf(HWND window) {
    return reinterpret_cast<PlugInBrushManager *>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// A failed render or paint shows the last error and ends the dialog.
void FailPreview(HWND window, PlugInBrushManager *manager, int error) {
    HWND dialog = GetParent(window);
    ReportError(manager, dialog ? dialog : window, error);
    if (manager && dialog && dialog == manager->settingsDialog) DestroyWindow(dialog);
}

// 0xFC00: a new 24-bit picture of the client size replaces the old one;
// the manager comes from the parent dialog's user data.
LRESULT OnMakePicture(HWND window) {
    HWND parent = GetParent(window);
    auto *manager = parent ? reinterpret_cast<PlugInBrushManager *>(GetWindowLongPtrA(parent, GWLP_USERDATA))
                           : nullptr;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(manager));
    if (!manager) return -1;
    RECT client{};
    GetClientRect(window, &client);
    HBITMAP picture = MakeBlankFCDIBitmap(client.right - client.left, client.bottom - client.top);
    if (!picture) return -1;
    if (manager->previewPicture) FreeDIBitmap(&manager->previewPicture);
    manager->previewPicture = picture;
    return 0;
}

void OnRender(HWND window) {
    PlugInBrushManager *manager = ManagerOf(window);
    if (!manager || !manager->previewPicture) {
        if (SendMessageA(window, kMsgMakePreviewPicture, 0, 0) != 0) {
            FailPreview(window, ManagerOf(window), BRISTLER_ERROR_NO_MEMORY);
            return;
        }
        manager = ManagerOf(window);
    }
    int error = 0;
    if (!RunBrushPreview(manager, window, manager->previewPicture, &error)) {
        FailPreview(window, manager, error);
        return;
    }
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
}

// Copies the picture to the window; false when there is one but it could
// not be drawn.
bool DrawPicture(HWND window, HDC dc, HBITMAP picture) {
    BITMAP info{};
    if (!dc || !GetObjectA(picture, sizeof(info), &info)) return false;
    HGDIOBJ previous = nullptr;
    HDC source = CreateDIBitmapDC(window, picture, &previous);
    if (!source) return false;
    const bool drawn = BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY) != 0;
    DeleteDIBitmapDC(window, source, previous);
    return drawn;
}

void OnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    PlugInBrushManager *manager = ManagerOf(window);
    const bool failed = manager && manager->previewPicture && !DrawPicture(window, dc, manager->previewPicture);
    EndPaint(window, &paint);
    if (failed) FailPreview(window, manager, BRISTLER_ERROR_PROCESSING);
}

void OnDestroy(HWND window) {
    if (PlugInBrushManager *manager = ManagerOf(window)) {
        if (manager->previewPicture) FreeDIBitmap(&manager->previewPicture);
        manager->previewPicture = nullptr;
    }
}

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kMsgMakePreviewPicture: return OnMakePicture(window);
    case WM_COMMAND:
        if (LOWORD(wParam) == kIdPreview) OnRender(window);
        return 0;
    case WM_PAINT: OnPaint(window); return 0;
    case WM_DESTROY: OnDestroy(window); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

bool RegisterPreviewClass(HINSTANCE module) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_PARENTDC;
    windowClass.lpfnWndProc = PreviewProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = BRISTLER_PREVIEW_CLASS;
    return RegisterClassA(&windowClass) != 0;
}

void UnregisterPreviewClass(HINSTANCE module) { UnregisterClassA(BRISTLER_PREVIEW_CLASS, module); }

int RunBrushPreview(PlugInBrushManager *manager, HWND window, HBITMAP picture, int *error) {
    *error = BRISTLER_ERROR_PROCESSING;
    if (!manager || !picture || !CurrentBrush(manager)) return 0;
    BITMAPINFOHEADER *header = nullptr;
    BYTE *bits = GetMetaBitmapInfoHeader(nullptr, picture, &header);
    if (!bits || !header) return 0;

    const PlugInBrushContext &real = manager->context;
    PlugInBrushContext preview{};
    preview.hwndCanvas = window;
    preview.hCanvasDIBitmap = picture;
    preview.canvasInfo = header;
    preview.canvasBits = bits;
    preview.width = header->biWidth;
    preview.height = header->biHeight;
    preview.stride = static_cast<int32_t>(GetBitmapWidthBytes(header));
    preview.workBits = real.workBits;
    preview.tipBits = real.tipBits;
    preview.tipParams = real.tipParams;
    preview.tipWidth = real.tipWidth;
    preview.tipHeight = real.tipHeight;
    preview.tipVariantCount = real.tipVariantCount;
    preview.command = BRUSHCMD_PREVIEW;
    preview.color = real.color;
    preview.color2 = real.color2;
    preview.color3 = real.color3;
    preview.curX = preview.prevX = preview.startX = preview.width / 2;
    preview.curY = preview.prevY = preview.startY = preview.height / 2;
    preview.pressure = BRUSH_PRESSURE_FULL;

    CurrentBrush(manager)->entryPoint(&preview);
    // The brush may have replaced its buffers while drawing the sample.
    manager->context.workBits = preview.workBits;
    manager->context.tipBits = preview.tipBits;
    ReleaseMetaBitmapInfoHeader(nullptr, picture, header);
    return 1;
}

}  // namespace bristler
