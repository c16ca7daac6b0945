// One file that a show names: its path split into parts, its kind by
// extension, whether it exists, and how many bytes it occupies.
#pragma once

#include <cstdint>
#include <string>

class CFileReference {
public:
    CFileReference() = default;
    virtual ~CFileReference() = default;

    // Fills every field from the path. Never fails: a missing or locked file
    // is recorded in m_nExists and m_nSize.
    void Inspect(const std::string& path);

    std::string m_csName;   // "intro" for C:\Shows\intro.wav
    std::string m_csDir;    // "\Shows\"
    std::string m_csExt;    // ".wav", dot included; empty without a dot
    std::string m_csDrive;  // "C:"; empty when the path has no drive letter
    std::string m_csPath;   // the path exactly as the show names it
    char m_chDrive = 0;     // upper-cased first character of m_csDrive
    int64_t m_nSize = -1;   // bytes (with the .tlg companion); -1 unmeasured
    int32_t m_nKind = 3;    // 0 show, 1 sound, 2 image, 3 other
    int32_t m_nExists = -1; // -1 missing, 0 present but locked, 1 measured
};
