#include "net/network_library_steps.h"

#include "net/http.h"
#include "net/network.h"

void StepSocketMessages(int flag) { ProcessSocketMessages(flag); }

void StepHttpTransfers() { StepAllHttpTransfers(); }

int StartNetWorkModule() { return ClearHttpHandleTable(); }

int EndNetWorkModule() {
    TermHttp();
    TermNetWork();
    return 0;
}
