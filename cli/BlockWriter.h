#pragma once
// Long outputs formatted on two threads and written in order: the rows are cut into blocks, each
// thread takes the next block as it is free, and this thread writes the finished blocks in turn.
// At most a few blocks wait to be written, so the memory stays small whatever the output's size.
#include <cstddef>
#include <functional>
#include <string>

namespace cli {

class BlockWriter {
public:
    // format(block, worker, out) fills out with the text of block (0 .. blocks - 1); worker is 0 or
    // 1, one for each thread, so each can keep state of its own. write(text) hands a finished block
    // on and returns false to stop. What a thread throws is thrown here, after both have ended.
    using Format = std::function<void(std::size_t block, int worker, std::string& out)>;
    using Write = std::function<bool(const std::string& text)>;
    static bool Run(std::size_t blocks, const Format& format, const Write& write);
};

}  // namespace cli
