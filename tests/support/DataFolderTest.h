#pragma once
// A test in a scratch working folder, on Tokyo time, whose GENERAL section stores the daily files
// in its data/ folder with the prefix SPC.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"

namespace testsupport {

class DataFolderTest : public ::testing::Test {
protected:
    TzGuard tz_{"Asia/Tokyo"};
    TempWorkDir dir_;
    void SetUp() override {
        ::mkdir("data", 0755);
        datatest::SetGeneral("data", "SPC");
    }
    // The heliarc-cli option that runs it in this folder, with a blank after it.
    std::string Workdir() const { return "--workdir " + dir_.Path() + " "; }
};

}  // namespace testsupport
