#include "page/repair_fixture.h"

#include <algorithm>

#include "files/classify.h"
#include "files/file_kind.h"
#include "files/path_split.h"
#include "services/run_log.h"
#include "services/state.h"
#include "common/win_raii.h"
#include "support/demo_world.h"
#include "files/free_space.h"

std::string TestBytes(size_t size, int seed) {
    std::string bytes(size, '\0');
    uint32_t x = 2166136261u ^ static_cast<uint32_t>(seed * 16777619);
    for (char& c : bytes) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 23);
    }
    return bytes;
}

void MakeTestFile(const std::string& path, const std::string& bytes) {
    MakeFolderTree(path.substr(0, path.find_last_of('\\')));
    ASSERT_TRUE(WriteWholeFile(path, bytes)) << path;
}

bool PathIsFile(const std::string& path) {
    const DWORD attr = ::GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathIsFolder(const std::string& path) {
    const DWORD attr = ::GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

std::unique_ptr<CFileReference> MakeRecord(const std::string& path) {
    auto rec = std::make_unique<CFileReference>();
    rec->Inspect(path);
    return rec;
}

void UseShow(const std::string& showPath) {
    const PathParts parts = SplitPath(showPath);
    g_csRecentFile = showPath;
    g_csAnalysedFile = showPath;
    g_bAnalysed = 1;
    g_szShowDrive = parts.drive;
    g_szShowDir = parts.dir;
    g_csSubmapAudio = "Audio";
    g_csSubmapPlaatjes = "Plaatjes";
    g_csSubmapOverige = "Overige";
}

void AddYellowRecord(const std::string& path) {
    g_aYellowFiles.push_back(MakeRecord(path));
    ++g_nYellow;
    if (IsYellow1(g_aYellowFiles.back()->m_chDrive, g_szShowDrive))
        ++g_nYellow1;
    else
        ++g_nYellow2;
}

void AddRedRecord(const std::string& path) {
    g_aRedFiles.push_back(MakeRecord(path));
    ++g_nRed;
}

std::string StandInFolder() { return WinePath(ZK_WINGS_DIR); }

void RegisterWingsFolder(const std::string& folder) { ASSERT_TRUE(RegisterWingsInstallation(folder)); }

void SetStandInEnv(const char* name, const std::string& value) { ::SetEnvironmentVariableA(name, value.c_str()); }

void ClearStandInEnv() {
    for (const char* name : {"ZK_WINGS_RECORD", "ZK_WINGS_WAIT_FOR", "ZK_WINGS_WAIT_MS", "ZK_WINGS_RELINK"})
        ::SetEnvironmentVariableA(name, nullptr);
}

namespace {
struct StubState {
    bool ok = true;
    uint64_t freeBytes = 0;
    unsigned long error = 0;
    std::vector<std::string> asked;
    std::function<void()> afterQuery;
};
StubState s_stub;

bool StubQuery(const std::string& directory, uint64_t* freeBytes, unsigned long* error) {
    s_stub.asked.push_back(directory);
    if (s_stub.afterQuery) s_stub.afterQuery();
    if (!s_stub.ok) {
        *error = s_stub.error;
        return false;
    }
    *freeBytes = s_stub.freeBytes;
    return true;
}
}  // namespace

// A stub inside another's scope: the outer one answers again afterwards.
FreeSpaceStub::FreeSpaceStub(uint64_t freeBytes, std::function<void()> afterQuery)
    : m_seam(g_pfnFreeSpace, &StubQuery), m_outer(std::make_shared<StubState>(s_stub)) {
    s_stub = StubState{true, freeBytes, 0, {}, std::move(afterQuery)};
}

FreeSpaceStub::FreeSpaceStub(FreeSpaceError error)
    : m_seam(g_pfnFreeSpace, &StubQuery), m_outer(std::make_shared<StubState>(s_stub)) {
    s_stub = StubState{false, 0, error.code, {}, {}};
}

FreeSpaceStub::~FreeSpaceStub() { s_stub = *std::static_pointer_cast<StubState>(m_outer); }

const std::vector<std::string>& FreeSpaceStub::Asked() const { return s_stub.asked; }

namespace {
const char* const kSubfolders[] = {"Audio", "Plaatjes", "Overige"};

std::string UpperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

// The bytes of a file, or false when there is none (or it cannot be read).
bool ReadIfFile(const std::string& path, std::string& bytes) {
    if (!PathIsFile(path)) return false;
    UniqueFile f(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr));
    if (!f) return false;
    bytes = ReadWholeFile(path);
    return true;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> files;
    WIN32_FIND_DATAA fd;
    UniqueFind find(::FindFirstFileA((folder + "*").c_str(), &fd));
    if (!find) return files;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(folder + fd.cFileName);
    } while (::FindNextFileA(find.get(), &fd));
    return files;
}
}  // namespace

