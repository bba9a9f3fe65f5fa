#include "measurement.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

extern char** environ;

double Measurement::Number(const std::string& key, double fallback) const
{
    auto it = fields.find(key);
    return it == fields.end() ? fallback : std::strtod(it->second.c_str(), nullptr);
}

std::string Measurement::Error() const
{
    auto it = fields.find("error");
    return it != fields.end() ? it->second : ok ? "" : "no result";
}

namespace {

Measurement Parse(const std::string& output)
{
    Measurement m;
    // The last non-empty line is the result; anything before it is the program's own chatter.
    std::string line;
    std::istringstream lines(output);
    for (std::string l; std::getline(lines, l);)
        if (l.find("ok=") == 0)
            line = l;
    size_t at = 0;
    while (at < line.size()) {
        size_t end = line.find(' ', at);
        std::string token = line.substr(at, end == std::string::npos ? std::string::npos : end - at);
        size_t eq = token.find('=');
        if (eq != std::string::npos) {
            std::string key = token.substr(0, eq);
            if (key == "error") {
                m.fields[key] = line.substr(at + eq + 1);
                break;
            }
            m.fields[key] = token.substr(eq + 1);
        }
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    m.ok = m.fields["ok"] == "1";
    return m;
}

}  // namespace

Measurement RunMeasurement(const std::vector<std::string>& argv)
{
    Measurement failed;
    int out[2];
    if (::pipe(out) != 0) {
        failed.fields["error"] = "pipe failed";
        return failed;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid;
    int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        failed.fields["error"] = "cannot start " + argv[0];
        return failed;
    }
    std::string output;
    char buffer[4096];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, size_t(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    Measurement m = Parse(output);
    if (!m.ok && !m.fields.count("error"))
        m.fields["error"] = WIFSIGNALED(status) ? "killed by signal " + std::to_string(WTERMSIG(status))
                                                : "exit status " + std::to_string(WEXITSTATUS(status));
    return m;
}
