// The one layer under every walker: a walk of real folders on the Wine
// drives (names the code page cannot hold, paths past 260 characters,
// links, folders that cannot be listed, a stop), and its temporary files.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "common/text.h"
#include "files/file_system.h"
#include "files/temp_name.h"
#include "common/wide_text.h"
#include "support/test_support.h"

namespace {
using WStrings = std::vector<std::wstring>;

// Names no Western code page holds ("Dvořák", "富士.wav", "Łódź").
const std::wstring kDvorak = L"Dvo\u0159\u00e1k";
const std::wstring kFuji = L"\u5bcc\u58eb.wav";
const std::wstring kLodz = L"\u0141\u00f3d\u017a";

void MakeWideFolder(const std::wstring& path) {
    for (size_t slash = path.find(L'\\', 7); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1))
        ::CreateDirectoryW(LongPath(path.substr(0, slash)).c_str(), nullptr);
    ::CreateDirectoryW(LongPath(path).c_str(), nullptr);
}

void MakeWideFile(const std::wstring& path, const std::string& bytes) {
    MakeWideFolder(path.substr(0, path.rfind(L'\\')));
    UniqueFile f(::CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD put = 0;
    ASSERT_TRUE(f && ::WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr));
}

// Writes down what the walk says, as "folder" lines and "entry" lines, by
// path below the root; a folder entry ends in "\".
class Recorder : public CFolderVisitor {
public:
    bool OnFolder(const FolderPlace& f) override {
        events.push_back(L"in " + std::wstring(f.relative));
        paths.emplace_back(f.path);
        return !stopAt || --stopAt > 0;
    }
    bool OnEntry(const FolderPlace& f, const FolderEntry& e) override {
        std::wstring name = std::wstring(f.relative) + std::wstring(e.name, e.nameLength);
        if (e.isFolder) name += L"\\";
        events.push_back(name);
        if (e.isLink) links.push_back(name);
        if (!e.isFolder) sizes.push_back(e.size);
        if (onEntry) onEntry(f, e);
        return true;
    }
    void OnFolderDone(const FolderPlace& f) override { events.push_back(L"out " + std::wstring(f.relative)); }
    void OnUnreadable(const FolderPlace& f, uint32_t error) override {
        unreadable.push_back(std::wstring(f.relative) + L" " + std::to_wstring(error));
    }

    // The entries only, sorted.
    WStrings Entries() const {
        WStrings e;
        for (const std::wstring& x : events)
            if (x.rfind(L"in ", 0) != 0 && x.rfind(L"out ", 0) != 0) e.push_back(x);
        std::sort(e.begin(), e.end());
        return e;
    }
    size_t IndexOf(const std::wstring& event) const {
        return static_cast<size_t>(std::find(events.begin(), events.end(), event) - events.begin());
    }

    WStrings events, paths, links, unreadable;
    std::vector<int64_t> sizes;
    int stopAt = 0;  // OnFolder answers false at this folder (1 = the root)
    std::function<void(const FolderPlace&, const FolderEntry&)> onEntry;
};

// The path an event names, without "in " or "out ".
std::wstring PathOf(const std::wstring& event) {
    for (const wchar_t* prefix : {L"in ", L"out "})
        if (event.rfind(prefix, 0) == 0) return event.substr(std::wcslen(prefix));
    return event;
}

class FolderWalk : public ::testing::Test {
protected:
    // DeleteTree takes names of any characters, and never follows a link.
    void SetUp() override { DeleteTree("C:\\ZkWalk"); }
    void TearDown() override { DeleteTree("C:\\ZkWalk"); }
    static constexpr const wchar_t* kRoot = L"C:\\ZkWalk";
};
}  // namespace

