#include "tests/ui/dialog_template.h"

#include <cstring>

namespace uitest {
namespace {

// Walks the template's words; every read is checked against its size.
class Reader {
 public:
  Reader(const BYTE* data, size_t size) : data_(data), size_(size) {}

  bool ok() const { return ok_; }
  template <typename T>
  T Read() {
    T value{};
    if (offset_ + sizeof(T) > size_) {
      ok_ = false;
      return value;
    }
    std::memcpy(&value, data_ + offset_, sizeof(T));
    offset_ += sizeof(T);
    return value;
  }
  std::wstring ReadString() {
    std::wstring text;
    for (wchar_t c = Read<wchar_t>(); ok_ && c != 0; c = Read<wchar_t>()) text += c;
    return text;
  }
  // A name or, after 0xFFFF, an ordinal.
  std::wstring ReadNameOrOrdinal(WORD* ordinal) {
    *ordinal = 0;
    const WORD first = Read<WORD>();
    if (first == 0) return {};
    if (first == 0xFFFF) {
      *ordinal = Read<WORD>();
      return {};
    }
    std::wstring text(1, static_cast<wchar_t>(first));
    return text + ReadString();
  }
  void AlignToDword() { offset_ = (offset_ + 3) & ~size_t{3}; }
  void Skip(size_t bytes) { offset_ += bytes; }

 private:
  const BYTE* data_;
  size_t size_;
  size_t offset_ = 0;
  bool ok_ = true;
};

std::wstring PredefinedClass(WORD atom) {
  switch (atom) {
    case 0x0080:
      return L"Button";
    case 0x0081:
      return L"Edit";
    case 0x0082:
      return L"Static";
    case 0x0083:
      return L"ListBox";
    case 0x0084:
      return L"ScrollBar";
    case 0x0085:
      return L"ComboBox";
  }
  return L"#" + std::to_wstring(atom);
}

// Resource compilers store a predefined class as an ordinal or by name in
// any case; both give the class's usual spelling.
std::wstring CanonicalClass(const std::wstring& name) {
  for (WORD atom = 0x0080; atom <= 0x0085; ++atom) {
    const std::wstring known = PredefinedClass(atom);
    if (_wcsicmp(known.c_str(), name.c_str()) == 0) return known;
  }
  return name;
}

RECT ReadUnits(Reader& reader) {
  const short x = reader.Read<short>();
  const short y = reader.Read<short>();
  const short cx = reader.Read<short>();
  const short cy = reader.Read<short>();
  return RECT{x, y, x + cx, y + cy};
}

}  // namespace

std::optional<DialogTemplate> LoadDialogTemplate(UINT id, LANGID language) {
  const HMODULE module = ::GetModuleHandleW(nullptr);
  const HRSRC found = ::FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(id), language);
  if (!found) return std::nullopt;
  const HGLOBAL loaded = ::LoadResource(module, found);
  const auto* data = static_cast<const BYTE*>(::LockResource(loaded));
  if (!data) return std::nullopt;
  Reader reader(data, ::SizeofResource(module, found));

  DialogTemplate dialog;
  if (reader.Read<WORD>() != 1 || reader.Read<WORD>() != 0xFFFF) return std::nullopt;
  reader.Read<DWORD>();  // help id
  dialog.exStyle = reader.Read<DWORD>();
  dialog.style = reader.Read<DWORD>();
  const WORD count = reader.Read<WORD>();
  dialog.units = ReadUnits(reader);
  WORD ordinal = 0;
  reader.ReadNameOrOrdinal(&ordinal);  // menu
  reader.ReadNameOrOrdinal(&ordinal);  // class
  dialog.caption = reader.ReadString();
  if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
    dialog.pointSize = reader.Read<WORD>();
    reader.Read<WORD>();  // weight
    reader.Read<BYTE>();  // italic
    reader.Read<BYTE>();  // character set
    dialog.fontFace = reader.ReadString();
  }
  for (WORD i = 0; i < count && reader.ok(); ++i) {
    reader.AlignToDword();
    TemplateItem item;
    reader.Read<DWORD>();  // help id
    item.exStyle = reader.Read<DWORD>();
    item.style = reader.Read<DWORD>();
    item.units = ReadUnits(reader);
    item.id = static_cast<int>(reader.Read<DWORD>());
    const std::wstring className = reader.ReadNameOrOrdinal(&ordinal);
    item.className = ordinal ? PredefinedClass(ordinal) : CanonicalClass(className);
    item.text = reader.ReadNameOrOrdinal(&ordinal);
    reader.Skip(reader.Read<WORD>());  // creation data
    dialog.items.push_back(item);
  }
  if (!reader.ok()) return std::nullopt;
  return dialog;
}

}  // namespace uitest
