#pragma once

#include "framework/Wnd.h"

// A single-line edit. Its text goes through Get/SetWindowText; EN_CHANGE,
// sent for typing and for every SetWindowText, reaches a derived class's
// ON_CONTROL_REFLECT entry.
class CEdit : public CWnd
{
};
