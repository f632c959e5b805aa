#pragma once

namespace fotolun {

// libcurl's process-wide set-up, done once before the first handle of any thread is made.
void EnsureCurlReady();

}  // namespace fotolun