NothingLostCheck::NothingLostCheck(const CFileReferenceList& records, const std::string& showFolder,
                                   bool tlgMayBeDeleted)
    : m_tlgMayBeDeleted(tlgMayBeDeleted) {
    for (const char* sub : kSubfolders) m_subfolders.push_back(showFolder + sub + "\\");
    // What already lies where a repair may write must stay as it is.
    for (const std::string& folder : m_subfolders)
        for (const std::string& file : FilesIn(folder)) Watch(file, {file}, -1);

    for (const auto& rec : records) {
        const std::string& path = rec->m_csPath;
        std::vector<std::string> places{path, path + ".bak"};
        for (const std::string& folder : m_subfolders) places.push_back(folder + BaseName(path));
        Watch(path + ".bak", {path + ".bak"}, -1);
        const size_t sound = m_files.size();
        Watch(path, places, -1);
        if (rec->m_nKind != kKindSound) continue;
        const std::string companion = rec->m_csDrive + rec->m_csDir + rec->m_csName + ".tlg";
        std::vector<std::string> companionPlaces{companion};
        for (const std::string& folder : m_subfolders) companionPlaces.push_back(folder + BaseName(companion));
        Watch(companion, companionPlaces, sound < m_files.size() ? static_cast<int>(sound) : -1);
    }
}

void NothingLostCheck::Watch(const std::string& path, std::vector<std::string> places, int soundIndex) {
    for (const Watched& w : m_files)
        if (UpperAscii(w.path) == UpperAscii(path)) return;  // named twice: one file
    Watched w;
    if (!ReadIfFile(path, w.bytes)) return;
    w.path = path;
    w.places = std::move(places);
    w.soundIndex = soundIndex;
    m_files.push_back(std::move(w));
}

std::string NothingLostCheck::FoundAt(const Watched& w) const {
    for (const std::string& place : w.places) {
        std::string bytes;
        if (ReadIfFile(place, bytes) && bytes == w.bytes) return place;
    }
    return std::string();
}

void NothingLostCheck::Verify() const {
    for (const Watched& w : m_files) {
        if (!FoundAt(w).empty()) continue;
        if (m_tlgMayBeDeleted && w.soundIndex >= 0) {
            // A companion may go once its sound file's copy is in a subfolder.
            const Watched& sound = m_files[static_cast<size_t>(w.soundIndex)];
            const bool arrived = std::any_of(sound.places.begin(), sound.places.end(), [&](const std::string& p) {
                std::string bytes;
                const bool inSubfolder = std::any_of(m_subfolders.begin(), m_subfolders.end(), [&](const std::string& f) {
                    return UpperAscii(p).rfind(UpperAscii(f), 0) == 0;
                });
                return inSubfolder && ReadIfFile(p, bytes) && bytes == sound.bytes;
            });
            if (arrived) continue;
        }
        ADD_FAILURE() << "the bytes of " << w.path << " exist nowhere any more";
    }
    for (const std::string& folder : m_subfolders) {
        for (const std::string& file : FilesIn(folder)) {
            std::string bytes;
            ReadIfFile(file, bytes);
            const bool whole = std::any_of(m_files.begin(), m_files.end(),
                                           [&](const Watched& w) { return w.bytes == bytes; });
            EXPECT_TRUE(whole) << file << " is no whole copy of any file the show names";
        }
    }
}

