#include "report/report_rows.h"

#include "analysis/classify.h"
#include "repair/repair_plan.h"

void CReportCollector::OnPlaced(const PlacedReference& placed) {
    m_placed.push_back(Placed{placed.record, placed.image});
    if (m_pNext) m_pNext->OnPlaced(placed);
}

ShowReport CReportCollector::Report(const std::string& showPath, const std::string& showDrive,
                                    const std::string& showDir, const ReportCounts& counts,
                                    const SubfolderNames& names) const {
    ShowReport report;
    report.showPath = showPath;
    report.counts = counts;
    report.rows.reserve(m_placed.size());
    for (const Placed& p : m_placed) {
        ReportRow row;
        row.path = p.record.m_csPath;
        row.kind = p.record.m_nKind;
        row.size = p.record.m_nSize;
        row.exists = p.record.m_nExists;
        if (p.image == kImageRed)
            row.colour = ReportColour::Red;
        else if (p.image == kImageGreen)
            row.colour = ReportColour::Green;
        else
            row.colour = IsYellow1(p.record.m_chDrive, showDrive) ? ReportColour::Yellow1 : ReportColour::Yellow2;
        row.action = ActionText(p.record, row.colour, showDrive, showDir, names);
        report.rows.push_back(std::move(row));
    }
    return report;
}

ReportCounts CountsOf(const ShowResults& r) {
    ReportCounts c;
    c.red = r.nRed;
    c.yellow = r.nYellow;
    c.yellow1 = r.nYellow1;
    c.yellow2 = r.nYellow2;
    c.green = r.nGreen;
    c.other = r.nOther;
    c.totalBytes = r.totalBytes;
    return c;
}

std::string ActionText(const CFileReference& record, ReportColour colour, const std::string& showDrive,
                       const std::string& showDir, const SubfolderNames& names) {
    switch (colour) {
    case ReportColour::Green:
        return std::string();
    case ReportColour::Red:
        return "Niets: start Wings vanaf de pagina met rode bestanden en laat Wings het bestand opnieuw zoeken.";
    case ReportColour::Yellow1:
    case ReportColour::Yellow2:
        break;
    }
    const TargetFolders folders = BuildTargetFolders(showDrive, showDir, names.audio, names.plaatjes, names.overige);
    const std::string* folder = TargetFolderOf(folders, record.m_nKind);
    if (!folder) return "Niets: een show verplaatst of kopieert Zekerpad niet; verplaats deze show zelf.";
    const std::string target = TargetPath(*folder, record);
    if (colour == ReportColour::Yellow1) return "Verplaatsen naar " + target;
    return "Kopiëren naar " + target + " (daarna wordt het origineel gewist of hernoemd naar .bak, naar uw keuze)";
}
