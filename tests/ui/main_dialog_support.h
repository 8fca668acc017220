// Fixtures of the main-dialog tests: an in-memory settings store and a main
// dialog whose generation step can be watched.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "settings/profile_store.h"
#include "ui/marvolen_dlg.h"

namespace uitest {

// A settings file held in memory: values as the text a file would hold,
// every write recorded in order. Integers read as the profile functions read
// them (leading blanks, sign, digits; the default when the key is absent).
class MemoryStore final : public marvolen::ProfileStore {
 public:
  std::map<std::wstring, std::wstring> values;
  std::vector<std::pair<std::wstring, std::wstring>> writes;

  int32_t GetProfileInt(const std::wstring& section, const std::wstring& key,
                        int32_t fallback) override;
  std::wstring GetProfileString(const std::wstring& section, const std::wstring& key,
                                const std::wstring& fallback) override;
  bool WriteProfileInt(const std::wstring& section, const std::wstring& key,
                       int32_t value) override;
  bool WriteProfileString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& value) override;
};

// What the dialog looked like while its generation step ran.
struct GenerationSnapshot {
  marvolen::SignalSettings settings;
  std::vector<bool> lockedControlsEnabled;  // in kLockedControlIds order
  bool closeItemGrayed = false;
  bool classHasNoClose = false;
};

// The state the close box depends on, read from the dialog's window.
bool CloseItemGrayed(HWND dialog);
bool ClassHasNoClose(HWND dialog);
// Enabled state of every control of kLockedControlIds, in table order.
std::vector<bool> LockedControlsEnabled(HWND dialog);

// The main dialog with its generation step recorded instead of run, unless
// `render` is set; the about box is only counted.
class WatchedMainDialog : public CMarvolenDlg {
 public:
  explicit WatchedMainDialog(marvolen::ProfileStore& store, bool render = false)
      : CMarvolenDlg(store), render_(render) {}

  // Read after DoModal; the driver thread watches generationCount.
  std::vector<GenerationSnapshot> generations;
  std::atomic<int> generationCount{0};
  int aboutBoxes = 0;

 protected:
  void RunGeneration() override;
  void ShowAboutBox() override { ++aboutBoxes; }

 private:
  bool render_;
};

}  // namespace uitest
