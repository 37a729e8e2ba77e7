#pragma once
// Every file the program creates or replaces as a whole (settings, exports, run-time logs, day files
// rewritten by an import, pictures) is written here: into a new temporary "<target>.<tag>-XXXXXX"
// beside it, created exclusively, then synced and renamed over the target, and the folder synced.
// The target is never opened, so a link planted under its name is never followed; a target that
// is a link or not a regular file is refused and left as it is. Until it is committed or abandoned
// the temporary is held under an flock, which tells a live writer's temporary from a dead one's.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

// The writers' tags, so each one's leftovers are told apart.
inline constexpr const char* kIniSaveTag = "save";
inline constexpr const char* kImportTag = "import";
inline constexpr const char* kCsvTag = "csv";
inline constexpr const char* kPictureTag = "picture";
inline constexpr const char* kSoundTag = "sound";

class AtomicReplace {
public:
    AtomicReplace() = default;
    AtomicReplace(const AtomicReplace&) = delete;
    AtomicReplace& operator=(const AtomicReplace&) = delete;
    ~AtomicReplace() { Abandon(); }

    // target is a path of this system (mapped). The new file gets the mode of the file it replaces,
    // or 0666 less the umask. False, with Error() set, when the temporary cannot be made.
    bool Begin(const std::string& target, std::string_view tag);
    bool Active() const { return fd_ >= 0; }

    bool Write(const void* data, std::size_t n);
    // Syncs the temporary and renames it over the target; false (temporary removed) on any failure.
    bool Commit();
    // Removes the temporary; the target stays as it was.
    void Abandon();

    // What failed and where, with the system's reason; empty after a success.
    const std::string& Error() const { return error_; }
    const std::string& Target() const { return target_; }
    const std::string& Temporary() const { return temp_; }

private:
    bool Fail(int messageId, const std::string& where, int err);
    bool TargetReplaceable();

    std::string target_;
    std::string temp_;
    std::string error_;
    int fd_ = -1;
    unsigned mode_ = 0;
};

// The whole content in one go: Begin, Write, Commit. error (when given) receives Error().
bool ReplaceFile(const std::string& target, std::string_view tag, std::string_view bytes, std::string* error = nullptr);

// Removes, from a folder of this system, temporaries "<base>.<tag>-XXXXXX" (six letters or digits,
// as mkstemp makes them) that are regular files no writer holds, for bases that ours() accepts.
// The number removed.
int RemoveStaleTemporaries(const std::string& folder, std::string_view tag,
                           const std::function<bool(const std::string& base)>& ours);

// The folder of a path of this system: "." for a bare name, "/" for a name in the root.
std::string FolderOf(const std::string& path);

// True when name is "<base>.<tag>-XXXXXX"; base receives the part before it.
bool IsTemporaryName(const std::string& name, std::string_view tag, std::string& base);

}  // namespace platform
