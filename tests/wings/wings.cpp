// wings.exe: a stand-in for Wings in tests and in the demo. It opens no
// window. What it does is set by the environment it inherits:
//
//   ZK_WINGS_RECORD     file to which it appends its command line (one line,
//                       CR LF); default wings-record.txt beside wings.exe
//   ZK_WINGS_WAIT_FOR   it ends only once this file exists (checked every
//                       20 ms, for at most ZK_WINGS_WAIT_MS, default 60000)
//   ZK_WINGS_RELINK=1   before ending, it re-links the show named by its
//                       first argument: every reference to a missing file
//                       is rewritten to where a file of that name now lies
//                       in the show's folder tree
//
// Re-linking keeps the show's other bytes as they are. A new path that
// fits the old one's place is written there and the rest of the place is
// filled with zero bytes, so nothing moves; a longer one is spliced in and
// the bytes after it move up. The show is written to a new file that then
// replaces it, so a failure leaves the old show whole.
#include <windows.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "analysis/ref_scan.h"
#include "common/win_raii.h"

namespace {

std::string Env(const char* name) {
    char small[1];
    DWORD n = ::GetEnvironmentVariableA(name, small, 0);
    if (n == 0) return std::string();
    std::vector<char> buf(n);
    n = ::GetEnvironmentVariableA(name, buf.data(), n);
    return std::string(buf.data(), n);
}

std::string OwnFolder() {
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return ".";
        if (n < buf.size()) {
            std::string path(buf.data(), n);
            return path.substr(0, path.find_last_of("\\/"));
        }
        buf.resize(buf.size() * 2);
    }
}

bool FileThere(const std::string& path) {
    const DWORD attr = ::GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool AppendTo(const std::string& path, const std::string& bytes) {
    UniqueFile f(::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return f && ::WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// The arguments after the program's own name, split as the C runtime
// does for plain quoted paths (no escapes inside quotes are needed here).
std::vector<std::string> Arguments(const char* line) {
    std::vector<std::string> args;
    const char* p = line;
    bool first = true;
    while (*p) {
        while (*p == ' ' || *p == '\t') ++p;
        if (!*p) break;
        std::string arg;
        bool quoted = false;
        while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
            if (*p == '"')
                quoted = !quoted;
            else
                arg.push_back(*p);
            ++p;
        }
        if (!first) args.push_back(arg);
        first = false;
    }
    return args;
}

std::string UpperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Every file below folder by its upper-cased name; the first one found wins.
void IndexFolderTree(const std::string& folder, std::map<std::string, std::string>& index) {
    WIN32_FIND_DATAA fd;
    UniqueFind find(::FindFirstFileA((folder + "\\*").c_str(), &fd));
    if (!find) return;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        const std::string full = folder + "\\" + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            IndexFolderTree(full, index);
        else
            index.emplace(UpperAscii(name), full);
    } while (::FindNextFileA(find.get(), &fd));
}

bool ReadAll(const std::string& path, std::string& bytes) {
    UniqueFile f(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!f || !::GetFileSizeEx(f.get(), &size) || size.QuadPart > 0x7fffffff) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    return bytes.empty() || (::ReadFile(f.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                             got == bytes.size());
}

bool WriteReplacing(const std::string& path, const std::string& bytes) {
    const std::string temp = path + ".zkwings.tmp";
    {
        UniqueFile f(::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!f || !::WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size()) {
            f.reset();
            ::DeleteFileA(temp.c_str());
            return false;
        }
    }
    if (::MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    ::DeleteFileA(temp.c_str());
    return false;
}

struct Edit {
    size_t offset;
    size_t length;  // the old reference, up to its zero byte
    std::string path;
};

void RelinkShow(const std::string& show, const std::string& record) {
    std::string bytes;
    if (!ReadAll(show, bytes)) {
        AppendTo(record, "relink: cannot read " + show + "\r\n");
        return;
    }
    std::map<std::string, std::string> index;
    IndexFolderTree(show.substr(0, show.find_last_of("\\/")), index);

    std::vector<Edit> edits;
    size_t editedUpTo = 0;
    ForEachReference(bytes.data(), bytes.size(), [&](std::string_view ref) {
        const size_t offset = static_cast<size_t>(ref.data() - bytes.data());
        // A reference inside one already rewritten, or one cut short by
        // the scan, is left alone.
        if (offset < editedUpTo || ref.size() >= kMaxReferenceLength) return;
        const std::string old(ref);
        if (FileThere(old)) return;
        const auto found = index.find(UpperAscii(NameOf(old)));
        if (found == index.end()) return;
        edits.push_back(Edit{offset, ref.size(), found->second});
        editedUpTo = offset + ref.size();
    });
    if (edits.empty()) return;

    std::string out;
    out.reserve(bytes.size());
    size_t from = 0;
    for (const Edit& e : edits) {
        out.append(bytes, from, e.offset - from);
        out.append(e.path);
        if (e.path.size() < e.length) out.append(e.length - e.path.size(), '\0');
        from = e.offset + e.length;
        AppendTo(record, "relink: " + bytes.substr(e.offset, e.length) + " -> " + e.path + "\r\n");
    }
    out.append(bytes, from, std::string::npos);
    if (!WriteReplacing(show, out)) AppendTo(record, "relink: cannot write " + show + "\r\n");
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::string record = Env("ZK_WINGS_RECORD");
    if (record.empty()) record = OwnFolder() + "\\wings-record.txt";
    const char* line = ::GetCommandLineA();
    AppendTo(record, std::string(line) + "\r\n");

    const std::string waitFor = Env("ZK_WINGS_WAIT_FOR");
    if (!waitFor.empty()) {
        const std::string limit = Env("ZK_WINGS_WAIT_MS");
        const DWORD maxMs = limit.empty() ? 60000 : static_cast<DWORD>(std::strtoul(limit.c_str(), nullptr, 10));
        const DWORD start = ::GetTickCount();
        while (!FileThere(waitFor) && ::GetTickCount() - start < maxMs) ::Sleep(20);
    }

    if (Env("ZK_WINGS_RELINK") == "1") {
        const std::vector<std::string> args = Arguments(line);
        if (!args.empty()) RelinkShow(args.front(), record);
    }
    return 0;
}
