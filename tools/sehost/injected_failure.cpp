#include "tools/sehost/injected_failure.h"

namespace sehost {

bool FindInjectedFailure(const HostConfig& config, const std::string& object, const std::string& operation, long id,
                         HRESULT& failure)
{
    const auto& failures = config.failures;
    if (failures.empty())
        return false;
    const std::string keys[] = {operation, object + "." + operation, object + "#" + std::to_string(id)};
    for (const std::string& key : keys) {
        auto found = failures.find(key);
        if (found != failures.end()) {
            failure = found->second;
            return true;
        }
    }
    return false;
}

}  // namespace sehost
