// Handing a file or folder to the desktop's own programs, where there is a
// desktop.
#pragma once

#include <string>

namespace standin {

// Whether there is a desktop: DISPLAY or WAYLAND_DISPLAY set and not empty.
bool HasDesktop();

// Starts the desktop's opener (xdg-open) on a Unix path and does not wait
// for it; false when it cannot be started.
bool OpenOnDesktop(const std::string &unixPath);

} // namespace standin
