#include "app/page_registry.h"

#include "analysis/analysis_page.h"
#include "analysis/show_scan.h"
#include "media/content_dialog.h"
#include "pages/closing_page.h"
#include "pages/intro_page.h"
#include "pages/other_page.h"
#include "repair/red_page.h"
#include "report/analysis_report_file.h"
#include "repair/yellow1_page.h"
#include "repair/yellow2_page.h"
#include "selection/selection_page.h"
#include "wizard/page_base.h"

namespace {
template <typename T>
std::unique_ptr<CPropertyPage> Make() { return std::make_unique<T>(); }

struct Entry {
    const char* name;
    std::unique_ptr<CPropertyPage> (*create)();
};

const Entry kClasses[] = {
    {"CTestPropPageBasis", &Make<CTestPropPageBasis>},
    {"CTestPropPage00", &Make<CTestPropPage00>},
    {"CTestPropPage01", &Make<CTestPropPage01>},
    {"CTestPropPage02", &Make<CTestPropPage02>},
    {"CTestPropPage03", &Make<CTestPropPage03>},
    {"CTestPropPage04", &Make<CTestPropPage04>},
    {"CTestPropPage05", &Make<CTestPropPage05>},
    {"CTestPropPage06", &Make<CTestPropPage06>},
    {"CTestPropPage99", &Make<CTestPropPage99>},
};
}  // namespace

std::unique_ptr<CPropertyPage> CreatePageByClassName(const std::string& name) {
    for (const Entry& e : kClasses)
        if (name == e.name) return e.create();
    return nullptr;
}

void RegisterFeatures() {
    g_pfnMakeAnalysisReport = &MakeAnalysisReport;
    g_pfnStatusLamp = &WizardLamp;
    g_pfnMakeContentReview = &MakeContentReview;
}
