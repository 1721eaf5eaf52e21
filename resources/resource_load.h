// The start-up load sequence: textures, sounds, help text.
#pragma once

// False when start-up must end; each failure has shown its message box.
bool LoadResources();
