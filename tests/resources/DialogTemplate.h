#pragma once

// Reads an extended dialog template (DLGTEMPLATEEX) from the module's
// resources, so tests can see the styles exactly as written in the resource
// script, before the controls adjust them at run time.

#include "framework/Platform.h"

#include <string>
#include <vector>

// A name-or-ordinal field of a template: a class, a text, or a resource ID.
struct TemplateName
{
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::wstring text;
};

struct DialogTemplateItem
{
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT dialogUnits = {};  // left, top, right, bottom
    int id = 0;
    TemplateName windowClass;
    TemplateName title;
};

struct DialogTemplate
{
    DWORD style = 0;
    DWORD exStyle = 0;
    SIZE dialogUnits = {};
    std::wstring title;
    WORD pointSize = 0;
    std::wstring typeface;
    std::vector<DialogTemplateItem> items;
};

// Throws std::runtime_error when the resource is missing or not a DLGTEMPLATEEX.
DialogTemplate ReadDialogTemplate(HMODULE module, WORD templateId);
