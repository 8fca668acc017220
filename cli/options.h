// Command-line interface of `marvolen`: parsing is pure so it can be tested
// without running a job.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "synthesis/signal_settings.h"

namespace marvolen::cli {

enum class Language { English, Japanese };

// Japanese when the locale variables (LC_ALL, LC_MESSAGES, LANG, first one
// set wins) name a Japanese locale.
Language LanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang);

struct Options {
  SignalSettings settings = DefaultCliSettings();
  bool help = false;

  static SignalSettings DefaultCliSettings() {
    SignalSettings s;
    s.SampleRate = kSampleRateList[0].rate;
    return s;
  }
};

struct ParseResult {
  std::optional<Options> options;  // set when the command line is valid
  std::string error;               // one line naming the option and what it allows
};

// Parses the arguments after the program name. Values may follow their
// option as the next argument or after '='.
ParseResult ParseOptions(const std::vector<std::string>& args, Language language);

std::string HelpText(Language language);

// One line for a finished file: name, format and size.
std::string SuccessLine(const SignalSettings& settings, size_t bytes, Language language);

}  // namespace marvolen::cli
