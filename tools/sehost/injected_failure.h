// The failure a test configured for one call (HostConfig::failures).
#pragma once

#include <windows.h>

#include <string>

#include "tools/sehost/host_config.h"

namespace sehost {

// Looks the call up as "operation", "Object.operation" and "Object#id" (a dispatch identifier or
// a function-table slot); true and the HRESULT when one is configured.
bool FindInjectedFailure(const HostConfig& config, const std::string& object, const std::string& operation, long id,
                         HRESULT& failure);

}  // namespace sehost
