#pragma once
// Shared fixtures: a scratch working folder (the sections use paths relative to it), a fixed time
// zone and a fixed clock.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "core/platform/LocalTime.h"

namespace configtest {

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz) {
        if (const char* old = getenv("TZ")) old_ = old;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (old_) setenv("TZ", old_->c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> old_;
};

class ScopedClock {
public:
    explicit ScopedClock(platform::CalTime t) {
        platform::SetClockForTesting([t] { return t * 1000 + 250; });
    }
    ~ScopedClock() { platform::SetClockForTesting({}); }
};

// Runs each test inside a fresh empty folder.
class WorkFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/heliarc_config_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        std::filesystem::current_path(old_);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    static void WriteFile(const std::string& name, const std::string& data) {
        std::ofstream out(name, std::ios::binary);
        out << data;
    }
    static std::string ReadFile(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::filesystem::path dir_;
    std::filesystem::path old_;
    ScopedTimeZone tz_{"Asia/Tokyo"};
};

inline platform::CalTime Local(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    platform::CalTime t = 0;
    EXPECT_TRUE(platform::JoinLocal(y, mo, d, h, mi, s, t));
    return t;
}

}  // namespace configtest
