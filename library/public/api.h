// The library's public entries: the only header the game includes.
//
// Each entry takes the library-wide lock, calls the library routine it is named after (without
// the "Api" prefix) with the same arguments in the same order, releases the lock and returns
// that routine's result unchanged. A few entries that touch no library state, or that take the
// lock themselves, are plain forwarders; they say so below. An entry may be called before
// ApiInitLibrary (the window mode and the title are set that way); the first call of any
// locked entry creates the lock.
#pragma once

// The millisecond clock (milliseconds since the process started). The argument is ignored.
int ApiGetMillisecondCount(int unused);

// --- Draw state and graph sizes ---------------------------------------------------------------

// A rectangle of pixels (left, top, right, bottom; right and bottom exclusive), as the library
// defines it.
struct RECT;

// Blend mode 0 none, 1 alpha, 2 add, 3 subtract, 4 multiply; the parameter is clamped to 0..255.
int ApiSetBlendMode(int mode, int param);
// Draw brightness per channel, each clamped to 0..255; 255, 255, 255 draws unchanged.
int ApiSetBrightnessRGB(int r, int g, int b);
// Draw target: -2 the back screen, -4 the front screen, or a graph handle.
int ApiSetDrawTarget(int target);
// Transparent colour of graphs created from now on.
int ApiSetColorKeyRGB(unsigned char r, unsigned char g, unsigned char b);
// Size of a graph, or of the screen for -2 and -4; either pointer may be null.
int ApiQueryGraphSize(int graph, int* width, int* height);
// Clips rect to clip in place (no lock: it touches no library state).
int ApiClipRectToDrawArea(RECT* rect, const RECT* clip);

// --- Library start-up, shut-down and the message pump -------------------------------------

// Starts the library: 0, or -1 after ending whatever had been started.
int ApiInitLibrary();
// Ends the library (always 0); the lock itself is destroyed afterwards, so a later entry
// call creates a fresh one.
int ApiTermLibrary();
// Pumps the window's messages and runs the library's services: 0, or -1 once the library is
// to end. While the window is inactive the call returns only when it is active again.
int ApiProcessMessage();
// Waits for a key, pad or mouse button to be pressed (one held at entry must be let go first)
// and returns its input code, or 0 once the library is to end. Takes no lock itself: it calls
// the locked entries.
int ApiWaitForInputPress();

// --- Window mode and title (set before ApiInitLibrary for the window start-up creates) ----

// 1 windowed, 0 full screen. Before start-up only the setting changes: 0. After start-up the
// live window switches: its style, size and place follow the new mode, the screen mode is set
// again (full screen: the screen's own mode, shown over the whole desktop with its aspect
// kept; windowed: the desktop's mode, the window centred again at its scaled size) and the
// display change is waited for. 0, -1 when no screen could be made, -2 when the screen fell
// back to 640 x 480 x 16; 0 at once when the mode is already so.
int ApiChangeWindowMode(int windowed);
// The window's title (Shift-JIS; at most 255 bytes are kept, never half a double-byte
// character). Before start-up it is stored for the window start-up creates (an empty title
// becomes "ZnLib" there); afterwards the live window's text changes too. 0.
int ApiSetWindowTitle(const char* text);

// --- Input devices ------------------------------------------------------------------------------

// mask 1: the device key code of the first key held (Caps Lock, Kana and Kanji do not count),
// or -1 when a pad is pressed; mask 4: -1 while a mouse button is down. 0 for no input.
int ApiCheckAnyInput(int mask);
// buffer: 256 bytes; buffer[code] = 1 while the key with that device key code is down (1
// Escape, 0x19 P, 0x2C Z, 0xC8 Up...), else 0. 0; -1 for a null buffer.
int ApiReadKeyStates(char* buffer);
// Pad number 1..8 (0 none), plus 0x1000 to merge the keyboard: down 1, left 2, right 4, up 8,
// pad button k 16 << k; keys Down/numpad 2 1, Left/numpad 4 2, Right/numpad 6 4, Up/numpad 8
// 8, Z 0x10, X 0x20, C 0x40, A 0x80, S 0x100, D 0x200, Q 0x400, W 0x800, Escape 0x1000,
// Space 0x2000.
int ApiReadPadInputBits(int inputType);

// --- Screen, colours and colour formats ------------------------------------------------------

// The library's pixel-format record (the display back end's description of a pixel: size,
// flags, bit count and the four channel masks) and its colour-format record (bits, bytes,
// width, shift and mask of each channel, a 256-entry palette).
struct SurfacePixelFormat;
struct PaletteColorFormat;

