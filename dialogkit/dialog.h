// A modal dialog built from a dialog template, with a modal loop of our own.
//
// Writing a dialog:
//
//   class CMyDlg : public dialogkit::Dialog {
//    public:
//     explicit CMyDlg(dialogkit::Dialog* parent) : Dialog(IDD_MY, parent) {}
//    protected:
//     BOOL OnInitDialog() override;                      // after Dialog::OnInitDialog()
//     void DoDataExchange(dialogkit::DataExchange& dx) override;
//     dialogkit::MessageResult OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
//       switch (message) {
//         case WM_APP_SOMETHING: return OnSomething(wParam, lParam);
//       }
//       return Dialog::OnMessage(message, wParam, lParam);   // WM_COMMAND -> OnCommand
//     }
//     bool OnCommand(int id, int code, HWND control) override {
//       switch (id) {
//         case IDC_GO: OnGo(); return true;
//       }
//       return Dialog::OnCommand(id, code, control);          // IDOK, IDCANCEL, ID_HELP
//     }
//   };
//
//   CMyDlg dlg(this);
//   INT_PTR result = dlg.DoModal();   // the value passed to EndDialog
//
// `this` travels through CreateDialogParamW's lParam into DWLP_USER; one static
// dialog procedure forwards every message to OnMessage, and no exception ever
// leaves it (OnUnhandledException reports it instead).
#pragma once

#include <windows.h>

#include <optional>

namespace dialogkit {

class DataExchange;

// What a message handler did: std::nullopt lets the dialog manager's default
// processing run (kDefault); a value is the message's result.
using MessageResult = std::optional<LRESULT>;
inline constexpr MessageResult kDefault = std::nullopt;

// The command the F1 key sends to a dialog (the classic framework value).
inline constexpr int ID_HELP = 0xE146;

class Dialog {
 public:
  // `templateId`: the DIALOG resource in the executable. `parent`: the owner
  // window while the dialog runs; without one, the active window of this
  // thread (if any) becomes the owner.
  explicit Dialog(UINT templateId, Dialog* parent = nullptr);
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Creates the window (WM_INITDIALOG runs inside), disables the owner, shows
  // the dialog if its template is not visible, and runs the modal loop until
  // EndDialog. The owner is enabled again before the window is destroyed, so
  // it gets the activation back. Returns the EndDialog value; -1 when the
  // window could not be created or the message queue failed; IDCANCEL when a
  // WM_QUIT arrived (it is posted again for the next loop out).
  INT_PTR DoModal();

  // Ends the modal loop after the current message; DoModal returns `result`.
  // Safe to call from OnInitDialog, then no loop runs at all.
  void EndDialog(INT_PTR result);

  // Gets one message from the queue (blocking), lets the pre-translation
  // chain see it (this dialog, then the dialogs that own it, until one
  // returns true), then translates and dispatches it. False on WM_QUIT (which
  // is posted again) or when the queue fails. The modal loop is made of this;
  // a handler that must wait while serving messages can call it too.
  bool PumpMessage();

  // Runs DoDataExchange towards the controls (false) or from them (true). From
  // the controls it stops at the first failing binding: the failure's message
  // is shown (AppMessageBox, exclamation icon), the keyboard focus goes to
  // that control and an edit gets all its text selected. Returns false then.
  bool UpdateData(bool saveAndValidate = true);

  HWND hwnd() const { return hwnd_; }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(hwnd_, id); }
  UINT templateId() const { return templateId_; }
  Dialog* parent() const { return parent_; }

 protected:
  // WM_INITDIALOG. The base runs UpdateData(false). Return TRUE to let the
  // dialog manager focus the first tab stop, FALSE when focus was set here.
  virtual BOOL OnInitDialog();

  // The bindings between members and controls, both directions. Empty here.
  virtual void DoDataExchange(DataExchange& dx);

  // Sees every message PumpMessage gets before it is dispatched; true means
  // it was handled and is not dispatched. The base turns F1 (no Shift, Ctrl
  // or Alt) on this dialog into OnHelp and gives keyboard messages of this
  // dialog to IsDialogMessageW (Tab, arrows, Enter -> IDOK, Esc -> IDCANCEL).
  virtual bool PreTranslateMessage(MSG& msg);

  // Every window message of the dialog after WM_INITDIALOG. The base routes
  // WM_COMMAND to OnCommand and leaves everything else to the default.
  virtual MessageResult OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // WM_COMMAND; true when handled. The base: IDOK -> OnOK, IDCANCEL ->
  // OnCancel, ID_HELP -> OnHelp.
  virtual bool OnCommand(int id, int code, HWND control);

  // The base: UpdateData(true), then EndDialog(IDOK) if it succeeded.
  virtual void OnOK();
  // The base: EndDialog(IDCANCEL), no data exchange.
  virtual void OnCancel();
  // F1 or ID_HELP. No help engine exists on current systems, so the base
  // reports the failure the way the classic framework does:
  // "ヘルプの起動に失敗しました。" (AppMessageBox, exclamation icon).
  virtual void OnHelp();
  // An exception reached the dialog procedure: the base shows the
  // internal-error report (ReportError with E_UNEXPECTED).
  virtual void OnUnhandledException();

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleInitDialog();
  HWND FindOwner() const;

  UINT templateId_;
  Dialog* parent_;
  HWND hwnd_ = nullptr;
  bool ended_ = false;
  bool quit_ = false;  // the last PumpMessage met WM_QUIT
  INT_PTR result_ = -1;
};

}  // namespace dialogkit
