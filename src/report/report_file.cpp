#include "report/report_file.h"

#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "files/file_helpers.h"
#include "files/path_split.h"
#include "files/file_system.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "common/partial_file.h"
#include "common/res_string.h"
#include "common/system_error.h"
#include "common/win_raii.h"
#include "report/report_html.h"
#include "resource.h"

SaveFileDialogFn g_pfnGetSaveFileName = &::GetSaveFileNameA;

namespace {

std::string TooLong(const std::string& path) {
    return "Het pad is langer dan " + std::to_string(kMaxBuiltPath) + " tekens:\n" + path;
}

std::string Failed(const std::string& what, const std::string& path, DWORD code) {
    return what + "\n" + path + "\n\n" + SystemErrorText(code);
}

// The first bytes of an existing file, to tell an earlier report.
std::string FileStart(const std::string& path) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::string();
    std::string bytes(1024, '\0');
    DWORD got = 0;
    if (!::ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr)) return std::string();
    bytes.resize(got);
    return bytes;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    constexpr size_t kChunk = 1u << 24;
    for (size_t at = 0; at < bytes.size();) {
        const DWORD want = static_cast<DWORD>(std::min(bytes.size() - at, kChunk));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + at, want, &written, nullptr) || written != want) return false;
        at += written;
    }
    return ::FlushFileBuffers(file) != FALSE;
}

}  // namespace

bool WriteReportFile(const std::string& target, const std::string& html, ReplacePolicy policy,
                     std::string* error) {
    std::string ignored;
    std::string& why = error ? *error : ignored;
    if (target.empty() || target.size() > kMaxBuiltPath) {
        why = TooLong(target);
        return false;
    }
    const DWORD attributes = ::GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            why = "Op deze plaats staat een map, geen bestand:\n" + target;
            return false;
        }
        if (attributes & FILE_ATTRIBUTE_READONLY) {
            why = "Het bestand is alleen-lezen en wordt niet vervangen:\n" + target;
            return false;
        }
        if (policy == ReplacePolicy::OnlyOwnReports && !LooksLikeReport(FileStart(target))) {
            why = "Het bestand bestaat al en is geen rapport van Zekerpad; het wordt niet vervangen:\n" + target;
            return false;
        }
    }

    // The temporary file lies beside the target, so the rename stays on
    // one drive and cannot half succeed.
    const PathParts parts = SplitPath(target);
    const std::string folder = parts.drive + parts.dir;
    std::string temp;
    UniqueFile file = CreateTempFileIn(folder, kMaxBuiltPath, &temp);
    if (!file && ::GetLastError() == ERROR_FILENAME_EXCED_RANGE) {
        why = TooLong(folder + "~zk00000000.tmp");
        return false;
    }
    if (!file) {
        why = Failed("Het rapport kan in deze map niet worden gemaakt:", folder.empty() ? target : folder,
                     ::GetLastError());
        return false;
    }
    bool written = false;
    DWORD code = 0;
    {
        ScopedPartialFile guard(file.get());
        written = WriteAll(file.get(), html);
        if (!written) code = ::GetLastError();
    }
    file.reset();
    if (!written) {
        ::DeleteFileA(temp.c_str());
        why = Failed("Het rapport kon niet volledig worden geschreven:", target, code);
        return false;
    }
    if (!::MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        code = ::GetLastError();
        ::DeleteFileA(temp.c_str());
        why = Failed("Het rapport kon niet onder deze naam worden opgeslagen:", target, code);
        return false;
    }
    return true;
}

bool SaveReportAs(HWND owner, const std::string& suggestedName, const std::function<std::string()>& makeHtml) {
    char documents[MAX_PATH] = {};
    const bool haveDocuments =
        SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents));

    std::string filter = LoadResString(IDS_REPORT_FILTER);
    std::replace(filter.begin(), filter.end(), '|', '\0');
    // Room for any path the dialog may return; a longer one than the
    // program takes is refused below, never cut.
    std::vector<char> file(4096, '\0');
    std::copy_n(suggestedName.begin(), std::min(suggestedName.size(), file.size() - 1), file.begin());
    const std::string title = LoadResString(IDS_REPORT_SAVE_TITLE);

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = haveDocuments ? documents : nullptr;
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = "html";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOREADONLYRETURN;
    if (!g_pfnGetSaveFileName(&ofn)) return false;

    const std::string target(file.data());
    std::string error;
    bool saved = false;
    {
        ScopedWaitCursor wait;
        // The save dialog's question cannot tell a report from the show a
        // typo named: only an earlier report is ever replaced.
        saved = WriteReportFile(target, makeHtml(), ReplacePolicy::OnlyOwnReports, &error);
    }
    if (!saved) {
        LogValue("Rapport niet opgeslagen", target);
        ShowMessage("Het rapport is niet opgeslagen.\n" + error +
                        "\n\nKlik nog eens op Rapport opslaan en kies een andere naam of map, bijvoorbeeld Documenten.",
                    owner);
        return false;
    }
    LogValue("Rapport opgeslagen", target);
    return true;
}
