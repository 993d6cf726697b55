#pragma once

#include "framework/Dialog.h"

// The About box: the program's icon, name, version and a line on what it does.
class CAboutDlg : public CDialog
{
public:
    CAboutDlg();
    ~CAboutDlg() override;

protected:
    // Shows the icon at the size this DPI asks for.
    BOOL OnInitDialog() override;

private:
    HICON m_hIcon;
};
