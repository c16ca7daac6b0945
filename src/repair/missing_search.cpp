#include "repair/missing_search.h"

#include <windows.h>

#include "files/file_helpers.h"
#include "files/file_system.h"
#include "common/wide_text.h"

namespace {

MissingDate LocalDate(uint64_t ticks) {
    MissingDate d;
    const FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    FILETIME local;
    SYSTEMTIME st;
    if (::FileTimeToLocalFileTime(&utc, &local) && ::FileTimeToSystemTime(&local, &st))
        d = MissingDate{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute};
    return d;
}

// The walk of the layer, with the names in the code page: the show names
// its files so, and a name the code page cannot hold is none of them.
class CMissingWalk : public CFolderVisitor {
public:
    CMissingWalk(MissingFiles& files, const MissingFolderFn& onFolder, MissingWalkResult& result)
        : m_files(files), m_onFolder(onFolder), m_result(result) {}

    bool OnFolder(const FolderPlace& place) override {
        ++m_result.folders;
        // Every folder below the root is entered by a name converted exactly.
        if (!CodePageFromWideExact(place.path.data(), place.path.size(), &m_folder))
            m_folder = CodePageFromWide(std::wstring(place.path));
        return !m_onFolder || m_onFolder(m_folder);
    }

    bool OnEntry(const FolderPlace&, const FolderEntry& entry) override {
        if (!CodePageFromWideExact(entry.name, entry.nameLength, &m_name)) return false;
        if (entry.isFolder) {
            // A folder path this long cannot be listed by its code-page
            // name, and no file in it has a path the program could use.
            return m_folder.size() + m_name.size() + 1 < kMaxBuiltPath;
        }
        const std::vector<size_t>* groups = m_files.GroupsNamed(m_name.c_str(), m_scratch);
        if (!groups) return false;
        std::string path = m_folder + m_name;
        if (path.size() > kMaxBuiltPath) {
            m_result.tooLong.push_back(std::move(path));
            return false;
        }
        MissingCandidate c;
        c.path = std::move(path);
        c.size = entry.size;
        c.written = LocalDate(entry.writeTime);
        for (size_t g : *groups) m_files.AddCandidate(g, c);
        return false;
    }

private:
    MissingFiles& m_files;
    const MissingFolderFn& m_onFolder;
    MissingWalkResult& m_result;
    std::string m_folder, m_name;  // reused for every folder and name
    std::string m_scratch;
};
}  // namespace

MissingWalkResult FindMissingCandidates(const std::vector<std::string>& roots, MissingFiles& files,
                                        const MissingFolderFn& onFolder) {
    MissingWalkResult result;
    CMissingWalk walk(files, onFolder, result);
    for (const std::string& root : roots) {
        if (root.empty()) continue;
        if (WalkFolderTree(WideFromCodePage(root), walk).stopped) {
            result.stopped = true;
            break;
        }
    }
    return result;
}
