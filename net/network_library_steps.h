// The network's steps in the library's life: the pump's services (socket messages, HTTP
// transfers) and the start and end of the module.
#pragma once

// The pump's socket step: ProcessSocketMessages(flag).
void StepSocketMessages(int flag);
// The pump's HTTP step: StepAllHttpTransfers.
void StepHttpTransfers();
// Start-up: the HTTP handle table is cleared. 0.
int StartNetWorkModule();
// Shut-down: HTTP transfers end, then networking. 0.
int EndNetWorkModule();
