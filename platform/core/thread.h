// Threads, thread ids, events and the critical section of the platform layer.
#pragma once
#include <cstdint>

namespace plat {

struct Thread;
using ThreadFunction = void (*)(void* argument);

// Starts a thread running fn(argument); null when it cannot be started.
Thread* StartThread(ThreadFunction fn, void* argument);
// Waits for the thread to end and releases it.
void JoinThread(Thread* thread);
// The id of the calling thread: small numbers handed out in order of first use, never 0 and
// never 0xFFFFFFFF.
uint32_t CurrentThreadId();

// Events: manual-reset (stay set until reset) or auto-reset (one waiter takes the signal).
struct Event;
constexpr uint32_t kWaitForever = 0xFFFFFFFFu;
enum class WaitResult { Signalled, TimedOut };

// Null when the event cannot be created.
Event* CreateEvent(bool manualReset, bool initiallySet);
void CloseEvent(Event* event);
void SetEvent(Event* event);
void ResetEvent(Event* event);
// Waits up to ms milliseconds (0: test only, kWaitForever: no limit).
WaitResult WaitEvent(Event* event, uint32_t ms);

// A re-entrant mutual-exclusion lock held only for short bookkeeping.
struct CriticalSection;
CriticalSection* CreateCriticalSection();
void DeleteCriticalSection(CriticalSection* section);
void EnterCriticalSection(CriticalSection* section);
void LeaveCriticalSection(CriticalSection* section);

}  // namespace plat
