#include "library/FolderWalk.h"

#include <cctype>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace nimbrel::library {

namespace {

bool isFolderEntry(int folderFd, const dirent& entry) {
    if (entry.d_type == DT_DIR)
        return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return false;
    // A link to a folder counts as a folder; a dangling link as nothing.
    struct stat st {};
    if (::fstatat(folderFd, entry.d_name, &st, 0) != 0)
        return false;
    return S_ISDIR(st.st_mode);
}

} // namespace

FolderWalk::FolderWalk(std::string pattern, const std::atomic<bool>& stop)
    : m_pattern(std::move(pattern)), m_stop(stop) {}

bool FolderWalk::matches(std::string_view pattern, std::string_view name) {
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    const auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool FolderWalk::run(const std::string& root, const Sink& sink) {
    return runByFolder(root, [this, &sink](const std::string& folder, int, std::vector<std::string>& names) {
        std::string path;
        for (const std::string& name : names) {
            // A stop asked for by the sink itself ends the walk at the next file.
            if (stopRequested())
                return;
            path.assign(folder).append(name);
            sink(path);
        }
    });
}

bool FolderWalk::runByFolder(const std::string& root, const FolderSink& sink) {
    std::string start = root;
    if (start.empty() || start.back() != '/')
        start.push_back('/');
    // Pending folders, the next to walk on top; subfolders go on in reverse so
    // they come off in enumeration order.
    std::vector<std::string> pending{start};
    std::vector<std::string> subfolders;
    std::vector<std::string> names;
    while (!pending.empty()) {
        if (stopRequested())
            return false;
        const std::string folder = std::move(pending.back());
        pending.pop_back();

        DIR* dir = ::opendir(folder.c_str());
        if (!dir) {
            ++m_counts.foldersSkipped;
            continue;
        }
        const int fd = ::dirfd(dir);
        struct stat self {};
        if (::fstat(fd, &self) == 0 &&
            !m_walked.emplace(static_cast<std::uint64_t>(self.st_dev), static_cast<std::uint64_t>(self.st_ino)).second) {
            ++m_counts.foldersRevisited;
            ::closedir(dir);
            continue;
        }
        ++m_counts.foldersWalked;

        subfolders.clear();
        names.clear();
        bool stopped = false;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name(entry->d_name);
            if (isFolderEntry(fd, *entry)) {
                if (name.front() != '.')
                    subfolders.emplace_back(name);
                continue;
            }
            if (!matches(m_pattern, name))
                continue;
            if (stopRequested()) {
                stopped = true;
                break;
            }
            ++m_counts.filesFound;
            names.emplace_back(name);
        }
        if (!names.empty())
            sink(folder, fd, names);
        ::closedir(dir);
        if (stopped)
            return false;
        for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it)
            pending.push_back(folder + *it + '/');
    }
    return !stopRequested();
}

} // namespace nimbrel::library
