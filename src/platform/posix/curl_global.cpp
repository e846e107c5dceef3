#include "platform/posix/curl_global.h"

#include <array>
#include <mutex>

namespace kestrova::posix {

namespace {

// One lock per kind of shared data. Never destroyed: a detached harvest thread
// may still be inside a transfer while the process exits.
std::array<std::mutex, CURL_LOCK_DATA_LAST>& shareLocks() {
    static auto* locks = new std::array<std::mutex, CURL_LOCK_DATA_LAST>();
    return *locks;
}

void lockShare(CURL*, curl_lock_data data, curl_lock_access, void*) {
    shareLocks()[static_cast<size_t>(data)].lock();
}

void unlockShare(CURL*, curl_lock_data data, void*) { shareLocks()[static_cast<size_t>(data)].unlock(); }

}  // namespace

void initCurlGlobal() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

CURLSH* sharedCookieStore() {
    // Never cleaned up, for the same reason as the locks.
    static CURLSH* const share = [] {
        initCurlGlobal();
        shareLocks();
        CURLSH* created = curl_share_init();
        if (created != nullptr) {
            curl_share_setopt(created, CURLSHOPT_LOCKFUNC, lockShare);
            curl_share_setopt(created, CURLSHOPT_UNLOCKFUNC, unlockShare);
            curl_share_setopt(created, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
        }
        return created;
    }();
    return share;
}

}  // namespace kestrova::posix
