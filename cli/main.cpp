// marvolen: writes the time signal from the command line with the same job
// as the Windows program.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "cli/options.h"
#include "common/text.h"
#include "settings/profile_store.h"
#include "settings/settings_file.h"
#include "wav/render_time_signal.h"

namespace {

using marvolen::cli::Language;

// Set by the SIGINT/SIGTERM handler, read by the job after every frame. A
// signal handler can reach nothing but a lock-free object of static storage.
volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int) { g_interrupted = 1; }

// The terminal is the progress display: nothing is drawn, Ctrl-C cancels.
class InterruptSink final : public marvolen::ProgressSink {
 public:
  void SetRange(int, int) override {}
  void Advance() override {}
  bool IsCancelRequested() override { return g_interrupted != 0; }
};

class StderrReporter final : public marvolen::ErrorReporter {
 public:
  void Report(const std::wstring& text) override {
    std::fprintf(stderr, "marvolen: %s\n", marvolen::WideToUtf8(text).c_str());
  }
};

// Notes whether every write of a save went through: the settings code does
// not look, but the command line has a user to tell.
class CheckedStore final : public marvolen::ProfileStore {
 public:
  explicit CheckedStore(marvolen::ProfileStore& inner) : inner_(inner) {}
  int32_t GetProfileInt(const std::wstring& section, const std::wstring& key,
                        int32_t fallback) override {
    return inner_.GetProfileInt(section, key, fallback);
  }
  std::wstring GetProfileString(const std::wstring& section, const std::wstring& key,
                                const std::wstring& fallback) override {
    return inner_.GetProfileString(section, key, fallback);
  }
  bool WriteProfileInt(const std::wstring& section, const std::wstring& key,
                       int32_t value) override {
    return Note(inner_.WriteProfileInt(section, key, value));
  }
  bool WriteProfileString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& value) override {
    return Note(inner_.WriteProfileString(section, key, value));
  }
  bool allWritten() const { return allWritten_; }

 private:
  bool Note(bool ok) {
    allWritten_ = allWritten_ && ok;
    return ok;
  }
  marvolen::ProfileStore& inner_;
  bool allWritten_ = true;
};

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // A parent may hand us these signals blocked; Ctrl-C must still stop the
  // run, and one that is already pending is seen at the first frame.
  sigset_t interrupts;
  sigemptyset(&interrupts);
  sigaddset(&interrupts, SIGINT);
  sigaddset(&interrupts, SIGTERM);
  sigprocmask(SIG_UNBLOCK, &interrupts, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  const Language language = marvolen::cli::LanguageFromLocale(
      std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
  const std::vector<std::string> args(argv + 1, argv + argc);
  const auto parsed = marvolen::cli::ParseOptions(args, language);
  if (!parsed.options) {
    std::fprintf(stderr, "marvolen: %s\n", parsed.error.c_str());
    return 2;
  }
  if (parsed.options->help) {
    std::fputs(marvolen::cli::HelpText(language).c_str(), stdout);
    return 0;
  }

  const marvolen::cli::Options& options = *parsed.options;
  std::unique_ptr<marvolen::ProfileStore> store;
  int32_t storedRateIndex = 0;
  marvolen::SignalSettings stored;
  if (options.settingsFile) {
    store = marvolen::OpenSettingsStore(marvolen::Utf8ToWide(*options.settingsFile));
    storedRateIndex = marvolen::LoadSettings(*store, stored);
  }
  const marvolen::cli::RunSettings run =
      marvolen::cli::ApplyOverrides(storedRateIndex, stored, options.given);

  if (options.saveSettings) {
    CheckedStore checked(*store);
    marvolen::SaveSettings(checked, run.rateIndex, run.settings);
    if (!checked.allWritten()) {
      std::fprintf(stderr, "marvolen: %s: %s\n", options.settingsFile->c_str(),
                   language == Language::Japanese ? "設定ファイルに書き込めませんでした"
                                                  : "cannot write the settings file");
      return 1;
    }
  }
  if (options.printSettings) std::fputs(marvolen::cli::SettingsLines(run).c_str(), stdout);
  if (options.saveSettings || options.printSettings) return 0;

  if (const auto refusal = marvolen::cli::GenerationRefusal(run, language)) {
    std::fprintf(stderr, "marvolen: %s%s%s\n",
                 options.settingsFile ? options.settingsFile->c_str() : "",
                 options.settingsFile ? ": " : "", refusal->c_str());
    return 2;
  }

  const marvolen::SignalSettings& settings = run.settings;
  InstallInterruptHandler();
  InterruptSink sink;
  StderrReporter reporter;
  switch (marvolen::RenderTimeSignal(settings, &sink, reporter)) {
    case marvolen::RenderOutcome::Completed:
      std::printf(
          "%s\n",
          marvolen::cli::SuccessLine(settings, marvolen::WavFileSize(settings), language).c_str());
      return 0;
    case marvolen::RenderOutcome::Cancelled:
      return 130;
    case marvolen::RenderOutcome::Refused:
      return 2;
    default:
      return 1;
  }
}
