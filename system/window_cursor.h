// The mouse cursor's visibility over the library window.
#pragma once

// wanted 1 shows the cursor, 0 hides it (the window has no menu that would keep it shown in
// full screen). Applied only when it differs from the state last applied: the cursor's
// display count is moved across 0 and WM_SETCURSOR is posted to the window. 0.
int SetMouseCursorVisibility(int wanted);
