// The application: it has no window of its own, the wizard is the
// application. Start-up runs the wizard and ends the process.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "services/app_operations.h"

class CPropertyPage;
class CPropertySheetWingsTest;
struct HWND__;

class CWingsTestApp final : public CWingsTestAppOperations {
public:
    CWingsTestApp();
    ~CWingsTestApp();

    // Runs the whole program: log, settings, the modal wizard, settings
    // back, log closed. Returns false: there is no message loop after it.
    bool InitInstance();

    // A show handed on the command line: chosen at start-up as if typed on
    // the selection page (and so kept in the settings).
    void SetStartShow(std::string path) { m_csStartShow = std::move(path); }
    // A show handed on the command line that is not there: said in a
    // message, and the wizard opens at the selection page to choose one.
    void SetMissingShow(std::string path) { m_csMissingShow = std::move(path); }

    // Builds the wizard with its eight pages in their fixed order, without
    // showing it. Start-up and tests share it.
    void BuildWizard();
    CPropertySheetWingsTest* Sheet() const { return m_pSheet.get(); }
    CPropertyPage* Page(int index) const { return m_pages.at(static_cast<size_t>(index)).get(); }
    void DestroyWizard();

    // Operations the pages reach through g_pApp.
    bool CreateShowSubfolders() override;
    void ClearResultLists() override;
    bool StartWings() override;

private:
    // The wizard's window (or the active one before it exists).
    HWND__* WizardWindow() const;

    std::unique_ptr<CPropertySheetWingsTest> m_pSheet;
    std::vector<std::unique_ptr<CPropertyPage>> m_pages;
    std::string m_csStartShow;
    std::string m_csMissingShow;
};

// The caption of the wizard.
extern const char kWizardCaption[];
