// marvolen: writes the time signal from the command line with the same job
// as the Windows program.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/options.h"
#include "common/text.h"
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

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
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

  const marvolen::SignalSettings& settings = parsed.options->settings;
  InstallInterruptHandler();
  InterruptSink sink;
  StderrReporter reporter;
  switch (marvolen::RenderTimeSignal(settings, &sink, reporter)) {
    case marvolen::RenderOutcome::Completed:
      std::printf("%s\n", marvolen::cli::SuccessLine(settings, marvolen::WavFileSize(settings),
                                                     language)
                              .c_str());
      return 0;
    case marvolen::RenderOutcome::Cancelled:
      return 130;
    case marvolen::RenderOutcome::Refused:
      return 2;
    default:
      return 1;
  }
}
