// The options screen's keys, mouse and pad. Up and down choose a line, left and right change its
// value (or, on an action's line, choose its first key, second key or pad button), Enter waits for
// the key or button to bind there and Delete or Backspace clears it; Esc cancels the wait, or goes
// back. The mouse's height chooses the line, its left button is Enter and its wheel left and
// right. Every change is in force at once and saved to the preferences file at once.
#pragma once

#include <cstdint>

#include "flow/key_bindings.h"

// F10 and a pad's Start held: the options over the menu or play; nothing on other screens.
void OpenOptions();
void EnterOptions();
void OnOptionsKey(uint32_t key);
void UpdateOptionsMouse();
// While the options wait for a pad button or a mouse button to bind, they take it: true then.
bool CapturePadInput(uint8_t padInput);
bool CaptureMouseButton(MouseButton button);
// Puts the volumes of the preferences in force, once the sounds are loaded.
void ApplySoundPreferences();
