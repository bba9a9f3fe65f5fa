// Runs one measurement in a fresh process and parses the key=value line it prints.
#pragma once

#include <map>
#include <string>
#include <vector>

struct Measurement {
    bool ok = false;
    std::map<std::string, std::string> fields;  // "error" holds the rest of its line

    double Number(const std::string& key, double fallback = -1) const;
    std::string Error() const;
};

// Runs `argv` (argv[0] looked up in PATH) with the current environment; stderr passes through.
Measurement RunMeasurement(const std::vector<std::string>& argv);