TEST_F(FolderWalk, GivesEveryEntryByItsOwnNameEachFolderBeforeItsContentsPastTheOldPathLimit) {
    const std::wstring a(200, L'a'), b(100, L'b');
    MakeWideFile(std::wstring(kRoot) + L"\\" + kDvorak + L"\\" + kFuji, "abc");
    MakeWideFile(std::wstring(kRoot) + L"\\Audio\\intro.wav", "12345");
    MakeWideFolder(std::wstring(kRoot) + L"\\Leeg");
    MakeWideFile(std::wstring(kRoot) + L"\\Lang\\" + a + L"\\" + b + L"\\diep.wav", "");

    Recorder r;
    const FolderWalkResult result = WalkFolderTree(kRoot, r);

    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(0u, result.rootError);
    EXPECT_EQ((WStrings{L"Audio\\", L"Audio\\intro.wav", kDvorak + L"\\", kDvorak + L"\\" + kFuji, L"Lang\\",
                        L"Lang\\" + a + L"\\", L"Lang\\" + a + L"\\" + b + L"\\",
                        L"Lang\\" + a + L"\\" + b + L"\\diep.wav", L"Leeg\\"}),
              r.Entries());
    std::vector<int64_t> sizes = r.sizes;
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ((std::vector<int64_t>{0, 3, 5}), sizes);
    EXPECT_TRUE(r.unreadable.empty());

    const WStrings subfolders = {L"Audio\\", kDvorak + L"\\", L"Leeg\\", L"Lang\\"};
    // Every folder is entered once, after its parent's whole listing, and
    // left after everything below it.
    EXPECT_EQ(L"in ", r.events.front());
    EXPECT_EQ(L"out ", r.events.back());
    for (const std::wstring& folder : subfolders) {
        const size_t in = r.IndexOf(L"in " + std::wstring(folder)), out = r.IndexOf(L"out " + std::wstring(folder));
        ASSERT_LT(out, r.events.size()) << Utf8FromWide(folder);
        EXPECT_LT(in, out);
        for (const std::wstring& sibling : subfolders)
            EXPECT_LT(r.IndexOf(sibling), in) << "the root's listing comes first";
        for (size_t i = in + 1; i < out; ++i)
            EXPECT_EQ(0u, PathOf(r.events[i]).rfind(folder, 0))
                << Utf8FromWide(r.events[i]) << " inside " << Utf8FromWide(folder);
    }
    // The paths the visitor sees are whole and plain, however long.
    const std::wstring deepest = std::wstring(kRoot) + L"\\Lang\\" + a + L"\\" + b + L"\\";
    EXPECT_EQ(1, std::count(r.paths.begin(), r.paths.end(), deepest));
    EXPECT_GT(deepest.size(), 260u);
    EXPECT_EQ(1, std::count(r.paths.begin(), r.paths.end(), std::wstring(kRoot) + L"\\" + kDvorak + L"\\"));
}

TEST_F(FolderWalk, AFolderLinkIsReportedButFollowedOnlyWhenAsked) {
    MakeWideFile(std::wstring(kRoot) + L"\\Echt\\in.wav", "x");
    const std::string unixRoot = UnixPathOf("C:\\ZkWalk");
    if (unixRoot.empty() || RunUnixShell("ln -s '" + unixRoot + "/Echt' '" + unixRoot + "/Link'") != 0)
        GTEST_SKIP() << "a folder link is made on the Linux side, under Wine";

    Recorder plain;
    WalkFolderTree(kRoot, plain);
    Recorder following;
    WalkFolderTree(kRoot, following, true);
    RunUnixShell("rm -f '" + unixRoot + "/Link'");

    EXPECT_EQ((WStrings{L"Echt\\", L"Echt\\in.wav", L"Link\\"}), plain.Entries());
    EXPECT_EQ(WStrings{L"Link\\"}, plain.links);
    EXPECT_EQ((WStrings{L"Echt\\", L"Echt\\in.wav", L"Link\\", L"Link\\in.wav"}), following.Entries());
}

TEST_F(FolderWalk, AFolderThatCannotBeListedIsReportedAndTheWalkGoesOn) {
    for (const wchar_t* name : {L"\\Een\\1.wav", L"\\Twee\\2.wav", L"\\Drie\\3.wav"})
        MakeWideFile(std::wstring(kRoot) + name, "x");
    Recorder r;
    // Twee vanishes after its parent was listed, before it is entered.
    r.onEntry = [](const FolderPlace&, const FolderEntry& e) {
        if (std::wstring(e.name, e.nameLength) == L"Twee") DeleteTree("C:\\ZkWalk\\Twee");
    };
    const FolderWalkResult result = WalkFolderTree(kRoot, r);

    EXPECT_EQ(WStrings{L"Twee\\ 3"}, r.unreadable);  // ERROR_PATH_NOT_FOUND
    EXPECT_EQ((WStrings{L"Drie\\", L"Drie\\3.wav", L"Een\\", L"Een\\1.wav", L"Twee\\"}), r.Entries());
    EXPECT_EQ(0u, result.rootError);
    EXPECT_FALSE(result.stopped);

    // A root that cannot be listed says so in the result too.
    Recorder none;
    EXPECT_EQ(3u, WalkFolderTree(std::wstring(kRoot) + L"\\Nergens", none).rootError);
    EXPECT_EQ(WStrings{L" 3"}, none.unreadable);
}