// The screen's pixel format (null before the screen is up).
const SurfacePixelFormat* ApiGetScreenPixelFormat();
// The screen's pixel value of a colour, each channel 0..255.
unsigned int ApiMakeScreenColor(int r, int g, int b);
// Fills record from bits per pixel and the four channel masks (a zero mask: no such
// channel). 0. No lock: it touches no library state.
int ApiBuildColorFormat(PaletteColorFormat* record, int bits, unsigned int redMask,
                        unsigned int greenMask, unsigned int blueMask, unsigned int alphaMask);
// Fills a pixel-format record as an RGB format with that bit count and those masks. 0. No
// lock: it touches no library state.
int ApiBuildColorFormatRaw(SurfacePixelFormat* record, int bits, unsigned int redMask,
                           unsigned int greenMask, unsigned int blueMask, unsigned int alphaMask);
// Shows the back screen (a flip in full screen, a copy to the window otherwise).
int ApiPresentScreen();
// Saves the rectangle (x1, y1)-(x2, y2) of the draw target, clipped to the draw area, to a file
// (Shift-JIS path, replaced when it exists): type 0 BMP, 1 JPEG (with quality and flag), 2 PNG
// (with level). 0 when the file was written; -1 with a log line otherwise.
int ApiSaveScreenToImageFile(int x1, int y1, int x2, int y2, const char* file, int type,
                             int quality, int flag, int level);

// --- Drawing -------------------------------------------------------------------------------------

// Clears the draw target.
int ApiClearDrawTarget();
// Draws the graph with its top-left corner at (x, y); transFlag 1 leaves out the colour key.
int ApiDrawGraphAt(int x, int y, int graph, int transFlag);
// Draws the graph scaled and rotated (radians) about its centre, which goes to (x, y);
// turnFlag 1 mirrors it left to right.
int ApiDrawGraphRotatedInt(int x, int y, double scale, double angle, int graph, int transFlag,
                           int turnFlag);
// Draws text (Shift-JIS) with the default font; colours are screen colour values.
int ApiDrawTextDefaultFont(int x, int y, const char* text, unsigned int color,
                           unsigned int edgeColor);
// The default font's type (-1 reads as 0).
int ApiSetDefaultFontType(int fontType);

// --- Sound -------------------------------------------------------------------------------------

// A sound handle for the file, played through bufferCount buffers in turn (so that many copies
// can overlap); unionHandle -1 makes a new handle. The handle, or -1.
int ApiLoadSoundFromFile(const char* file, int bufferCount, int unionHandle);
// Play type 0 waits for the end, 1 plays in the background, 3 loops; topPositionFlag 1 starts
// from the beginning.
int ApiPlaySoundHandle(int handle, int playType, int topPositionFlag);
int ApiStopSoundHandle(int handle);
// Volume 0..255.
int ApiSetSoundHandleVolume(int volume, int handle);

// --- Message box and the local date and time ----------------------------------------------

// The buttons of ApiShowMessageBox and its answers.
enum ApiMessageBoxButtons { ApiButtonsOk = 0, ApiButtonsOkCancel = 1, ApiButtonsYesNoCancel = 3,
                            ApiButtonsYesNo = 4 };
enum ApiMessageBoxAnswer { ApiAnswerOk = 1, ApiAnswerCancel = 2, ApiAnswerYes = 6,
                           ApiAnswerNo = 7 };
// Shows a message box without an owner window (text and caption in Shift-JIS) and returns the
// answer. Without a display the answer comes from ZN_ANSWER=yes|no|cancel|ok. Takes no lock:
// the box waits for a person and touches no library state.
int ApiShowMessageBox(const char* text, const char* caption, int buttons);

// A local date and time.
struct ApiDateTime {
    int year;
    int month;  // 1..12
    int day;
    int hour;
    int minute;
    int second;
    int millisecond;
};
// The local date and time (ZN_NOW fixes where it starts; it then advances with the clock).
// 0; -1 for a null pointer. Takes no lock: it touches no library state.
int ApiGetLocalDateTime(ApiDateTime* out);

// --- Loading graphs from files ------------------------------------------------------------------

// A graph of the image file at path (with the alpha of a "_a" file beside it); flag 1 keeps it
// off Direct3D. The handle, or -1.
int ApiLoadGraphFromPath(const char* path, int flag);
// The image file divided into total tiles of width × height, x count per row and y count
// rows, into handles[0 .. total - 1]. 0, or -1 with every handle -1.
int ApiLoadDivGraphFromPath(const char* path, int total, int xCount, int yCount, int width,
                            int height, int* handles, int flag);
