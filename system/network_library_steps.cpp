#include "system/network_library_steps.h"

#include "system/http.h"
#include "system/network.h"

void StepSocketMessages(int flag) { ProcessSocketMessages(flag); }

void StepHttpTransfers() { StepAllHttpTransfers(); }

int StartNetWorkModule() { return ClearHttpHandleTable(); }

int EndNetWorkModule() {
    TermHttp();
    TermNetWork();
    return 0;
}
