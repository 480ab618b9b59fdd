// The second-instance check. A running top-level window of a class name is modelled by an
// advisory lock (flock) on a file in the runtime directory ($XDG_RUNTIME_DIR, else /tmp)
// named from the class name's bytes in hex. This process takes the lock at the check (or when
// it creates a window of the class) and keeps it until its last window of that class is
// destroyed; the kernel releases it when the process dies.
#pragma once

namespace plat {

// True when a window of this class name is running: a live window of the class in this
// process, or another process holding the class name's lock. Otherwise this process takes the
// lock (when it can) and the answer is false.
bool FindRunningWindow(const char* className);

// Used by the window core: a window of the class was created / destroyed.
void AcquireInstanceLockForWindow(const char* className);
void ReleaseInstanceLockForWindow(const char* className);

// Releases every lock this process holds and forgets the directory override (tests).
void ResetInstanceLocks();
// Directory of the lock files instead of $XDG_RUNTIME_DIR or /tmp (null: back to those).
void SetInstanceLockDirectory(const char* directory);
// Takes the lock through a second open file description of this process, as another
// instance would; false when it is held. ReleaseSecondInstanceLock gives it back.
bool TakeSecondInstanceLock(const char* className);
void ReleaseSecondInstanceLock(const char* className);

}  // namespace plat
