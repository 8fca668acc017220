// The rendering job: one SignalSettings in, one six-second WAV file out.
#pragma once

#include <string>

#include "synthesis/signal_settings.h"
#include "wav/output_file.h"

namespace marvolen {

// Where the job shows its progress and learns of a cancel request. Every call
// comes from the job's thread.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  // Once per run, 0 and 6, before the first sample.
  virtual void SetRange(int lower, int upper) = 0;
  // After each finished second of audio.
  virtual void Advance() = 0;
  // After every frame; must be cheap (a flag read, no lock, no system call).
  virtual bool IsCancelRequested() = 0;
};

// Shows one message to the user and returns once it has been acknowledged.
class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  virtual void Report(const std::wstring& text) = 0;
};

enum class RenderOutcome {
  Completed,
  Cancelled,         // the file was deleted
  Refused,           // settings outside the accepted values; nothing touched
  OpenFailed,        // nothing touched
  AllocationFailed,  // an empty file stays behind
  WriteFailed,       // the incomplete file was deleted
};

// The messages of the job, in the program's own words.
extern const wchar_t* const kOpenFailedMessage;
extern const wchar_t* const kAllocationFailedMessage;
extern const wchar_t* const kWriteFailedMessage;
// The refusal names the field and its value.
std::wstring RefusedSettingsMessage(const SettingsProblem& problem);

// Renders the signal into one buffer and writes it to settings.SaveFileName
// with a single write. `progress` may be null: then nothing is shown and the
// run cannot be cancelled. At most one message goes to `reporter`.
RenderOutcome RenderTimeSignal(const SignalSettings& settings, ProgressSink* progress,
                               ErrorReporter& reporter);

// The same, with the file system and the heap supplied by the caller.
RenderOutcome RenderTimeSignal(const SignalSettings& settings, ProgressSink* progress,
                               ErrorReporter& reporter, RenderEnvironment& environment);

// Bytes of the whole file image: 44 + DataSize. Settings must be accepted ones.
size_t WavFileSize(const SignalSettings& settings);

}  // namespace marvolen
