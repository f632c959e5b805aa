#pragma once
// Album lists on either endpoint family, and the automatic move from the older family to the
// https one when the older one gives no list.
#include <functional>

#include "albums/list_outcome.h"
#include "program/program.h"

namespace fotolun {

// One attempt at a list on a family. An attempt that ends signed out or without a usable answer
// before it shows anything tells the user itself, unless unreported is given: then it leaves the
// reason there (never empty) and tells nothing, so that the other family can be asked first.
using FamilyAttempt = std::function<ListOutcome(ServiceFamily family, Text* unreported)>;

// Runs the attempt on the family in use. Under the automatic choice, while the older family is in
// use, an attempt it cannot answer (or answers "signed out", which the older endpoints may say of a
// session the newer ones accept) is made again on the https family, which then serves the rest
// of the session if it answers. Both failing: signed out if either said so, else both reasons.
ListOutcome listOnFamily(Context& context, const FamilyAttempt& attempt);

// For an attempt: a list that ended signed out or failed, told to the user (askToSignInAgain,
// reportListFailure), or left in unreported when that is given.
ListOutcome endUnlisted(Context& context, ListOutcome outcome, const Text& reason, Text* unreported);

}  // namespace fotolun
