#include "ui/progress_dialog.h"

#include <commctrl.h>
#include <process.h>

#include "dialogkit/data_exchange.h"
#include "dialogkit/message_box.h"
#include "ui/app_title.h"
#include "ui/marvolen_dlg.h"
#include "ui/res/resource.h"

const wchar_t* const kWorkerStartFailedMessage =
    L"作業スレッドの起動に失敗しました。時報生成を中止します。";

void MessageBoxErrorReporter::Report(const std::wstring& text) { ShowAppMessage(owner_, text); }

std::unique_ptr<ThreadObject> ThreadObject::BeginSuspended(Entry entry, void* parameter) {
  // _beginthreadex, not CreateThread, so the C runtime is set up for the
  // thread; default stack size, normal priority.
  const uintptr_t handle =
      ::_beginthreadex(nullptr, 0, entry, parameter, CREATE_SUSPENDED, nullptr);
  if (handle == 0) return nullptr;
  return std::unique_ptr<ThreadObject>(new ThreadObject(reinterpret_cast<HANDLE>(handle)));
}

ThreadObject::~ThreadObject() {
  if (handle_ && !resumed_) ::TerminateThread(handle_.get(), 0);
}

bool ThreadObject::Resume() {
  if (!handle_ || resumed_) return false;
  resumed_ = ::ResumeThread(handle_.get()) != static_cast<DWORD>(-1);
  return resumed_;
}

CDlgProgress::CDlgProgress(CMarvolenDlg* owner) : Dialog(IDD_PROGRESS, owner), Owner(owner) {}

void CDlgProgress::SetRange(int lower, int upper) {
  FinishedSteps = 0;
  // SendMessage, not PostMessage: the worker waits until the bar has its range.
  ProgressBar.Send(PBM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
}

void CDlgProgress::Advance() {
  ++FinishedSteps;
  // SendMessage so the worker waits until the bar has moved.
  ProgressBar.Send(PBM_DELTAPOS, 1, 0);
}

// The worker polls the flag after every frame: it must never take a lock.
static_assert(std::atomic<bool>::is_always_lock_free);

bool CDlgProgress::IsCancelRequested() {
  // Polled after every frame. Nothing is published through the flag, so a
  // relaxed load does; a request is seen at the latest one frame later.
  return CancelFlag.load(std::memory_order_relaxed);
}

BOOL CDlgProgress::OnInitDialog() {
  Dialog::OnInitDialog();  // binds ProgressBar
  ProgressBar.Send(PBM_SETPOS, 0, 0);

  // The worker must not run before WorkerThread is set: it is created
  // suspended and resumed only once the dialog holds it.
  WorkerThread = BeginWorker();
  if (!WorkerThread || !WorkerThread->Resume()) {
    // Without a worker no finish message would ever come to close the dialog.
    WorkerThread.reset();
    ShowAppMessage(Owner->hwnd(), kWorkerStartFailedMessage);
    EndDialog(IDOK);
  }
  return TRUE;
}

void CDlgProgress::DoDataExchange(dialogkit::DataExchange& dx) {
  dx.Control(IDC_PROGRESS, ProgressBar);
}

dialogkit::MessageResult CDlgProgress::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_APP_GENERATION_FINISHED:
      return OnGenerationFinished(wParam, lParam);
  }
  return Dialog::OnMessage(message, wParam, lParam);
}

bool CDlgProgress::OnCommand(int id, int code, HWND control) {
  switch (id) {
    case IDOK:
      OnOkCommand();
      return true;
    case IDCANCEL:
      OnCancelCommand();
      return true;
  }
  return Dialog::OnCommand(id, code, control);
}

marvolen::RenderOutcome CDlgProgress::RunJob(const marvolen::SignalSettings& settings,
                                             marvolen::ProgressSink& sink,
                                             marvolen::ErrorReporter& reporter) {
  return marvolen::RenderTimeSignal(settings, &sink, reporter);
}

std::unique_ptr<ThreadObject> CDlgProgress::BeginWorker() {
  return ThreadObject::BeginSuspended(&GenerationThreadProc, this);
}

// Enter lands here through the hidden default button: the run goes on.
void CDlgProgress::OnOkCommand() {}

// Cancel, Esc and WM_CLOSE: only ask the job to stop. The dialog closes when
// the worker reports back, after the job has deleted the file.
void CDlgProgress::OnCancelCommand() { CancelFlag.store(true, std::memory_order_relaxed); }

LRESULT CDlgProgress::OnGenerationFinished(WPARAM, LPARAM) {
  WaitForWorkerEnd();
  WorkerThread.reset();  // the thread has ended: closing its handle is safe now
  Dialog::OnOK();        // nothing to exchange; EndDialog(IDOK)
  return 0;
}

void CDlgProgress::WaitForWorkerEnd() {
  if (!WorkerThread) return;
  const HANDLE thread = WorkerThread->handle();
  for (;;) {
    // Peek before pumping: it delivers messages sent from other threads, and
    // only a message it has seen lets PumpMessage's GetMessage return at once.
    MSG msg{};
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (msg.message == WM_QUIT || !PumpMessage()) {
        // A quit stays in the queue for the modal loop. The worker's post was
        // its last call into this thread, so a plain wait cannot deadlock.
        ::WaitForSingleObject(thread, INFINITE);
        return;
      }
      if (::WaitForSingleObject(thread, 0) != WAIT_TIMEOUT) return;
    }
    // Sleep until the thread ends or a message arrives: no spinning.
    const DWORD woken = ::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) return;
    if (woken != WAIT_OBJECT_0 + 1) {
      ::WaitForSingleObject(thread, INFINITE);
      return;
    }
  }
}

unsigned __stdcall GenerationThreadProc(void* parameter) {
  auto* dialog = static_cast<CDlgProgress*>(parameter);
  MessageBoxErrorReporter reporter(dialog->Owner->hwnd());
  // No exception may leave the thread: it would end the process without the
  // finish message, and the dialog would wait for ever.
  try {
    dialog->RunJob(dialog->Owner->settings(), *dialog, reporter);
  } catch (...) {
    try {
      reporter.Report(dialogkit::kInternalErrorMessage);
    } catch (...) {
    }
  }
  // Every outcome ends here; this post is the worker's last call into the
  // user interface.
  ::PostMessageW(dialog->hwnd(), WM_APP_GENERATION_FINISHED, 0, 0);
  return 0;
}
