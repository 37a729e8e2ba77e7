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

std::vector<Piece> ReadAll(const std::vector<std::string>& paths, std::size_t chunk) {
    DayFileChunks chunks(paths, chunk);
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

// Every file comes back whole, in order, in chunks at their offsets; missing and
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
    EXPECT_EQ(ReadAll(paths, chunk), expected);
    EXPECT_TRUE(ReadAll({}, chunk).empty());
    EXPECT_TRUE(ReadAll({dir.Path() + "/missing"}, chunk).empty());
}

// Bytes appended to a file while it is read (a record stored during a search) are read with it.
TEST(DayFileChunksTest, AppendedWhileReadingIsRead) {
    testsupport::TempWorkDir dir;
    const std::string path = dir.Path() + "/day";
    std::ofstream(path, std::ios::binary) << Pattern(150, 'a');
    DayFileChunks chunks({path}, 100);
    DayFileChunks::Chunk c;
    ASSERT_TRUE(chunks.Next(c));
    EXPECT_EQ(c.size, 100u);
    std::ofstream(path, std::ios::binary | std::ios::app) << Pattern(80, 'q');
    std::string rest;
    while (chunks.Next(c)) rest.append(reinterpret_cast<const char*>(c.bytes), c.size);
    EXPECT_EQ(rest, Pattern(150, 'a').substr(100) + Pattern(80, 'q'));
}
