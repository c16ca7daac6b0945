#include "bench_tree.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <vector>

#include "common/win_raii.h"

namespace bench {
namespace {
std::vector<std::string> MakeFolders(const std::string& base) {
    std::vector<std::string> all;
    ::CreateDirectoryA(base.c_str(), nullptr);
    for (int t = 0; t < kTop; ++t) {
        const std::string top = base + "\\Project " + std::to_string(t);
        ::CreateDirectoryA(top.c_str(), nullptr);
        all.push_back(top);
        for (int m = 0; m < kMiddle; ++m) {
            const std::string mid = top + "\\Media" + std::to_string(m);
            ::CreateDirectoryA(mid.c_str(), nullptr);
            all.push_back(mid);
            for (int l = 0; l < kLeaf; ++l) {
                const std::string leaf = mid + "\\take_" + std::to_string(l);
                ::CreateDirectoryA(leaf.c_str(), nullptr);
                all.push_back(leaf);
            }
        }
    }
    return all;
}

bool Generate(const std::string& base) {
    const std::vector<std::string> folders = MakeFolders(base);
    const size_t perShow = kFiles / kShows;
    for (int i = 0; i < kFiles; ++i) {
        const std::string& folder = folders[static_cast<size_t>(i) % folders.size()];
        const bool show = static_cast<size_t>(i) % perShow == perShow / 2;
        const std::string name = folder + (show ? "\\show" : "\\clip") + std::to_string(i) + (show ? ".ws4" : ".wav");
        UniqueFile f(::CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
        if (!f) {
            std::fprintf(stderr, "cannot create %s\n", name.c_str());
            return false;
        }
    }
    return true;
}
}  // namespace

Arguments ParseArguments(int argc, char** argv) {
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--keep")
            args.keep = true;
        else if (a.rfind("--rounds=", 0) == 0)
            args.rounds = std::atoi(a.c_str() + 9);
        else
            args.root = a;
    }
    if (args.root.empty() || args.root.back() != '\\') args.root.push_back('\\');
    return args;
}

bool EnsureTree(const std::string& base) {
    const std::string marker = base + "\\complete.txt";
    if (::GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES) {
        std::printf("reusing the tree in %s\n", base.c_str());
        return true;
    }
    std::printf("making %d folders and %d files (%d shows) in %s ...\n", kFolders, kFiles, kShows, base.c_str());
    std::fflush(stdout);
    DeleteTree(base);
    const auto start = Clock::now();
    if (!Generate(base)) return false;
    UniqueFile(::CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    std::printf("made in %.1f s\n", Seconds(Clock::now() - start));
    return true;
}

void DeleteTree(const std::string& path) {
    WIN32_FIND_DATAA fd;
    UniqueFind find(::FindFirstFileA((path + "\\*").c_str(), &fd));
    if (find) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(path + "\\" + name);
            else
                ::DeleteFileA((path + "\\" + name).c_str());
        } while (::FindNextFileA(find.get(), &fd));
    }
    find.reset();
    ::RemoveDirectoryA(path.c_str());
}

namespace {
// Seconds of "cmd /c <command> > temp file", the file's lines in *lines.
double TimeCmd(const std::string& command, int* lines) {
    char temp[MAX_PATH + 1] = "";
    ::GetTempPathA(sizeof temp, temp);
    const std::string outFile = std::string(temp) + "zk_bench_dir.txt";
    std::string cmd = "cmd /c " + command + " > \"" + outFile + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const auto start = Clock::now();
    if (!::CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                          &pi))
        return -1;
    UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    const double seconds = Seconds(Clock::now() - start);
    *lines = 0;
    {
        UniqueFile out(
            ::CreateFileA(outFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        char buf[65536];
        DWORD got = 0;
        while (out && ::ReadFile(out.get(), buf, sizeof buf, &got, nullptr) && got)
            *lines += static_cast<int>(std::count(buf, buf + got, '\n'));
    }
    ::DeleteFileA(outFile.c_str());
    return seconds;
}
}  // namespace

Walk TimeDir(const std::string& pattern) {
    int lines = 0, none = 0;
    // An empty command first: what starting cmd costs is not the walk's.
    const double startUp = TimeCmd("rem", &none);
    const double seconds = TimeCmd("dir /s /b " + pattern, &lines);
    if (startUp < 0 || seconds < 0) return {-1, 0};
    return {seconds - startUp, lines};
}

namespace {
// Calls onFile with the path of every file below folder.
void ForEachFile(const std::string& folder, const std::function<void(const std::string&)>& onFile) {
    WIN32_FIND_DATAA data;
    UniqueFind find(::FindFirstFileA((folder + "\\*").c_str(), &data));
    if (!find) return;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ForEachFile(folder + "\\" + name, onFile);
        else
            onFile(folder + "\\" + name);
    } while (::FindNextFileA(find.get(), &data));
}
}  // namespace

int64_t CountFiles(const std::string& folder) {
    int64_t count = 0;
    ForEachFile(folder, [&](const std::string&) { ++count; });
    return count;
}

int64_t ReadFiles(const std::string& folder, std::vector<char>& buffer) {
    int64_t bytes = 0;
    ForEachFile(folder, [&](const std::string& path) {
        UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        DWORD got = 0;
        while (file && ::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) &&
               got > 0)
            bytes += got;
    });
    return bytes;
}

int AnswerYesOnStderr(HWND__*, const std::string& text, const std::string&, unsigned) {
    std::fprintf(stderr, "melding: %s\n", text.c_str());
    return IDYES;
}

bool MakeNoiseFile(const std::string& path, int64_t size, uint32_t seed) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    if (!file) return false;
    std::vector<char> block(static_cast<size_t>(std::min<int64_t>(size, 4 * 1024 * 1024)) + 1);
    uint32_t x = seed;
    for (char& c : block) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
    bool ok = true;
    for (int64_t left = size; ok && left > 0;) {
        const DWORD n = static_cast<DWORD>(std::min<int64_t>(left, static_cast<int64_t>(block.size())));
        DWORD written = 0;
        ok = ::WriteFile(file.get(), block.data(), n, &written, nullptr) && written == n;
        left -= n;
    }
    return ok && ::FlushFileBuffers(file.get());
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    if (!file) return false;
    size_t at = 0;
    while (at < bytes.size()) {
        const DWORD n = static_cast<DWORD>(std::min<size_t>(bytes.size() - at, 4u << 20));
        DWORD written = 0;
        if (!::WriteFile(file.get(), bytes.data() + at, n, &written, nullptr) || written != n) return false;
        at += n;
    }
    return ::FlushFileBuffers(file.get()) != FALSE;
}

}  // namespace bench
