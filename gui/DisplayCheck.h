#pragma once

namespace runebin::gui {

// Whether the window program can expect a display to show its window on. On X11 and Wayland
// systems that means DISPLAY or WAYLAND_DISPLAY names one, unless QT_QPA_PLATFORM chooses a
// platform explicitly (offscreen, vnc, ...), which then decides. Elsewhere there is always one.
// The arguments are the values of those three environment variables, null when unset.
bool HasDisplay(const char* qpaPlatform, const char* display, const char* waylandDisplay);

// Makes a failure of the window system's start-up end the program with one clear line on
// standard error and exit status 1, instead of the toolkit's own messages and an abort. Call
// before constructing the application object; EndStartupGuard afterwards.
void BeginStartupGuard();
void EndStartupGuard();

}  // namespace runebin::gui
