// The steps of the module table (library_modules.cpp) that are the library's own: each starts
// or ends one module, or one part of start-up, and returns 0 or a negative failure.
#pragma once

// The window backend binds to this thread (its first user) / the window's last messages.
int BindWindowBackend();
int DrainLastMessages();
// The plain disk access set is installed, the start directory noted and the log put there /
// the start directory made current again.
int NoteStartDirectory();
int RestoreStartDirectory();
// The archive and file-handle tables cleared / every archive closed.
int ClearArchiveFileTables();
int CloseEveryArchive();
int StartTheLog();
// -1 on a 24-bit screen, which the library does not draw.
int CheckScreenDepth();
int ChooseClockCounter();
int LogSystemInfo();
int StartStreamFunctions();
int ClearGraphReloadHandler();
int EndCom();
int StartClock();
int StopClock();
int BringFullScreenWindowForward();
// Graphics with the library's drivers for it, and its output.
int StartGraphics();
int StopGraphics();
// The current music stopped and every sound with it.
int StopMusicAndSounds();
int TurnOnVSyncWait();
// The first draw targets and the first clears of both screens (startup_screen_clears.cpp).
int SetFirstDrawTargets();
int ClearBothScreens();
int DumpTrackedMemory();
