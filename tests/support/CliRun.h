#pragma once
// Runs the built heliarc-cli as a program, through the shell, and keeps what it printed.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "tests/support/TestSupport.h"

namespace testsupport {

struct CliRun {
    int status = -1;  // exit status; -1 when it could not be run or did not exit
    std::string out, err;
};

struct CliOptions {
    // Shell commands before the run ("ulimit -f 4; ").
    std::string prelude;
    // Where stderr goes (relative to the working folder), read back into err; empty: /dev/null.
    std::string errFile = "cli-stderr.txt";
    bool removeErrFile = false;
    // Above 0: a run that hangs is stopped after that many seconds (status 124) instead of stalling.
    int timeoutSeconds = 0;
};

// The heliarc-cli of this build.
inline std::string CliPath() { return std::string(HELIARC_BINARY_DIR) + "/cli/heliarc-cli"; }

inline CliRun RunCli(const std::string& args, const CliOptions& options = {}) {
    std::string cmd = options.prelude;
    if (options.timeoutSeconds > 0) cmd += "timeout " + std::to_string(options.timeoutSeconds) + " ";
    cmd += CliPath() + " " + args;
    cmd += " 2>" + (options.errFile.empty() ? std::string("/dev/null") : options.errFile);
    CliRun r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    if (!options.errFile.empty()) {
        r.err = ReadFileBytes(options.errFile);
        if (options.removeErrFile) ::unlink(options.errFile.c_str());
    }
    return r;
}

}  // namespace testsupport