TEST_F(FolderWalk, AStopBetweenFoldersListsNothingMoreAndLeavesTheOpenFolders) {
    MakeWideFile(std::wstring(kRoot) + L"\\Een\\Onder\\1.wav", "x");
    MakeWideFile(std::wstring(kRoot) + L"\\Twee\\2.wav", "x");
    Recorder r;
    r.stopAt = 3;  // the root, one of its folders, then no more
    const FolderWalkResult result = WalkFolderTree(kRoot, r);

    EXPECT_TRUE(result.stopped);
    ASSERT_EQ(3u, r.paths.size());
    // After the refused folder: only the open folders are left, innermost first.
    const size_t refused = r.IndexOf(L"in " + r.paths[2].substr(std::wstring(kRoot).size() + 1));
    ASSERT_LT(refused, r.events.size());
    const WStrings after(r.events.begin() + static_cast<std::ptrdiff_t>(refused) + 1, r.events.end());
    EXPECT_EQ((WStrings{L"out " + r.paths[1].substr(std::wstring(kRoot).size() + 1), L"out "}), after);
}

TEST(TempFile, OneNameFormBesideTheTargetAndNoPathTooLong) {
    ScratchFolder folder("C:\\ZkTempFile");
    std::string first, second;
    UniqueFile a = CreateTempFileIn(folder.Path() + "\\", kMaxBuiltPath, &first);
    UniqueFile b = CreateTempFileIn(folder.Path() + "\\", kMaxBuiltPath, &second);
    ASSERT_TRUE(a && b);
    EXPECT_NE(first, second);
    for (const std::string& path : {first, second}) {
        EXPECT_EQ(folder.Path() + "\\", path.substr(0, path.size() - 15));
        EXPECT_TRUE(IsTempFileName(path.substr(path.size() - 15))) << path;
        EXPECT_TRUE(FilePresent(path)) << path;
    }

    // One character too many for the program's paths: refused, nothing made.
    const std::string deep = folder.Path() + "\\" + std::string(259 - folder.Path().size() - 1 - 15 + 1, 'd') + "\\";
    ASSERT_TRUE(MakeFolderTree(deep));
    std::string none = "x";
    ::SetLastError(0);
    EXPECT_FALSE(CreateTempFileIn(deep, kMaxBuiltPath, &none));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE), ::GetLastError());
    EXPECT_EQ("", none);
    WIN32_FIND_DATAA fd;
    EXPECT_FALSE(UniqueFind(::FindFirstFileA((deep + "*.tmp").c_str(), &fd)));

    // By a name the code page cannot hold, through the wide calls.
    const std::wstring wide = WideFromCodePage(folder.Path()) + L"\\" + kLodz + L"\\";
    MakeWideFolder(wide);
    std::string name;
    UniqueFile c = CreateTempFile(LongPath(wide), &name);
    ASSERT_TRUE(c) << ::GetLastError();
    EXPECT_TRUE(IsTempFileName(name)) << name;
}

// The key every comparison of names uses agrees with the system's own
// ordinal comparison that ignores case, for every unit of the plane: two
// units the system takes for one letter get one capital, and a unit never
// gets a capital the system does not give it. One kind is left aside: a
// variant form whose capital lowercases to another letter (final sigma,
// micro sign, the title-case digraphs); the file systems' table gives them
// that capital, Wine's comparison does not, so each is listed.
TEST(NameKey, AgreesWithTheSystemsComparisonForEveryCharacterOfThePlane) {
    std::string disagree, variants;
    const auto lowerOf = [](wchar_t c) {
        wchar_t lower = c;
        ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, &c, 1, &lower, 1, nullptr, nullptr, 0);
        return lower;
    };
    for (unsigned u = 1; u <= 0xFFFF; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;
        const wchar_t c = static_cast<wchar_t>(u);
        const wchar_t upper = static_cast<wchar_t>(NameUpper(u));
        // The system's own lower case gives the other half of each pair.
        const wchar_t lower = lowerOf(c);
        const bool sameAsUpper = ::CompareStringOrdinal(&c, 1, &upper, 1, TRUE) == CSTR_EQUAL;
        const bool sameAsLower = ::CompareStringOrdinal(&c, 1, &lower, 1, TRUE) == CSTR_EQUAL;
        if (sameAsUpper && sameAsLower == (NameUpper(static_cast<char32_t>(lower)) == upper)) continue;
        char line[16];
        std::snprintf(line, sizeof line, " U+%04X", u);
        (upper != c && lowerOf(upper) != c ? variants : disagree) += line;
    }
    EXPECT_EQ("", disagree);
    EXPECT_EQ(" U+00B5 U+01C5 U+01C8 U+01CB U+01F2 U+0345 U+03C2 U+03D0 U+03D1 U+03D5 U+03D6 U+03F0 U+03F1 U+03F5"
              " U+1C80 U+1C81 U+1C82 U+1C83 U+1C84 U+1C85 U+1C86 U+1C87 U+1C88 U+1E9B U+1FBE",
              variants);
}
