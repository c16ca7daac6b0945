#include "files/file_reference.h"

#include "files/classify.h"
#include "files/file_helpers.h"
#include "files/file_kind.h"
#include "files/path_split.h"

void CFileReference::Inspect(const std::string& path) {
    m_csPath = path;
    PathParts parts = SplitPath(path);
    m_csDrive = std::move(parts.drive);
    m_csDir = std::move(parts.dir);
    m_csName = std::move(parts.name);
    m_csExt = std::move(parts.ext);
    m_chDrive = UpperDriveLetter(m_csDrive);
    m_nKind = FileKindOfExtension(m_csExt);

    m_nSize = -1;
    m_nExists = -1;
    if (!FileExists(path)) {
        // Held open by another program it is there all the same and must
        // not be reported as missing; one this user may not read is.
        if (FilePresent(path)) m_nExists = ExistsStateWhenUnreadable(ReadOpenError(path));
        return;
    }
    // Present; whether it can be measured depends on whether another
    // program holds it open.
    m_nSize = ExclusiveFileLength(path);
    m_nExists = m_nSize >= 0 ? 1 : 0;

    // Wings keeps a sound file's waveform beside it in a .tlg file of the
    // same name; it belongs to the sound file's size.
    if (m_nKind != kKindSound || m_nExists != 1) return;
    const std::string companion = m_csDrive + m_csDir + m_csName + ".tlg";
    if (!FileExists(companion)) return;
    const int64_t companionSize = ExclusiveFileLength(companion);
    if (companionSize >= 0) m_nSize += companionSize;
}
