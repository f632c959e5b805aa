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

namespace {

const char* familyTitle(ServiceFamily family) {
  return family == ServiceFamily::current ? "https接口" : "旧接口";
}

void settleOn(Program& program, ServiceFamily family) {
  program.family = family;
  if (family == ServiceFamily::current) program.currentFamilyAnswered = true;
  if (program.familyAnswered && program.rememberedFamily != family) {
    program.rememberedFamily = family;
    program.familyAnswered(family);
  }
}

}  // namespace

ListOutcome listOnFamily(Context& context, const FamilyAttempt& attempt) {
  Program& program = context.program;
  if (program.familyChoice != FamilyChoice::automatic || program.currentFamilyAnswered)
    return attempt(program.family, nullptr);

  const ServiceFamily first = program.family;
  const ServiceFamily other =
      first == ServiceFamily::current ? ServiceFamily::classic : ServiceFamily::current;
  if (first == ServiceFamily::current)
    context.form.appendLog(Utf8ToGbk("上次是https接口给出的相册列表，这次先用https接口\r\n"));
  Text firstReason;
  const ListOutcome firstOutcome = attempt(first, &firstReason);
  if (firstReason.empty()) {
    settleOn(program, first);
    return firstOutcome;
  }
  // A session the older endpoints call gone is checked with one plain request before the list is
  // asked again: when the https endpoints do not know it either, the user hears it at once.
  if (first == ServiceFamily::classic && firstOutcome == ListOutcome::notSignedIn &&
      !currentSessionAnswers(context))
    return endUnlisted(context, ListOutcome::notSignedIn, firstReason, nullptr);
  context.form.appendLog(Utf8ToGbk(familyTitle(first)) + Utf8ToGbk("没有给出相册列表（") + firstReason +
                         Utf8ToGbk("），改用") + Utf8ToGbk(familyTitle(other)) + Utf8ToGbk("再试\r\n"));
  Text otherReason;
  const ListOutcome otherOutcome = attempt(other, &otherReason);
  if (otherReason.empty()) {
    settleOn(program, other);
    context.form.appendLog(Utf8ToGbk(familyTitle(other)) + Utf8ToGbk("给出了相册列表，本次运行之后都用") +
                           Utf8ToGbk(familyTitle(other)) + "\r\n");
    return otherOutcome;
  }
  if (firstOutcome == ListOutcome::notSignedIn || otherOutcome == ListOutcome::notSignedIn)
    return endUnlisted(context, ListOutcome::notSignedIn, otherReason, nullptr);
  const Text& classicReason = first == ServiceFamily::classic ? firstReason : otherReason;
  const Text& currentReason = first == ServiceFamily::classic ? otherReason : firstReason;
  return endUnlisted(context, ListOutcome::failed,
                     Utf8ToGbk("旧接口：") + classicReason + Utf8ToGbk("；https接口：") + currentReason,
                     nullptr);
}

}  // namespace fotolun
