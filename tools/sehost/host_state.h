// What every object of one simulated host shares: the answers it gives and the journal it keeps.
// Objects hold it by shared_ptr, so a reference the code under test leaks stays safe to call.
#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tools/sehost/addin_info.h"
#include "tools/sehost/host_config.h"
#include "tools/sehost/journal.h"

namespace sehost {

struct HostState {
    HostConfig config;
    CallJournal journal;
    std::vector<AddInInfoCall> addInInfo;  // every SetAddInInfo call, in order
    // The command bars that buttons were added to: (environment category, bar name).
    std::set<std::pair<std::string, std::string>> commandBars;
};

}  // namespace sehost
