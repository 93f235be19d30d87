#pragma once

class wxWindow;

// One mouse or key event of a 3D canvas, as the canvas hands it to the
// custom events manager. A plain record: the canvas fills every field, a
// field that does not apply to the event is zero.
struct EventInfo
{
    // wx key codes; Escape is 27, Delete and keypad Delete are both 127.
    int keyCode = 0;
    // 1 left, 2 middle, 3 right, 0 none; on a drag motion the held button.
    int button = 0;
    // This event is a button press.
    bool pressed = false;
    // This event is a button release.
    bool released = false;
    // Pixel position in the canvas, from its top-left corner.
    int x = 0;
    int y = 0;
    // Motion with no button held.
    bool moved = false;
    // Motion with a button held.
    bool dragged = false;
    // The held button has moved since its press.
    bool draggedSincePress = false;
    // The canvas the event happened on.
    wxWindow* source = nullptr;
    // Wheel notches turned, positive away from the user (zooming in); 0 for
    // every other event.
    int wheel = 0;
};
