#include "net/process_cookie_store.h"

#include <curl/curl.h>

#include <array>
#include <mutex>

#include "net/curl_global.h"

namespace fotolun {
namespace {

std::array<std::mutex, CURL_LOCK_DATA_LAST> shareLocks;

void LockShare(CURL*, curl_lock_data data, curl_lock_access, void*) { shareLocks[data].lock(); }
void UnlockShare(CURL*, curl_lock_data data, void*) { shareLocks[data].unlock(); }

}  // namespace

void* ProcessCookieShare() {
  // Never cleaned up: thread handles may still be attached to it while the process ends.
  static CURLSH* const share = [] {
    EnsureCurlReady();
    CURLSH* made = curl_share_init();
    if (made) {
      curl_share_setopt(made, CURLSHOPT_LOCKFUNC, &LockShare);
      curl_share_setopt(made, CURLSHOPT_UNLOCKFUNC, &UnlockShare);
      curl_share_setopt(made, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    }
    return made;
  }();
  return share;
}

void ResetProcessCookieStore() {
  CURLSH* share = ProcessCookieShare();
  if (!share) return;
  CURL* handle = curl_easy_init();
  if (!handle) return;
  curl_easy_setopt(handle, CURLOPT_SHARE, share);
  curl_easy_setopt(handle, CURLOPT_COOKIELIST, "ALL");
  curl_easy_cleanup(handle);
}

}  // namespace fotolun
