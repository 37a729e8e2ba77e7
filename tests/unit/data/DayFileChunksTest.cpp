#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "core/data/DayFileChunks.h"
#include "tests/support/TestSupport.h"

namespace {

struct Piece {
    std::size_t file;
    int64_t offset;
    std::string bytes;
    bool operator==(const Piece&) const = default;
};

std::vector<Piece> ReadAll(const std::vector<std::string>& paths, std::size_t chunk, bool ahead) {
    DayFileChunks chunks(paths, chunk, ahead);
    std::vector<Piece> out;
    DayFileChunks::Chunk c;
    while (chunks.Next(c)) {
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(c.bytes) % alignof(float), 0u);
        out.push_back({c.file, c.offset, std::string(reinterpret_cast<const char*>(c.bytes), c.size)});
    }
    return out;
}

std::string Pattern(std::size_t n, char seed) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(seed + static_cast<char>(i % 7));
    return s;
}

}  // namespace

// Read ahead or not, every file comes back whole, in order, in chunks at their offsets; missing and
// empty files give nothing and do not stop the ones after them.
TEST(DayFileChunksTest, EveryFileInOrderWithItsOffsets) {
    testsupport::TempWorkDir dir;
    const std::size_t chunk = 64;
    const std::vector<std::size_t> sizes = {10, 64, 0, 200, 128, 1, 65};
    std::vector<std::string> paths, contents;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        paths.push_back(dir.Path() + "/day" + std::to_string(i));
        contents.push_back(Pattern(sizes[i], static_cast<char>('a' + i)));
        std::ofstream(paths.back(), std::ios::binary) << contents.back();
    }
    paths.insert(paths.begin() + 3, dir.Path() + "/missing");
    contents.insert(contents.begin() + 3, "");

    std::vector<Piece> expected;
    for (std::size_t f = 0; f < paths.size(); ++f)
        for (std::size_t at = 0; at < contents[f].size(); at += chunk)
            expected.push_back({f, static_cast<int64_t>(at), contents[f].substr(at, chunk)});
    EXPECT_EQ(ReadAll(paths, chunk, false), expected);
    for (int round = 0; round < 20; ++round) EXPECT_EQ(ReadAll(paths, chunk, true), expected);
    EXPECT_TRUE(ReadAll({}, chunk, true).empty());
    EXPECT_TRUE(ReadAll({dir.Path() + "/missing"}, chunk, true).empty());
}

// A caller that stops early (a search given up) must not hang on a reader still filling slots.
TEST(DayFileChunksTest, StoppingEarlyEndsTheReader) {
    testsupport::TempWorkDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 50; ++i) {
        paths.push_back(dir.Path() + "/f" + std::to_string(i));
        std::ofstream(paths.back(), std::ios::binary) << Pattern(1000, 'x');
    }
    for (int taken = 0; taken < 12; ++taken) {
        DayFileChunks chunks(paths, 100, true);
        DayFileChunks::Chunk c;
        for (int i = 0; i < taken; ++i) {
            ASSERT_TRUE(chunks.Next(c));
            EXPECT_EQ(c.file, static_cast<std::size_t>(i / 10));
            EXPECT_EQ(c.offset, (i % 10) * 100);
        }
    }
}
