#include "ui/ProgramIcon.h"

#include "framework/Icon.h"
#include "res/resource.h"

HICON LoadProgramIcon(int metric)
{
    // The program is DPI-aware (its manifest says so): the metrics are in
    // real pixels at the system's DPI.
    return LoadIconOfSize(::GetModuleHandleW(nullptr), IDR_MAINFRAME, ::GetSystemMetrics(metric),
                          IDR_MAINFRAME_PLAIN_SIZE);
}
