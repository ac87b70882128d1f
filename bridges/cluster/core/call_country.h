#pragma once
// The country of a spotted call, from the country file and the forms calls take on the air.
#include <optional>
#include <string_view>

#include "bridges/cluster/core/country_table.h"

namespace cluster {

enum class CallOutcome {
    Found,
    MaritimeMobile,      // "/MM": at sea, in no country
    AeronauticalMobile,  // "/AM": in the air, in no country
    NotFound,            // not a call, or no alias of the file matches it
};

struct CallLookup {
    CallOutcome outcome = CallOutcome::NotFound;
    std::optional<CallCountry> where;  // when Found
};

// The rules, in the order they are tried (each documented with its code in call_country.cpp):
// 1. Letters are taken in upper case; an SSID or skimmer mark ("-2", "-#", "-1-#") is dropped.
//    A call of anything but letters, digits and '/' (or with an empty part) is NotFound.
// 2. An exact "=CALL" alias for the whole call, as written, wins.
// 3. Trailing "/P", "/M", "/QRP", "/A", "/B", "/R" (rover), "/LH" (lighthouse) are dropped, and
//    an exact alias is tried again.
// 4. A trailing "/MM" or "/AM" leaves the call in no country.
// 5. "W1ABC/4": a one-digit part after the call moves it to that call area of its own country
//    (the call's last digit is replaced: UA3ABC/9 is looked up as UA9ABC, Asiatic Russia, by
//    prefix only, since an exact alias of UA9ABC is about another station). A call of the
//    United States' block (K, N, W, AA to AL) goes to that area of the mainland, whatever its
//    prefix: KP4ABC/1 and KL7ABC/6 are in the United States, not on Navassa or in Alaska.
//    After a place part ("DL/W1ABC/4") the digit is dropped and rule 6 decides.
// 6. "DL/W1ABC", "W1ABC/VP2E": of two parts, the shorter (the one after the '/' on equal
//    length, "K9HZ/VP2V") decides when a prefix alias matches it, otherwise the other part; of
//    more than two, the first two (more than six parts are no call).
// 7. Otherwise the longest prefix alias of the call decides, with one exception: the KG4 prefix
//    is Guantanamo Bay only for KG4 and two letters (or KG4 alone, as a part giving the place);
//    KG4ABC is a United States call.
CallLookup LookUpCall(const CountryTable& table, std::string_view call);

}  // namespace cluster
