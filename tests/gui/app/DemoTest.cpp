// The program itself, as a newcomer starts it: `heliarc --demo` on the simulated instrument in a
// working folder of its own, one manual measurement, the record listed (the screenshot option
// presses Start, waits for Standby and renders the dialog).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/platform/IniFile.h"
#include "core/platform/LocalTime.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(DemoTest, DemoRunLandsAMeasuredRecordInItsOwnWorkingFolder) {
    testsupport::TempWorkDir work;
    ::unsetenv("HELIARC_DRIVE_C");
    const std::string program = std::string(HELIARC_BINARY_DIR) + "/gui/shell/heliarc";
    ASSERT_TRUE(std::filesystem::exists(program)) << program;
    const std::string command = "QT_QPA_PLATFORM=offscreen '" + program + "' --demo --screenshot shot.png >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_GT(testsupport::FileSize("shot.png"), 1000);
    EXPECT_GT(testsupport::FileSize("MeasurementFinish.wav"), 44);
    EXPECT_EQ(platform::GetPrivateProfileString("MEASUREMENT", "EXPOSED_TIME", "?", "./ZQ118.ini"), "0");
    // One record in today's daily file (or yesterday's, when the run crossed midnight).
    long long bytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        if (entry.path().extension() == ".hlx") bytes += static_cast<long long>(entry.file_size());
    EXPECT_EQ(bytes, 2560);
}

// Past the user's file size limit the picture cannot be written: the program says so and exits 1
// instead of being killed by SIGXFSZ, which the shell below leaves at its default.
TEST(DemoTest, AFileSizeLimitGivesAFailedSaveNotAKill) {
    testsupport::TempWorkDir work;
    ::unsetenv("HELIARC_DRIVE_C");
    const std::string program = std::string(HELIARC_BINARY_DIR) + "/gui/shell/heliarc";
    const std::string command = "trap - XFSZ; ulimit -f 4; QT_QPA_PLATFORM=offscreen '" + program +
                                "' --screenshot shot.png >/dev/null 2>err.txt";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(testsupport::ReadFileBytes("err.txt").find("cannot write shot.png"), std::string::npos);
}

}  // namespace
