#pragma once
// Runs the built heliarc-cli as a program, through the shell, and keeps what it printed; or starts
// it as a child process to be waited for (or killed) by the caller.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

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

// Starts heliarc-cli with args in this working folder, its standard output on outFd and its
// standard error in errPath (both /dev/null when not given). The caller waits for the process.
inline pid_t StartCli(const std::vector<std::string>& args, int outFd = -1, const std::string& errPath = "") {
    const std::string cli = CliPath();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(cli.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        const int err = errPath.empty() ? null : ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(outFd >= 0 ? outFd : null, 1);
        ::dup2(err >= 0 ? err : null, 2);
        ::execv(cli.c_str(), argv.data());
        ::_exit(127);
    }
    return pid;
}

}  // namespace testsupport
