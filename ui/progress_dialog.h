// The progress dialog of one generation and the worker thread behind it.
//
// The dialog starts GenerationThreadProc when it opens; the worker runs the
// rendering job with the dialog as its ProgressSink and posts
// WM_APP_GENERATION_FINISHED when the job returns, whatever the outcome. The
// dialog then waits for the thread's end while still serving messages and
// closes itself with IDOK. Cancel (button, Esc, WM_CLOSE) only asks the job to
// stop; nothing else closes the dialog.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "dialogkit/control.h"
#include "dialogkit/dialog.h"
#include "dialogkit/handles.h"
#include "synthesis/signal_settings.h"
#include "wav/render_time_signal.h"

class CMarvolenDlg;

// Posted once per run by the worker to the progress dialog; wParam and lParam 0.
inline constexpr UINT WM_APP_GENERATION_FINISHED = WM_APP + 11;

// "作業スレッドの起動に失敗しました。時報生成を中止します。": shown when the
// worker cannot be started; the dialog then ends at once.
extern const wchar_t* const kWorkerStartFailedMessage;

// The job's ErrorReporter on the user-interface side: the program's own
// message box (ShowAppMessage), owned by `owner`. Called on the worker
// thread; returns when the user has closed the box.
class MessageBoxErrorReporter final : public marvolen::ErrorReporter {
 public:
  explicit MessageBoxErrorReporter(HWND owner) : owner_(owner) {}
  void Report(const std::wstring& text) override;

 private:
  HWND owner_;
};

// A thread that is created suspended and runs only once Resume() is called.
// It never deletes itself: whoever holds the object decides when it goes,
// which must be after the thread has ended, since the handle is closed with
// the object. A thread that was never resumed has run no code of ours, so
// the destructor may end it.
class ThreadObject {
 public:
  using Entry = unsigned(__stdcall*)(void*);

  // Null when the thread cannot be created.
  static std::unique_ptr<ThreadObject> BeginSuspended(Entry entry, void* parameter);

  ~ThreadObject();
  ThreadObject(const ThreadObject&) = delete;
  ThreadObject& operator=(const ThreadObject&) = delete;

  // False when the thread could not be resumed; it then stays suspended.
  bool Resume();
  // Signalled once the thread has ended.
  HANDLE handle() const { return handle_.get(); }

 private:
  explicit ThreadObject(HANDLE handle) : handle_(handle) {}

  dialogkit::UniqueHandle handle_;
  bool resumed_ = false;
};

class CDlgProgress : public dialogkit::Dialog, public marvolen::ProgressSink {
 public:
  // `owner` runs this dialog modally and must outlive it. Its settings() are
  // read by the worker for the whole run, which is safe because the owner's
  // window is disabled and its controls locked meanwhile; its window owns
  // the job's message boxes.
  explicit CDlgProgress(CMarvolenDlg* owner);
  ~CDlgProgress() override = default;

  // ProgressSink, called on the worker thread.
  void SetRange(int lower, int upper) override;
  void Advance() override;
  bool IsCancelRequested() override;

  // Seconds finished in this run; read it after DoModal has returned.
  int32_t finishedSteps() const { return FinishedSteps; }

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(dialogkit::DataExchange& dx) override;
  dialogkit::MessageResult OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool OnCommand(int id, int code, HWND control) override;

  // The job the worker runs. Tests override it to hold a run at a chosen
  // point or to make it fail; the program uses RenderTimeSignal.
  virtual marvolen::RenderOutcome RunJob(const marvolen::SignalSettings& settings,
                                         marvolen::ProgressSink& sink,
                                         marvolen::ErrorReporter& reporter);
  // Creates the worker, suspended. Tests override it to fail.
  virtual std::unique_ptr<ThreadObject> BeginWorker();

 private:
  friend unsigned __stdcall GenerationThreadProc(void* parameter);

  void OnOkCommand();
  void OnCancelCommand();
  LRESULT OnGenerationFinished(WPARAM wParam, LPARAM lParam);
  // Blocks until the worker has ended, dispatching this thread's messages.
  void WaitForWorkerEnd();

  CMarvolenDlg* Owner;  // not owned
  // Owned; the only one to delete it is OnGenerationFinished, after the
  // thread has ended.
  std::unique_ptr<ThreadObject> WorkerThread;
  int32_t FinishedSteps = 0;  // worker thread only
  std::atomic<bool> CancelFlag{false};
  dialogkit::Control ProgressBar;
};

// The worker's entry; `parameter` is the CDlgProgress. Runs the job, then
// posts WM_APP_GENERATION_FINISHED to the dialog on every outcome.
unsigned __stdcall GenerationThreadProc(void* parameter);
