// What the pages ask of the application object through g_pApp. The
// application lives on top (app/) and implements this; the pages below it
// know only this interface, so none of them includes the entry point.
#pragma once

class CWingsTestAppOperations {
public:
    // The show's three subfolders, made (or found) before a repair.
    virtual bool CreateShowSubfolders() = 0;
    // Empties the three result lists; the records go with them.
    virtual void ClearResultLists() = 0;
    // Starts Wings on the chosen show and waits until it ends; false when
    // Wings was not found or could not be started.
    virtual bool StartWings() = 0;

protected:
    ~CWingsTestAppOperations() = default;
};
