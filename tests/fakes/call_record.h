#pragma once
// The record every fake keeps: its own calls as lines of text and, when a
// test hands it one, a log shared with other fakes, so that the order of
// calls across several controls can be checked.

#include <string>
#include <utility>
#include <vector>

namespace emberlrn {

using CallLog = std::vector<std::string>;

struct CallRecord {
  CallLog calls;
  CallLog* sharedLog = nullptr;

  void Record(std::string call) {
    if (sharedLog) sharedLog->push_back(call);
    calls.push_back(std::move(call));
  }
};

}  // namespace emberlrn
