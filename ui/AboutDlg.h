#pragma once

#include "framework/Dialog.h"

// The About box: the program's icon, name, version and a line on what it does.
class CAboutDlg : public CDialog
{
public:
    // pParent owns the box: the window whose menu opened it.
    explicit CAboutDlg(CWnd* pParent = nullptr);
    ~CAboutDlg() override;

protected:
    // Shows the icon at the size this DPI asks for.
    BOOL OnInitDialog() override;

private:
    HICON m_hIcon;
};
