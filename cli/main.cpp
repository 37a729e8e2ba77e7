// heliarc-cli: the headless front end over the same core as the program, for field loggers, batch
// work and scripts. It reads and writes the same ./ZQ118.ini and ./ZQ118_BASE.ini of its working
// folder; options given on the command line apply to this run only and are never saved.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "core/config/GeneralPrm.h"
#include "core/config/Parameter.h"
#include "core/config/SettingsCheck.h"
#include "core/platform/File.h"

namespace {

void PrintHelp(FILE* out) {
    std::fputs("usage: heliarc-cli [GLOBAL OPTIONS] COMMAND [ARGS]\n"
               "       heliarc-cli COMMAND --help     the command's options and output\n"
               "       heliarc-cli --version\n"
               "\n"
               "Works in the current folder: its ZQ118.ini and ZQ118_BASE.ini and the data folder named there.\n"
               "\n"
               "Commands:\n",
               out);
    for (const auto& c : cli::Commands()) std::fprintf(out, "  %-9s %s\n", c.name, c.summary);
    std::fputs("\n"
               "Global options (before the command; for this run only, never saved):\n"
               "  --workdir DIR   work in DIR instead of the current folder\n"
               "  --folder DIR    the data folder (DATA_STORED_FOLDER of ZQ118.ini)\n"
               "  --prefix ID     the file name prefix of the daily data files (FILE_NAME_ID, by default SPC)\n"
               "  --demo          measure with the simulated instrument, run inside this process\n"
               "  --help, -h      this text\n"
               "  --version       the version of heliarc-cli\n"
               "\n"
               "Exit status: 0 done, 1 failed (the message is on standard error), 2 wrong usage.\n",
               out);
}

const cli::CommandInfo* FindCommand(const std::string& name) {
    for (const auto& c : cli::Commands())
        if (name == c.name) return &c;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    // Past a user's file size limit (ulimit -f) a write should fail and be reported as one that
    // cannot be saved, not end the process.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    cli::Context ctx;
    std::size_t i = 0;
    std::string workdir, folder, prefix;
    bool haveFolder = false, havePrefix = false;
    for (; i < args.size(); ++i) {
        std::string a = args[i];
        // "--workdir=DIR" as well as "--workdir DIR".
        std::optional<std::string> inlineValue;
        if (const auto eq = a.find('='); a.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            inlineValue = a.substr(eq + 1);
            a.resize(eq);
            if (a != "--workdir" && a != "--folder" && a != "--prefix")
                return cli::Usage("unknown global option " + args[i] + " (heliarc-cli --help lists them)");
        }
        auto value = [&](std::string& out) {
            if (inlineValue) {
                out = *inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        if (a == "--workdir") {
            if (!value(workdir)) return cli::Usage("--workdir needs a folder");
        } else if (a == "--folder") {
            if (!value(folder)) return cli::Usage("--folder needs a folder");
            haveFolder = true;
        } else if (a == "--prefix") {
            if (!value(prefix)) return cli::Usage("--prefix needs a file name prefix");
            if (!CGeneralPrm::IsUsableFileNameId(prefix))
                return cli::Usage("--prefix must not contain / or \\ or \"..\"");
            havePrefix = true;
        } else if (a == "--demo") {
            ctx.demo = true;
        } else if (a == "--help" || a == "-h") {
            PrintHelp(stdout);
            return cli::kExitOk;
        } else if (a == "--version") {
            std::puts("heliarc-cli " HELIARC_VERSION);
            return cli::kExitOk;
        } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            return cli::Usage("unknown global option " + a + " (heliarc-cli --help lists them)");
        } else {
            break;
        }
    }
    if (i >= args.size()) {
        PrintHelp(stderr);
        return cli::kExitUsage;
    }
    const std::string command = args[i];
    const cli::CommandInfo* info = FindCommand(command);
    if (!info) return cli::Usage("unknown command " + command + " (heliarc-cli --help lists the commands)");
    std::vector<std::string> rest(args.begin() + static_cast<long>(i) + 1, args.end());
    // COMMAND --help reads nothing of the working folder, so it works anywhere; --help among other
    // options reaches the command, whose Args::Parse throws HelpRequested.
    if (rest.size() == 1 && (rest[0] == "--help" || rest[0] == "-h")) {
        std::fputs(info->help, stdout);
        return cli::kExitOk;
    }
    if (!workdir.empty() && ::chdir(workdir.c_str()) != 0)
        return cli::Fail("Cannot change to the working folder " + workdir + ": " + std::strerror(errno));
    if (haveFolder) CParameter::SetRunOverride("GENERAL", "DATA_STORED_FOLDER", folder);
    if (havePrefix) CParameter::SetRunOverride("GENERAL", "FILE_NAME_ID", prefix);
    // On defaults in place of settings it cannot read, a run would store into the working folder
    // and prune the standard data history; with an unusable file name ID it could do nothing.
    const SettingsCheck check = CheckSettings();
    if (!check.unreadable.empty()) return cli::Fail(check.unreadable);
    if (!check.fileNameId.empty()) return cli::Fail(check.fileNameId);
    {
        // Temporaries of saves and imports an earlier run was killed in the middle of.
        CGeneralPrm general;
        general.Load();
        platform::RemoveStaleTemporaries({"./ZQ118.ini", "./ZQ118_BASE.ini"}, general.m_DATA_STORED_FOLDER.Get(),
                                         general.m_FILE_NAME_ID.Get());
    }

    cli::SetCurrentCommand(info->name);
    try {
        return info->run(ctx, rest);
    } catch (const cli::HelpRequested&) {
        std::fputs(info->help, stdout);
        return cli::kExitOk;
    }
}
