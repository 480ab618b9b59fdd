// Test controls of the backends' hand-down (platform/window/backend_record.h): records handed
// down afresh, with the window and input backends chosen again from them on their next use.
#pragma once
#include "platform/window/backend_record.h"

namespace plat {

// Ends the window and input backends in use and hands the records down: the next use of each
// chooses among these records as a program's first use does, on the thread of that use. Empty
// places stand for records not handed down. Call it with no window left (as after
// ResetWindowTestControls).
void HandDownBackendsAfresh(const BackendRecords& records);
// The same with the platform's own records, which the test programs start with.
void HandDownPlatformBackendsAfresh();

}  // namespace plat
