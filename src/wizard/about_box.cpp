#include "wizard/about_box.h"

#include "resource.h"

CAboutBox::CAboutBox() : CModalDialog(IDD_ABOUTBOX) {}
