// Start-up and shut-down of the whole library, in their fixed orders. Both run under the
// library lock (ApiInitLibrary, ApiTermLibrary).
#pragma once

// 0 on success; -1 on failure, after ending whatever had been started.
int InitLibrary();
// Ends everything that was started; always 0.
int TermLibrary();

// Starts COM: 0 when it was started here, -1 when it was already started or failed.
int InitCom();
