// "Bestanden nakijken", as the analysis page offers it: every file of the
// show read to its end to see whether it is whole. The check lies above
// the analysis (media/), so the application registers a maker at start.
#pragma once

#include <memory>
#include <string>
#include <vector>

struct HWND__;

class CContentReview {
public:
    virtual ~CContentReview() = default;
    // A new analysis named these files (those that exist): what an earlier
    // check found about a file no longer named, or changed since, is gone.
    virtual void AfterAnalysis(const std::vector<std::string>& files) = 0;
    // Opens the dialog over owner, which reads these files.
    virtual void Open(HWND__* owner, const std::vector<std::string>& files) = 0;
};

// Set by the application; without it the page offers no check.
using ContentReviewMaker = std::unique_ptr<CContentReview> (*)();
extern ContentReviewMaker g_pfnMakeContentReview;
