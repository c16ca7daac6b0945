// "Over Wings Zekerpad": names the program and its version.
#pragma once

#include "wizard/dialog.h"

class CAboutBox : public CModalDialog {
public:
    CAboutBox();
};
