#include "DialogTemplate.h"

#include <cstring>
#include <stdexcept>

namespace {

// Walks the template's little-endian fields; every read is bounds-checked, as
// a broken template must fail the test rather than read past the resource.
class TemplateReader
{
public:
    TemplateReader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    WORD Word() { return Read<WORD>(); }
    DWORD Dword() { return Read<DWORD>(); }
    short Short() { return Read<short>(); }
    BYTE Byte() { return Read<BYTE>(); }

    std::wstring String()
    {
        std::wstring text;
        for (wchar_t ch = static_cast<wchar_t>(Word()); ch != L'\0'; ch = static_cast<wchar_t>(Word())) {
            text += ch;
        }
        return text;
    }

    // 0x0000: no name; 0xFFFF: an ordinal follows; otherwise a string.
    TemplateName Name()
    {
        TemplateName name;
        const WORD first = Read<WORD>(false);
        if (first == 0xFFFF) {
            Word();
            name.isOrdinal = true;
            name.ordinal = Word();
        } else {
            name.text = String();
        }
        return name;
    }

    void Skip(size_t bytes)
    {
        Need(bytes);
        m_offset += bytes;
    }

    // Each item starts on a DWORD boundary.
    void AlignToDword() { Skip((4 - m_offset % 4) % 4); }

private:
    template <typename T>
    T Read(bool advance = true)
    {
        Need(sizeof(T));
        T value;
        std::memcpy(&value, m_data + m_offset, sizeof(T));
        if (advance) {
            m_offset += sizeof(T);
        }
        return value;
    }

    void Need(size_t bytes) const
    {
        if (m_offset + bytes > m_size) {
            throw std::runtime_error("dialog template ends early");
        }
    }

    const BYTE* m_data;
    size_t m_size;
    size_t m_offset = 0;
};

RECT ReadRect(TemplateReader& reader)
{
    const int x = reader.Short();
    const int y = reader.Short();
    const int width = reader.Short();
    const int height = reader.Short();
    return RECT{x, y, x + width, y + height};
}

} // namespace

DialogTemplate ReadDialogTemplate(HMODULE module, WORD templateId)
{
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5 /* RT_DIALOG */));
    if (!found) {
        throw std::runtime_error("no dialog template " + std::to_string(templateId));
    }
    TemplateReader reader(static_cast<const BYTE*>(LockResource(LoadResource(module, found))),
                          SizeofResource(module, found));

    if (reader.Word() != 1 || reader.Word() != 0xFFFF) {
        throw std::runtime_error("not an extended dialog template");
    }
    DialogTemplate dialog;
    reader.Dword();  // help ID
    dialog.exStyle = reader.Dword();
    dialog.style = reader.Dword();
    const WORD itemCount = reader.Word();
    const RECT frame = ReadRect(reader);
    dialog.dialogUnits = SIZE{frame.right - frame.left, frame.bottom - frame.top};
    reader.Name();  // menu
    reader.Name();  // window class
    dialog.title = reader.String();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog.pointSize = reader.Word();
        reader.Word();  // weight
        reader.Byte();  // italic
        reader.Byte();  // character set
        dialog.typeface = reader.String();
    }

    for (WORD i = 0; i < itemCount; ++i) {
        reader.AlignToDword();
        DialogTemplateItem item;
        reader.Dword();  // help ID
        item.exStyle = reader.Dword();
        item.style = reader.Dword();
        item.dialogUnits = ReadRect(reader);
        item.id = static_cast<int>(reader.Dword());
        item.windowClass = reader.Name();
        item.title = reader.Name();
        reader.Skip(reader.Word());  // creation data
        dialog.items.push_back(item);
    }
    return dialog;
}
