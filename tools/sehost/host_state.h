// What every object of one simulated host shares: the answers it gives and the journal it keeps.
// Objects hold it by shared_ptr, so a reference the code under test leaks stays safe to call.
#pragma once

#include "tools/sehost/host_config.h"
#include "tools/sehost/journal.h"

namespace sehost {

struct HostState {
    HostConfig config;
    CallJournal journal;
};

}  // namespace sehost
