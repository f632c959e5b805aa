#include "albums/family_switch.h"

#include "service/current_endpoints.h"
#include "text/encoding.h"

namespace fotolun {

ListOutcome endUnlisted(Context& context, ListOutcome outcome, const Text& reason, Text* unreported) {
  if (unreported != nullptr) {
    *unreported = reason.empty() ? Utf8ToGbk("未登录或者登录超时") : reason;
    return outcome;
  }
  if (outcome == ListOutcome::notSignedIn) {
    askToSignInAgain(context);
  } else {
    reportListFailure(context, reason);
  }
  return outcome;
}

ListOutcome listOnFamily(Context& context, const FamilyAttempt& attempt) {
  Program& program = context.program;
  if (program.familyChoice != FamilyChoice::automatic || program.family == ServiceFamily::current)
    return attempt(program.family, nullptr);

  Text classicReason;
  const ListOutcome classic = attempt(ServiceFamily::classic, &classicReason);
  if (classicReason.empty()) return classic;
  // A session the older endpoints call gone is checked with one plain request before the list is
  // asked again: when the https endpoints do not know it either, the user hears it at once.
  if (classic == ListOutcome::notSignedIn && !currentSessionAnswers(context))
    return endUnlisted(context, ListOutcome::notSignedIn, classicReason, nullptr);
  context.form.appendLog(Utf8ToGbk("旧接口没有给出相册列表（") + classicReason +
                         Utf8ToGbk("），改用https接口再试\r\n"));
  Text currentReason;
  const ListOutcome current = attempt(ServiceFamily::current, &currentReason);
  if (currentReason.empty()) {
    program.family = ServiceFamily::current;
    context.form.appendLog(Utf8ToGbk("https接口给出了相册列表，本次运行之后都用https接口\r\n"));
    return current;
  }
  if (classic == ListOutcome::notSignedIn || current == ListOutcome::notSignedIn)
    return endUnlisted(context, ListOutcome::notSignedIn, currentReason, nullptr);
  return endUnlisted(context, ListOutcome::failed,
                     Utf8ToGbk("旧接口：") + classicReason + Utf8ToGbk("；https接口：") + currentReason,
                     nullptr);
}

}  // namespace fotolun
