// Puts the rundll32 stand-in where Windows has rundll32.exe: the system
// folder of the current machine root.
#pragma once

namespace printui {

// Links "rundll32.exe" in the system folder to the built program
// (replacing what was there). False when it cannot be done.
bool PlaceRundll32();

} // namespace printui
