#pragma once
// Walks a folder tree depth first for files matching one wildcard pattern (letter
// case ignored): a folder's matching files in enumeration order first, then its
// subfolders in enumeration order. Folders whose name begins with "." are not
// entered. Folders that cannot be read are skipped and counted; a folder reached
// again through a symbolic link is not walked a second time. Plain POSIX calls and
// byte paths, so it runs on any thread and stays close to `find`'s speed.
#include <atomic>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nimbrel::library {

class FolderWalk {
public:
    struct Counts {
        std::uint64_t foldersWalked = 0;
        std::uint64_t foldersSkipped = 0; // could not be read
        std::uint64_t foldersRevisited = 0; // reached again through a link, not walked
        std::uint64_t filesFound = 0;
    };
    using Sink = std::function<void(const std::string& path)>;
    // One walked folder's matches: the folder path (ending in "/"), the folder
    // still open (valid only during the call) and the matching names in
    // enumeration order, never empty.
    using FolderSink = std::function<void(const std::string& folder, int folderFd, std::vector<std::string>& names)>;

    // `stop` is read before every folder and every found file.
    FolderWalk(std::string pattern, const std::atomic<bool>& stop);

    // Walks below `root` (a folder path, a trailing "/" optional), handing every
    // match to `sink` as the folder path + its name. Returns false when stopped.
    bool run(const std::string& root, const Sink& sink);
    // The same walk, handing over each folder's matches at once once the folder
    // has been read, before its subfolders are entered.
    bool runByFolder(const std::string& root, const FolderSink& sink);
    const Counts& counts() const { return m_counts; }

    // "*" any run, "?" one byte, other bytes equal without regard to ASCII case.
    static bool matches(std::string_view pattern, std::string_view name);

private:
    bool stopRequested() const { return m_stop.load(std::memory_order_relaxed); }

    std::string m_pattern;
    const std::atomic<bool>& m_stop;
    Counts m_counts;
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_walked; // device, inode
};

} // namespace nimbrel::library
