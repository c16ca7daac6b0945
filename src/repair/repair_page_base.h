// What the red and the two yellow pages share: the fresh analysis after
// Wings, and for the yellow pages their activation, progress bar, end of
// a run, Start Wings button and half-dark yellow lamp.
#pragma once

#include <cstdint>
#include <string>

#include "wizard/page_base.h"

class CRepairPageBasis : public CTestPropPageBasis {
public:
    using CTestPropPageBasis::CTestPropPageBasis;

protected:
    // Forgets the current analysis and turns to the analysis page, which
    // then analyses the show again.
    void OnOpnieuwAnalyseren();
};

// The yellow-1 and yellow-2 pages differ only in these values and in
// their repair.
struct YellowPageTexts {
    const char* className;    // "CTestPropPage04"
    const char* title;        // "Geel 1"
    const char* startWingsLog;  // logged by Start Wings, or null
    const char* endLine;      // "Einde corrigeren GEEL 1 "
    bool darkRightHalf;       // which half of the yellow lamp stays unlit
};

class CYellowPageBasis : public CRepairPageBasis {
public:
    CYellowPageBasis(int templateId, const YellowPageTexts& texts)
        : CRepairPageBasis(templateId, 0), m_texts(texts) {}

protected:
    // The number of records this page repairs (g_nYellow1 or g_nYellow2).
    virtual int32_t FileCount() const = 0;
    virtual void OnCorrigeren() = 0;

    bool OnSetActive() override;
    bool OnCommand(int id, int code, HWND ctl) override;
    void OnDrawOverStatus(HDC dc) override;
    void OnStartWings();

    // The progress bar, shown for a run of total units (files, or bytes
    // and files); the bar's 32-bit range is scaled to fit.
    void StartProgress(int64_t total);
    // One unit further, painted at once (one file of yellow 1).
    void StepProgress();
    // Done units so far (yellow 2: the bytes and files handled).
    void SetProgress(int64_t done);
    // The normal end of a run: Start Wings is offered next.
    void EndRun();
    // The help text of a yellow page: which category of yellow files it
    // handles ("eeste", "tweede") and how it remedies them.
    static std::string HelpText(const char* category, const char* remedy);

private:
    YellowPageTexts m_texts;
    int64_t m_nProgressDone = 0;
    int m_nProgressShift = 0;
};
