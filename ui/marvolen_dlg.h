// The main dialog: every generation parameter, the generate button, and save
// and exit. It owns the one SignalSettings record and exchanges it with its
// controls; it is the owner of the message boxes of a generation.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "dialogkit/control.h"
#include "dialogkit/dialog.h"
#include "settings/profile_store.h"
#include "synthesis/signal_settings.h"

// Sent by the main dialog to itself, synchronously; wParam and lParam 0.
inline constexpr UINT WM_APP_ENABLE_CONTROLS = WM_APP + 1;   // unlock: controls, close box
inline constexpr UINT WM_APP_DISABLE_CONTROLS = WM_APP + 2;  // lock them

// The controls that lock and unlock act on, in this order, ended by -1.
extern const int kLockedControlIds[];

// "コントロールID[%d]は、ダイアログ画面内に存在しません。" for one id.
std::wstring MissingControlMessage(int id);

// The refusal of a generation when a radio group of `groupName` has no
// button checked (a code outside its values came from the settings file).
std::wstring NoChoiceMessage(const std::wstring& groupName);

class CMarvolenDlg : public dialogkit::Dialog {
 public:
  // No parent window. `store` is the settings file; it is read once when the
  // dialog opens and written once on save and exit, and must outlive the dialog.
  explicit CMarvolenDlg(marvolen::ProfileStore& store);
  ~CMarvolenDlg() override = default;

  // The record a generation reads. Not written while a generation runs.
  const marvolen::SignalSettings& settings() const { return settings_; }

 protected:
  void DoDataExchange(dialogkit::DataExchange& dx) override;
  bool PreTranslateMessage(MSG& msg) override;
  BOOL OnInitDialog() override;
  dialogkit::MessageResult OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool OnCommand(int id, int code, HWND control) override;

  // The generation itself, between the lock and the unlock: runs the
  // rendering job on settings() with this window owning its message boxes.
  // The progress dialog replaces this with its modal run.
  virtual void RunGeneration();

  // Opens the about dialog (window-menu item IDM_ABOUTBOX).
  virtual void ShowAboutBox();

  // Handlers, in the order of the dispatch.
  dialogkit::MessageResult OnSysCommand(UINT id, LPARAM parameter);
  dialogkit::MessageResult OnPaint();
  HICON OnQueryDragIcon();
  void OnGenerate();
  void OnExitWithoutSaving();
  void OnSaveAndExit();
  LRESULT OnEnableControls(WPARAM wParam, LPARAM lParam);
  LRESULT OnDisableControls(WPARAM wParam, LPARAM lParam);

  // Enables or disables every control of kLockedControlIds; a missing one is
  // reported and skipped.
  void EnableLockedControls(bool enable);

  // False, after telling the user which group, when a radio group has no
  // button checked: no generation may run with such a code.
  bool CheckChoices();

 private:
  marvolen::SignalSettings settings_;
  marvolen::ProfileStore& store_;
  HICON icon_;  // a shared resource icon: never destroyed
  dialogkit::Control fileNameEdit_;
  dialogkit::ComboBox rateList_;
};
