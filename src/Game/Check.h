#pragma once

#include <string>

// The checked-call and assertion helpers. Both write a location text to the log,
// "\tAt " + where + "\n\tOn " + what + "\n" followed directly by the message (when one is
// given), then throw:
//  - CheckResult: on any result other than 0, an `exception` from the result code
//    ("HRESULT: <result>\n");
//  - Assert: when the condition is false, an `exception` without a text.
// `where` is the engine's source location (".\\Game\\Engine") and `what` the call or the
// condition as the engine writes it ("dx().sprite()->End ()").

// The location text logged by both helpers.
std::string LocationText(const std::string& where, const std::string& what,
                         const std::string& message = std::string());

void CheckResult(int result, const char* where, const char* what, const char* message = nullptr);

void Assert(bool condition, const char* where, const char* what, const char* message = nullptr);

// A refusal of bad data: when the condition is false, logs the location text as Assert does
// (without a message) and throws an `exception` carrying `reason` ("0 channels"), so that
// whoever reports the error says why.
void Require(bool condition, const char* where, const char* what, const std::string& reason);
// A message, when given, follows the location text in the log as Assert's does.
void Require(bool condition, const char* where, const char* what, const char* reason,
             const char* message = nullptr);
