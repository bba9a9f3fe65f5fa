// The host's scripted session: discover the registered add-ins, create and connect the one that
// connects automatically, set up a part environment, run each of its commands with a scripted
// user answering the dialogs, disconnect, release and unload it. Prints what happens at each step.
#pragma once

#include <string>

namespace sehost {

struct SessionOptions {
    std::string exportPath;      // what the user types into the save dialog
    std::string model = "part";  // the active document's model
};

// 0 when every step did what a host expects of a working add-in.
int RunSession(const SessionOptions& options);

}  // namespace sehost
