// Reads a DIALOGEX template from the executable's resources, so tests can
// compare it field by field with the layout it must have.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace uitest {

struct TemplateItem {
  std::wstring className;  // "Button", "Edit", "Static", "ComboBox" or the name given
  int id = 0;
  std::wstring text;
  RECT units{};  // left, top, right, bottom in dialog units
  DWORD style = 0;
  DWORD exStyle = 0;
};

struct DialogTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT units{};
  std::wstring caption;
  WORD pointSize = 0;
  std::wstring fontFace;
  std::vector<TemplateItem> items;
};

// The extended dialog template `id` in language `language`; nothing when it
// is missing or not a DIALOGEX.
std::optional<DialogTemplate> LoadDialogTemplate(UINT id, LANGID language);

}  // namespace uitest
