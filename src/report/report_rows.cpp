#include "report/report_rows.h"

#include "files/classify.h"
#include "repair/repair_plan.h"

namespace {

// What the wizard would do about a red or yellow file; empty for green.
std::string ActionText(int kind, const std::string& leaf, ReportColour colour, const TargetFolders& folders) {
    switch (colour) {
    case ReportColour::Green:
        return std::string();
    case ReportColour::Red:
        return "Niets. Zoek het bestand op de pagina Bestanden met rode stip met de knop Bestanden zoeken..., "
               "of laat Wings het zoeken met de knop Start Wings.";
    case ReportColour::Yellow1:
    case ReportColour::Yellow2:
        break;
    }
    const std::string* folder = TargetFolderOf(folders, kind);
    if (!folder)
        return "Niets: Zekerpad verplaatst of kopieert geen show. Corrigeren stopt bij deze show, en de gele "
               "bestanden die erna komen, blijven staan waar ze staan. Verplaats deze show zelf.";
    if (colour == ReportColour::Yellow1) return "Verplaatsen naar " + *folder + leaf;
    return "Kopiëren naar " + *folder + leaf + " (daarna wordt het origineel gewist of hernoemd naar .bak, naar uw keuze)";
}

}  // namespace

void CReportCollector::OnPlaced(const PlacedReference& placed) {
    const CFileReference& record = placed.record;
    Placed p;
    p.row.path = record.m_csPath;
    p.row.kind = record.m_nKind;
    p.row.size = record.m_nSize;
    p.row.exists = record.m_nExists;
    p.image = placed.image;
    p.chDrive = record.m_chDrive;
    if (placed.image == kImageYellow) p.leaf = record.m_csName + record.m_csExt;
    m_placed.push_back(std::move(p));
    if (m_pNext) m_pNext->OnPlaced(placed);
}

ShowReport CReportCollector::Report(const std::string& showPath, const std::string& showDrive,
                                    const std::string& showDir, const ReportCounts& counts,
                                    const SubfolderNames& names) const {
    const TargetFolders folders = BuildTargetFolders(showDrive, showDir, names.audio, names.plaatjes, names.overige);
    ShowReport report;
    report.showPath = showPath;
    report.counts = counts;
    report.rows.reserve(m_placed.size());
    for (const Placed& p : m_placed) {
        ReportRow row = p.row;
        if (p.image == kImageRed)
            row.colour = ReportColour::Red;
        else if (p.image == kImageGreen)
            row.colour = ReportColour::Green;
        else
            row.colour = IsYellow1(p.chDrive, showDrive) ? ReportColour::Yellow1 : ReportColour::Yellow2;
        row.action = ActionText(row.kind, p.leaf, row.colour, folders);
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
