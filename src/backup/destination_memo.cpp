#include "backup/destination_memo.h"

#include "backup/backup_disk.h"
#include "common/text.h"

namespace backup {

namespace {
thread_local CDestinationMemo* t_pActive = nullptr;
}  // namespace

CDestinationMemo::CDestinationMemo(const std::string& folder)
    : destination(NameKey(WithBackslash(NormalizeFolder(folder)))), m_pOuter(t_pActive) {
    t_pActive = this;
}

CDestinationMemo::~CDestinationMemo() { t_pActive = m_pOuter; }

CDestinationMemo* CDestinationMemo::Active() { return t_pActive; }

CDestinationMemo* CDestinationMemo::For(const std::string& folder) {
    CDestinationMemo* memo = t_pActive;
    return memo && !folder.empty() && NameKey(WithBackslash(NormalizeFolder(folder))) == memo->destination ? memo
                                                                                                         : nullptr;
}

}  // namespace backup
