#pragma once
// A termination signal (SIGTERM, SIGINT, SIGHUP) that arrived during a run:
// set by the signal handler, read by whatever waits for long (the hand-over to
// a printer) so that it gives up at once.

#include <atomic>

namespace vagolume {

// The signal's number, 0 while none came.
std::atomic<int>& SegnaleRicevuto();

} // namespace vagolume
