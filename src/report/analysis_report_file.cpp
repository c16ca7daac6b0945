#include "report/analysis_report_file.h"

#include "report/report_file.h"
#include "report/report_html.h"
#include "report/report_rows.h"
#include "report/show_check.h"
#include "services/state.h"

namespace {
class CAnalysisReportFile final : public CAnalysisReport {
public:
    void OnPlaced(const PlacedReference& placed) override { m_collector.OnPlaced(placed); }
    void Clear() override { m_collector.Clear(); }
    void SetNext(CPlacementSink* next) override { m_collector.SetNext(next); }

    void SaveAs(HWND__* owner, const std::string& show) override {
        SaveReportAs(owner, ReportFileName(show), [this, &show] {
            ShowReport report =
                m_collector.Report(show, g_szShowDrive, g_szShowDir, WizardCounts(), CurrentSubfolderNames());
            report.networkPaths = g_aNetworkPaths;
            report.checkedFiles = g_aCheckedFiles;
            return ShowReportHtml(report, ReportTimeNow());
        });
    }

private:
    CReportCollector m_collector;
};
}  // namespace

std::unique_ptr<CAnalysisReport> MakeAnalysisReport() { return std::make_unique<CAnalysisReportFile>(); }
