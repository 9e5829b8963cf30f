#pragma once

// Whether a system tray is there to take an icon now: a StatusNotifierItem host on the session
// bus, or (on X11) an XEmbed tray.
bool isSystemTrayAvailableNow();
