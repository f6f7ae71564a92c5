// Ctrl+V: a screen shot on the clipboard (Print Screen) becomes the new
// picture, and erasing then restores it.
#pragma once

namespace pintora {

struct AppState;

// Takes the clipboard's device-independent bitmap when it is a whole,
// convertible picture of exactly the screen's size; anything else is
// ignored without a message.
void PasteScreenShot(AppState &app);

}  // namespace pintora
