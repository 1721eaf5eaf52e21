// A game pad speaks to the game as the actions and the mouse it stands for, so that every screen
// keeps its own rules. Its buttons and triggers stand for the actions they are bound to (by
// default as the keys: the D-pad the moves, Start M, Back F1, the triggers F2 and F3, the left
// stick pressed F4, X F5, Y F6, share F9, guide F11, the touchpad F12); the moves are held while
// held and repeated as a keyboard repeats them. The rest is fixed:
//   A, B                  Enter, Esc
//   left stick            the moves
//   Start held a second   the options (F10)
//   left, right shoulder  the wheel rolled away (zoom out) and toward the player (zoom in)
//   right stick           the mouse with its left button held: the view pans; pressed in, the
//                         mouse with no button: its height sets the view's pitch
// What the pad means goes on the window's queue as action messages, keys, buttons and wheel
// notches. Two screens have no use for the moves and read the pad their own way, through the pad
// routine they install: on the name-entry screen up and down change the letter under the pad's
// cursor and left and right move along the name, B deletes the last letter; on the custom-maze
// screen's seed line left and right step the last digit, X deletes it and Y adds one.
#pragma once

#include <cstdint>

#include "flow/key_bindings.h"
#include "platform/platform.h"

// The pads' buttons and axes, all pads as one, and what they hold down in the game's name. Lives
// for the whole run; SDL lets go of the buttons and centres the sticks of a pad that goes away, so
// that what it held goes up; tests reset it with `gamePad = GamePad{};`.
struct GamePad
{
    bool buttons[PAD_BUTTON_COUNT] = {};
    int16_t axes[PAD_AXIS_COUNT] = {};
    uint8_t directions = 0;                 // a bit for each of up, down, left and right, held
    uint8_t heldKeys[PAD_INPUT_COUNT] = {}; // the key each input's press sent, to send it up
    bool triggersDown[2] = {};              // the triggers, pressed past the half way
    uint8_t arrowsDown = 0;                 // the directions sent as arrow keys held down
    int8_t repeatSource = -1;               // the direction or shoulder a repeat goes on sending
    int64_t repeatDue = 0;                  // when it is sent again, in performance counter ticks
    int64_t optionsDue = 0;                 // when Start, held since, opens the options; 0: never
    bool dragging = false;                  // the right stick holds the left button down
    double pointerX = 0.0;                  // the pointer's move not yet a whole pixel
    double pointerY = 0.0;
};

extern GamePad gamePad;

// A pad message, from the window procedure.
void OnPadMessage(uint32_t message, uint32_t wParam, uint32_t lParam);
// Once a loop pass, before the cursor is read: the right stick moves the pointer, and what is
// held repeats.
void UpdatePad();
