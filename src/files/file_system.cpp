#include "files/file_system.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "files/temp_name.h"
#include "common/wide_text.h"

namespace {
const wchar_t kLongPrefix[] = L"\\\\?\\";
const wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, std::wcslen(prefix), prefix) == 0;
}

uint64_t Ticks(const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

// Junctions, symbolic links and mount points name another folder; other
// reparse points (files kept in the cloud, deduplicated files) are the
// folder itself. A tag of 0 is a link too: some systems give none.
bool IsLink(const WIN32_FIND_DATAW& data) {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    return data.dwReserved0 == 0 || IsReparseTagNameSurrogate(data.dwReserved0);
}

// The root as the walk shows it: a full path without the long-path prefix,
// ending in a backslash.
std::wstring ShownRoot(std::wstring root) {
    if (StartsWith(root, kLongUncPrefix)) {
        root = L"\\\\" + root.substr(std::wcslen(kLongUncPrefix));
    } else if (StartsWith(root, kLongPrefix)) {
        root.erase(0, std::wcslen(kLongPrefix));
    } else {
        if (root.size() == 2 && root[1] == L':') root.push_back(L'\\');
        // Without one, the listing will say what is wrong with it.
        const std::wstring full = FullWidePath(root);
        if (!full.empty()) root = full;
    }
    if (root.empty() || root.back() != L'\\') root.push_back(L'\\');
    return root;
}

class CWalk {
public:
    CWalk(const std::wstring& root, CFolderVisitor& visitor, bool followLinks)
        : m_visitor(visitor), m_bFollowLinks(followLinks), m_path(ShownRoot(root)), m_nRootLength(m_path.size()) {
        // Every folder is listed by its long form, built from the shown path.
        if (StartsWith(m_path, L"\\\\")) {
            m_prefix = kLongUncPrefix;
            m_nSkip = 2;
        } else {
            m_prefix = kLongPrefix;
        }
    }

    FolderWalkResult Run() {
        if (!Enter(0)) return m_result;
        while (!m_frames.empty()) {
            Frame& f = m_frames.back();
            m_path.resize(f.pathLength);
            if (m_result.stopped || f.next >= f.namesEnd) {
                m_names.resize(f.namesBegin);
                const int depth = static_cast<int>(m_frames.size()) - 1;
                m_frames.pop_back();
                m_visitor.OnFolderDone(Place(depth));
                continue;
            }
            const size_t length = std::wcslen(m_names.c_str() + f.next);
            m_path.append(m_names, f.next, length).push_back(L'\\');
            f.next += length + 1;
            Enter(static_cast<int>(m_frames.size()));  // f is not used after this
        }
        return m_result;
    }

private:
    // A folder being walked: its path's length, and the names of the
    // subfolders still to walk, each ended by a 0 in m_names.
    struct Frame {
        size_t pathLength, namesBegin, namesEnd, next;
    };

    FolderPlace Place(int depth) const {
        const std::wstring_view path(m_path);
        return FolderPlace{path, path.substr(m_nRootLength), depth};
    }

    // The folder in m_path: asks, lists, and leaves its frame; false when
    // the walk stops here.
    bool Enter(int depth) {
        const FolderPlace place = Place(depth);
        if (!m_visitor.OnFolder(place)) {
            m_result.stopped = true;
            return false;
        }
        const size_t namesBegin = m_names.size();
        List(place);
        m_frames.push_back(Frame{m_path.size(), namesBegin, m_names.size(), namesBegin});
        return true;
    }

    void List(const FolderPlace& place) {
        m_pattern.assign(m_prefix).append(m_path, m_nSkip, std::wstring::npos).push_back(L'*');
        WIN32_FIND_DATAW data;
        // The fastest listing the system has: no short names, large batches.
        UniqueFind find(::FindFirstFileExW(m_pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH));
        if (!find) {
            const DWORD error = ::GetLastError();
            // A drive's root has no "." entry: empty, not unreadable.
            if (error != ERROR_FILE_NOT_FOUND) Unreadable(place, error);
            return;
        }
        do {
            if (IsDotEntry(data.cFileName)) continue;
            FolderEntry entry;
            entry.name = data.cFileName;
            entry.nameLength = std::wcslen(data.cFileName);
            entry.attributes = data.dwFileAttributes;
            entry.size = static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
            entry.writeTime = Ticks(data.ftLastWriteTime);
            entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            entry.isLink = IsLink(data);
            if (m_visitor.OnEntry(place, entry) && entry.isFolder && (!entry.isLink || m_bFollowLinks))
                m_names.append(entry.name, entry.nameLength).push_back(L'\0');
        } while (::FindNextFileW(find.get(), &data));
        // A listing that ends early is a listing error, not the end.
        const DWORD end = ::GetLastError();
        if (end != ERROR_NO_MORE_FILES) Unreadable(place, end);
    }

    void Unreadable(const FolderPlace& place, DWORD error) {
        if (place.depth == 0) m_result.rootError = error;
        m_visitor.OnUnreadable(place, error);
    }

    CFolderVisitor& m_visitor;
    const bool m_bFollowLinks;
    std::wstring m_path;  // the folder being walked, as shown
    const size_t m_nRootLength;
    const wchar_t* m_prefix = kLongPrefix;
    size_t m_nSkip = 0;      // leading characters of m_path the prefix replaces
    std::wstring m_pattern;  // reused for every listing
    std::wstring m_names;
    std::vector<Frame> m_frames;
    FolderWalkResult m_result;
};
}  // namespace

std::wstring LongPath(const std::wstring& path) {
    if (StartsWith(path, kLongPrefix) || StartsWith(path, L"\\\\.\\")) return path;
    if (StartsWith(path, L"\\\\")) return kLongUncPrefix + path.substr(2);
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return kLongPrefix + path;
    return path;
}

std::wstring FullWidePath(const std::wstring& path) {
    if (path.empty()) return std::wstring();
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
        if (n == 0) return std::wstring();
        if (n < full.size()) return full.substr(0, n);
        full.resize(n);  // n counts the terminator when the buffer was short
    }
}

bool IsDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

FolderWalkResult WalkFolderTree(const std::wstring& root, CFolderVisitor& visitor, bool followLinks) {
    return CWalk(root, visitor, followLinks).Run();
}

UniqueFile CreateTempFile(const std::wstring& folder, std::string* name) {
    // One sequence for the whole process, started anywhere: two programs
    // writing into one folder rarely meet, and CREATE_NEW settles it.
    static uint32_t s_number = ::GetTickCount() ^ (::GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = TempFileName(++s_number);
        const std::wstring path = folder + std::wstring(name->begin(), name->end());
        UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (file) return file;
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    name->clear();
    return UniqueFile();
}

UniqueFile CreateTempFileIn(const std::string& folder, size_t maxPath, std::string* path) {
    path->clear();
    if (folder.size() + kTempNameLength > maxPath) {
        ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return UniqueFile();
    }
    std::string name;
    UniqueFile file = CreateTempFile(WideFromCodePage(folder), &name);
    if (file) *path = folder + name;
    return file;
}
