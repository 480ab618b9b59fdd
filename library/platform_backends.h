// The platform's backends, handed down by the library's top: the records of the SDL2 and the
// headless window backends, each with its input, audio output and null sink, among which the
// platform chooses by ZN_VIDEO on first use. The start-up table's first row hands them down,
// and so does the message box entry, which a program may call before start-up.
#pragma once

// Always 0.
int HandPlatformBackendsDown();
