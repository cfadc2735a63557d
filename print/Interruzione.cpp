#include "print/Interruzione.h"

namespace vagolume {

std::atomic<int>& SegnaleRicevuto() {
    static std::atomic<int> segnale{0};
    static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");
    return segnale;
}

} // namespace vagolume
