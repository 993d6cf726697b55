#pragma once

#include "framework/Dialog.h"

// The About box: the program's name, version and a line on what it does.
class CAboutDlg : public CDialog
{
public:
    CAboutDlg();
};
