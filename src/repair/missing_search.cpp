#include "repair/missing_search.h"

#include <windows.h>

#include "files/file_helpers.h"
#include "files/path_split.h"
#include "common/win_raii.h"

namespace {

MissingDate LocalDate(const FILETIME& utc) {
    MissingDate d;
    FILETIME local;
    SYSTEMTIME st;
    if (::FileTimeToLocalFileTime(&utc, &local) && ::FileTimeToSystemTime(&local, &st))
        d = MissingDate{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute};
    return d;
}

class Walker {
public:
    Walker(MissingFiles& files, const MissingFolderFn& onFolder, MissingWalkResult& result)
        : m_files(files), m_onFolder(onFolder), m_result(result) {}

    // folder ends in "\"; false once the walk is to stop.
    bool Walk(std::string& folder) {
        ++m_result.folders;
        if (m_onFolder && !m_onFolder(folder)) return false;
        const size_t base = folder.size();
        folder.push_back('*');
        WIN32_FIND_DATAA fd;
        // One listing serves both the files and the subfolders.
        UniqueFind find(::FindFirstFileExA(folder.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
        folder.resize(base);
        if (!find) return true;
        std::vector<std::string> subfolders;
        do {
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                // A junction leads to folders walked under their own names,
                // or back up the tree.
                if (IsDotEntry(fd.cFileName) || (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
                subfolders.emplace_back(fd.cFileName);
                continue;
            }
            const std::vector<size_t>* groups = m_files.GroupsNamed(fd.cFileName, m_scratch);
            if (!groups) continue;
            std::string path = folder + fd.cFileName;
            if (path.size() > kMaxBuiltPath) {
                m_result.tooLong.push_back(std::move(path));
                continue;
            }
            MissingCandidate c;
            c.path = std::move(path);
            c.size = static_cast<int64_t>((static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow);
            c.written = LocalDate(fd.ftLastWriteTime);
            for (size_t g : *groups) m_files.AddCandidate(g, c);
        } while (::FindNextFileA(find.get(), &fd));
        find.reset();

        for (const std::string& name : subfolders) {
            // A folder path this long cannot be listed by its ANSI name, and
            // no file in it has a path the program could use.
            folder.append(name).push_back('\\');
            const bool go = folder.size() < kMaxBuiltPath ? Walk(folder) : true;
            folder.resize(base);
            if (!go) return false;
        }
        return true;
    }

private:
    MissingFiles& m_files;
    const MissingFolderFn& m_onFolder;
    MissingWalkResult& m_result;
    std::string m_scratch;
};
}  // namespace

MissingWalkResult FindMissingCandidates(const std::vector<std::string>& roots, MissingFiles& files,
                                        const MissingFolderFn& onFolder) {
    MissingWalkResult result;
    Walker walker(files, onFolder, result);
    for (const std::string& root : roots) {
        std::string folder = root;
        if (folder.empty()) continue;
        if (folder.back() != '\\') folder.push_back('\\');
        if (!walker.Walk(folder)) {
            result.stopped = true;
            break;
        }
    }
    return result;
}
