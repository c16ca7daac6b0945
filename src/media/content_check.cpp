#include "media/content_check.h"

#include <algorithm>

const char* const kContentUnreadable =
    "onleesbaar: het bestand kan niet tot het einde worden gelezen; zet een goede kopie terug";

struct CContentCheck::Impl {
    uint64_t fileSize = 0;
    uint64_t fed = 0;
    bool allZero = true;
};

CContentCheck::CContentCheck(const std::string&, uint64_t fileSize) : m_impl(std::make_unique<Impl>())
{
    m_impl->fileSize = fileSize;
}

CContentCheck::~CContentCheck() = default;

void CContentCheck::Feed(const uint8_t* data, size_t size)
{
    m_impl->fed += size;
    if (m_impl->allZero)
        m_impl->allZero = std::all_of(data, data + size, [](uint8_t b) { return b == 0; });
}

ContentFinding CContentCheck::Finish()
{
    if (m_impl->fed < m_impl->fileSize)
        return {ContentVerdict::Damaged, kContentUnreadable};
    if (m_impl->fed == 0)
        return {ContentVerdict::Damaged, "leeg: het bestand bevat niets; zet een goede kopie terug"};
    if (m_impl->allZero)
        return {ContentVerdict::Damaged, "leeg: het bestand bevat alleen nullen; zet een goede kopie terug"};
    return {ContentVerdict::NotJudged, ""};
}
