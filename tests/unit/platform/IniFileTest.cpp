#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <atomic>
#include <thread>

#include "core/platform/IniFile.h"

namespace {

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/heliarc_ini_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        path_ = (dir_ / "test.ini").string();
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    void Write(const std::string& data) {
        std::ofstream out(path_, std::ios::binary);
        out << data;
    }
    std::string Read() {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    platform::IniFile Loaded() {
        platform::IniFile ini(path_);
        EXPECT_TRUE(ini.Load());
        return ini;
    }

    std::filesystem::path dir_;
    std::string path_;
};

}  // namespace

TEST_F(IniFileTest, NamesAreCaseInsensitiveAndValuesTrimmed) {
    Write("[General]\n  Data_Stored_Folder  =   D:\\x y \t\nEMPTY=\n");
    auto ini = Loaded();
    EXPECT_EQ(ini.Get("GENERAL", "DATA_STORED_FOLDER", "def"), "D:\\x y");
    EXPECT_EQ(ini.Get("general", "empty", "def"), "");  // present but empty is not the default
    EXPECT_EQ(ini.Get("GENERAL", "MISSING", "def"), "def");
    EXPECT_EQ(ini.Get("OTHER", "DATA_STORED_FOLDER", "def"), "def");
    EXPECT_TRUE(ini.Has("gEnErAl", "data_stored_folder"));
    ini.Set("GENERAL", "DATA_STORED_FOLDER", "E:\\");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Read(), "[General]\nDATA_STORED_FOLDER=E:\\\nEMPTY=\n");
}

TEST_F(IniFileTest, ReadsAreCutTo511BytesWithoutSplittingACharacter) {
    Write("[S]\nA=" + std::string(600, 'a') + "\nB=" + std::string(510, 'b') + "\xC3\xA9" + "tail\n");
    auto ini = Loaded();
    EXPECT_EQ(ini.Get("S", "A", ""), std::string(511, 'a'));
    EXPECT_EQ(ini.Get("S", "B", ""), std::string(510, 'b'));
    EXPECT_EQ(ini.Get("S", "NONE", std::string(700, 'd')).size(), 511u);  // the default too
}

TEST_F(IniFileTest, CrLfEndingsAndAMissingFinalNewlineAreKept) {
    Write("[A]\r\nX=1\r\n\r\n[B]\r\nY=2");
    auto ini = Loaded();
    EXPECT_EQ(ini.Get("A", "X", ""), "1");
    EXPECT_EQ(ini.Get("B", "Y", ""), "2");
    ini.Set("A", "Z", "3");
    ini.Set("B", "Y", "4");
    ini.Set("C", "W", "5");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Read(), "[A]\r\nX=1\r\nZ=3\r\n\r\n[B]\r\nY=4\r\n[C]\r\nW=5");
}

TEST_F(IniFileTest, OtherLinesSurviveAndDuplicatesResolveToTheFirst) {
    const std::string before = "; comment = not a key\n[S]\nK=first\nk=second\n# other\n[T]\nK=t\n";
    Write(before);
    auto ini = Loaded();
    EXPECT_EQ(ini.Get("S", "K", ""), "first");
    EXPECT_EQ(ini.Get("S", "; comment", "none"), "none");
    ini.Set("S", "K", "new");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Read(), "; comment = not a key\n[S]\nK=new\nk=second\n# other\n[T]\nK=t\n");
}

TEST_F(IniFileTest, MissingFileReadsEmptyAndSaveCreatesIt) {
    auto ini = Loaded();
    EXPECT_EQ(ini.Get("S", "K", "d"), "d");
    ini.Set("S", "K", "v");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Read(), "[S]\nK=v\n");
    EXPECT_EQ(platform::GetPrivateProfileString("s", "k", "d", path_), "v");
    EXPECT_TRUE(platform::WritePrivateProfileString("S", "L", "w", path_));
    EXPECT_EQ(Read(), "[S]\nK=v\nL=w\n");
}

// As a Windows editor saves it; the mark once hid the first section.
TEST_F(IniFileTest, AByteOrderMarkIsSkippedAndKept) {
    Write("\xEF\xBB\xBF[GENERAL]\r\nFILE_NAME_ID=ZQ\r\n");
    auto ini = Loaded();
    EXPECT_EQ(ini.Get("GENERAL", "FILE_NAME_ID", "SPC"), "ZQ");
    ini.Set("GENERAL", "FILE_NAME_ID", "AB");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Read(), "\xEF\xBB\xBF[GENERAL]\r\nFILE_NAME_ID=AB\r\n");
}

