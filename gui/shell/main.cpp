// heliarc: the program. Options: --demo runs it on the simulated instrument (in-process, on a
// pseudo-terminal); --port PORT uses "usb", "COM<n>" or a device path for this run only; --version
// prints the version.
#include <QApplication>
#include <csignal>
#include <cstdio>
#include <string>

#include "gui/shell/HeliarcApp.h"

int main(int argc, char** argv) {
    // Past a user's file size limit (ulimit -f) a write should fail and be reported as one that
    // cannot be saved, not end the process.
    std::signal(SIGXFSZ, SIG_IGN);
    CHeliarcApp::Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--demo") {
            options.demo = true;
        } else if (a == "--port" && i + 1 < argc) {
            options.port = argv[++i];
        } else if (a == "--screenshot" && i + 1 < argc) {  // used by scripts/screenshot
            options.screenshot = argv[++i];
        } else if (a == "--thumbnail-screenshot" && i + 1 < argc) {  // used by scripts/screenshot
            options.thumbnailScreenshot = argv[++i];
        } else if (a == "--write-artwork" && i + 1 < argc) {  // used by scripts/screenshot
            options.artworkFolder = argv[++i];
        } else if (a == "--help" || a == "-h") {
            std::puts("usage: heliarc [--demo] [--port usb|COM<n>|PATH]\n"
                      "       heliarc --version\n"
                      "  --demo         run on the simulated instrument, inside the program\n"
                      "  --port PORT    the instrument's port for this run: usb, COM<n> or a device path");
            return 0;
        } else if (a == "--version") {
            std::puts("heliarc " HELIARC_VERSION);
            return 0;
        } else if (a.rfind("-", 0) == 0 && a.rfind("--", 0) != 0 && a.size() > 1) {
            // Qt's own options (-platform, -style, ...) are left to QApplication.
        } else if (a.rfind("--", 0) == 0) {
            std::fprintf(stderr, "heliarc: unknown option %s\n", a.c_str());
            return 2;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("heliarc"));
    QApplication::setApplicationVersion(QStringLiteral(HELIARC_VERSION));
    CHeliarcApp heliarc;
    return heliarc.Run(options);
}
