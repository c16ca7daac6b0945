// Starting Wings on the chosen show (the application's StartWings).
#pragma once

struct HWND__;

// Runs wings.exe on g_csRecentFile and waits until it ends, with owner
// disabled but painting meanwhile. False when Wings was not found or
// could not be started; the user has then been told why.
bool LaunchWings(HWND__* owner);
