// Whether a file's contents will play: is it whole, and is it the kind its
// name says. Pure code (no <windows.h>): fed the file's bytes in chunks of
// any size, in order, so the same check runs over a dialog's read loop, the
// bytes the back-up hashes anyway, the native tests and the fuzzer. Memory
// stays bounded whatever the file's size fields say.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

enum class ContentVerdict {
    Whole,      // structure complete, kind as named
    Warning,    // plays, but: another kind than its name, or a codec not every PC plays
    Damaged,    // empty, only zero bytes, or its structure broken or cut short
    NotJudged,  // a kind this program does not know; read to the end only
};

struct ContentFinding {
    ContentVerdict verdict = ContentVerdict::NotJudged;
    // Plain Dutch for the user: what is wrong and what to do, e.g.
    // "afgebroken: de afbeelding houdt op voor haar einde; zet een goede
    // kopie terug". Empty for Whole and NotJudged.
    std::string reason;
};

class CContentCheck {
public:
    // extension: the file name's extension without the dot, any case
    // ("jpg", "WAV"); fileSize: the size the file system reports.
    CContentCheck(const std::string& extension, uint64_t fileSize);
    ~CContentCheck();
    CContentCheck(const CContentCheck&) = delete;
    CContentCheck& operator=(const CContentCheck&) = delete;

    // The next bytes of the file, in order. Chunks of any size, empty ones too.
    void Feed(const uint8_t* data, size_t size);
    // After the last byte. The bytes fed must add up to fileSize; fewer
    // means the file could not be read to its end (Damaged).
    ContentFinding Finish();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// For measurement only: off, every CContentCheck counts the bytes fed and
// judges nothing (NotJudged, or Damaged when the bytes fell short), so a
// benchmark can time the same work without the check. On by default; the
// program never turns it off.
void SetContentCheckEnabled(bool enabled);

// The reason given when a file cannot be read to its end.
extern const char* const kContentUnreadable;