void ClickButton(HWND page, int id) {
    HWND button = ::GetDlgItem(page, id);
    ASSERT_TRUE(button && ::IsWindowEnabled(button)) << "button " << id << " is not enabled";
    ::SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    PumpMessages();
}

int ProgressPos(HWND page) {
    return static_cast<int>(::SendMessageA(::GetDlgItem(page, 1011), PBM_GETPOS, 0, 0));
}


void RepairPageTest::SetUp() {
    ClearStandInEnv();
    RegisterWingsFolder(StandInFolder());
    m_log = std::make_unique<LogWatch>();
    ASSERT_TRUE(OpenRunLog());
    m_wizard = std::make_unique<WizardHarness>();
    DeleteTree(Root('C'));
    DeleteTree(Root('D'));
    DeleteTree(Root('E'));
}

void RepairPageTest::TearDown() {
    m_wizard.reset();
    CloseRunLog();
    ResetSharedState();
    ClearStandInEnv();
    DeleteTree(Root('C'));
    DeleteTree(Root('D'));
    DeleteTree(Root('E'));
    for (const std::string& path : m_cleanup) DeleteTree(path);
}

std::string RepairPageTest::Root(char drive) const {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(1, drive) + ":\\ZkRep\\" + info->test_suite_name() + "_" + info->name();
}

HWND RepairPageTest::ShowPage(int index) {
    m_wizard->GoTo(index);
    EXPECT_EQ(index, m_wizard->CurrentIndex());
    return m_wizard->CurrentPage();
}

void YellowPageTest::MakeFiles(const std::vector<std::string>& files) {
    int seed = 1;
    for (const std::string& f : files) {
        MakeTestFile(f, TestBytes(100 + static_cast<size_t>(seed) * 10, seed));
        ++seed;
    }
}

HWND YellowPageTest::Open() {
    m_check = std::make_unique<NothingLostCheck>(g_aYellowFiles, ShowFolder(), m_tlgMayBeDeleted);
    m_page = ShowPage(m_pageIndex);
    m_logStart = LogSoFar().size();
    return m_page;
}

HWND YellowPageTest::Prepare(const std::vector<std::string>& files, const std::vector<std::string>& records) {
    UseShow(ShowFolder() + "demo.ws4");
    MakeTestFile(ShowFolder() + "demo.ws4", "show");
    MakeFiles(files);
    for (const std::string& r : records) AddYellowRecord(r);
    return Open();
}

std::string YellowPageTest::Correct() {
    ClickButton(m_page, kCorrigeren);
    return LogSoFar().substr(m_logStart);
}

void YellowPageTest::ExpectEndedNormally() {
    EXPECT_FALSE(IsVisible(m_page, kProgress));
    EXPECT_FALSE(IsEnabled(m_page, kCorrigeren));
    EXPECT_TRUE(IsEnabled(m_page, kStartWings));
    EXPECT_FALSE(IsEnabled(m_page, kOpnieuw));
}

void YellowPageTest::ExpectStopped(int progress) {
    EXPECT_TRUE(IsVisible(m_page, kProgress));
    EXPECT_EQ(progress, ProgressPos(m_page));
    EXPECT_FALSE(IsEnabled(m_page, kCorrigeren));
    EXPECT_FALSE(IsEnabled(m_page, kStartWings));
    EXPECT_FALSE(IsEnabled(m_page, kOpnieuw));
}

std::vector<std::string> YellowPageTest::BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& b : m_boxes.Boxes()) {
        if ((b.type & MB_TYPEMASK) == MB_YESNO) continue;
        EXPECT_EQ(static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION), b.type) << b.text;
        texts.push_back(b.text);
    }
    return texts;
}

void YellowPageTest::TearDown() {
    if (m_check) m_check->Verify();
    RepairPageTest::TearDown();
}
