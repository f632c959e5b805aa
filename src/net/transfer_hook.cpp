#include "net/transfer_hook.h"

#include <utility>

#include "net/http_clients.h"

namespace fotolun {
namespace {

thread_local std::function<bool()> currentHook;

}  // namespace

TransferHookScope::TransferHookScope(std::function<bool()> keepGoing)
    : previous_(std::exchange(currentHook, std::move(keepGoing))) {}

TransferHookScope::~TransferHookScope() { currentHook = std::move(previous_); }

bool RunTransferHook() { return !currentHook || currentHook(); }

}  // namespace fotolun
