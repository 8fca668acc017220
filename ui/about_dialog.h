// The about dialog: the product title with the executable's version, a
// copyright line and a rights-holder line beside the application icon.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "dialogkit/dialog.h"

// The file version of a version resource, as its four numbers.
struct FileVersion {
  uint16_t major = 0;
  uint16_t minor = 0;
  uint16_t build = 0;
  uint16_t revision = 0;
};

// The file version in the version resource of the file at `path`; nothing
// when the file has no version resource or it cannot be read.
std::optional<FileVersion> ReadFileVersion(const std::wstring& path);

// `prefix` followed directly by "%d.%d%d (%d.%d.%d.%d)" of major, minor,
// build, major, minor, build, revision. Minor and build stand side by side:
// "Marvolen Version" and 1.0.6.0 give "Marvolen Version1.06 (1.0.6.0)".
std::wstring FormatVersionLine(const std::wstring& prefix, const FileVersion& version);

// Resizes the static control `id` of `dialog` to the extent of its own text in
// its own font, keeping its position.
void FitStaticToText(HWND dialog, int id);

class CAboutDlg : public dialogkit::Dialog {
 public:
  // Where the version comes from; nothing keeps the template's placeholder.
  using VersionSource = std::function<std::optional<FileVersion>()>;

  // The version of the running executable.
  CAboutDlg();
  // Tests hand in the version to show.
  explicit CAboutDlg(VersionSource versionSource);

 protected:
  BOOL OnInitDialog() override;

 private:
  VersionSource versionSource_;
};