// A file that is there but cannot be read is no first start: it reads as an error, never as empty,
// and is not written over.
TEST_F(IniFileTest, AFileThatCannotBeReadIsAnError) {
    ASSERT_EQ(::mkdir(path_.c_str(), 0755), 0);
    platform::IniFile ini(path_);
    EXPECT_FALSE(ini.Load());
    EXPECT_EQ(ini.Error(), EISDIR);
    EXPECT_EQ(ini.ErrorText(), "Is a directory");
    EXPECT_FALSE(platform::WritePrivateProfileString("S", "K", "v", path_));
    ASSERT_EQ(::rmdir(path_.c_str()), 0);
    ASSERT_EQ(::mkfifo(path_.c_str(), 0644), 0);  // refused at once, not waited on
    EXPECT_FALSE(ini.Load());
    EXPECT_NE(ini.Error(), 0);
}

TEST_F(IniFileTest, SaveIsAtomicAndLeavesNoTemporaryFile) {
    Write("[S]\nK=old\n");
    ::chmod(path_.c_str(), 0600);
    auto ini = Loaded();
    ini.Set("S", "K", "new");
    ASSERT_TRUE(ini.Save());
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"test.ini"});
    struct stat st {};
    ASSERT_EQ(::stat(path_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);  // permissions of the replaced file are kept

    platform::IniFile nowhere((dir_ / "no" / "such" / "x.ini").string());
    EXPECT_TRUE(nowhere.Load());
    nowhere.Set("S", "K", "v");
    EXPECT_FALSE(nowhere.Save());
    EXPECT_FALSE(std::filesystem::exists(dir_ / "no"));
}

TEST_F(IniFileTest, LineBreaksInValuesCannotInjectKeys) {
    auto ini = Loaded();
    ini.Set("S", "K", "a\n[T]\nX=1");
    ASSERT_TRUE(ini.Save());
    auto back = Loaded();
    EXPECT_EQ(back.Get("S", "K", ""), "a [T] X=1");
    EXPECT_FALSE(back.Has("T", "X"));
}

// Found by fuzzing: a lone CR inside a value read back as a CR, but saving the value wrote a
// blank, so merely saving a section changed what it held.
TEST_F(IniFileTest, ALoneCrInsideAValueReadsAsTheBlankASaveWrites) {
    Write("[GENERAL]\r\nDATA_STORED_FOLDER=C:\\da\rta\\\r\nFILE_NAME_ID=ZQ\r\n");
    auto ini = Loaded();
    const std::string folder = ini.Get("GENERAL", "DATA_STORED_FOLDER", "");
    EXPECT_EQ(folder, "C:\\da ta\\");
    ini.Set("GENERAL", "DATA_STORED_FOLDER", folder);
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Loaded().Get("GENERAL", "DATA_STORED_FOLDER", ""), folder);
    EXPECT_EQ(Loaded().Get("GENERAL", "FILE_NAME_ID", ""), "ZQ");
}

TEST_F(IniFileTest, BinaryGarbageAndOddLinesLoad) {
    std::string data = "[S]\nK=a";
    data += '\0';
    data += "b\n\xFF\xFE\x01\n[\n]\n=v\n[S2\nK2=x\n[]\nK3=y\n";
    data += std::string(200000, 'z');
    Write(data);
    auto ini = Loaded();
    EXPECT_EQ(ini.Get("S", "K", "").size(), 3u);
    EXPECT_EQ(ini.Get("S", "K2", "none"), "x");  // "[S2" without its bracket opens nothing
    EXPECT_EQ(ini.Get("", "K3", "none"), "y");   // but "[]" opens a section without a name
    ini.Set("S", "NEW", "1");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(Read().size(), data.size() + 6);
}

TEST_F(IniFileTest, ConcurrentSavesAllLandWhole) {
    const std::string a = "[S]\nK=" + std::string(20000, 'a') + "\n";
    const std::string b = "[S]\nK=" + std::string(20000, 'b') + "\n";
    std::atomic<bool> done{false};
    std::atomic<int> bad{0};
    std::atomic<int> failedSaves{0};
    auto writer = [&](char fill) {
        for (int i = 0; i < 150; ++i) {
            platform::IniFile ini(path_);
            ini.Set("S", "K", std::string(20000, fill));
            if (!ini.Save()) ++failedSaves;
        }
    };
    std::thread reader([&] {
        while (!done) {
            std::string now = Read();
            if (!now.empty() && now != a && now != b) ++bad;
        }
    });
    std::thread w1(writer, 'a'), w2(writer, 'b');
    w1.join();
    w2.join();
    done = true;
    reader.join();
    EXPECT_EQ(bad.load(), 0);
    EXPECT_EQ(failedSaves.load(), 0);
    std::size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) files += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1u);
}
