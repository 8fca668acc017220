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

// The values given on the command line. A run takes every other value from
// the settings file (--settings) or, without one, from the defaults.
struct SettingsOverrides {
  std::optional<int32_t> rateIndex;  // from --rate, as its index in kSampleRateList
  std::optional<std::wstring> SaveFileName;
  std::optional<int32_t> BitSize;
  std::optional<int32_t> Monaural;
  std::optional<int32_t> SelectHousoukyoku;
  std::optional<int32_t> NoticeSoundFreq1;
  std::optional<int32_t> NoticeSoundFreq2;
  std::optional<int32_t> MainSignalSoundFreq;
};

struct Options {
  // The defaults with the command line applied (the settings of a run
  // without a settings file).
  SignalSettings settings = DefaultCliSettings();
  SettingsOverrides given;
  std::optional<std::string> settingsFile;  // --settings FILE, as given
  bool saveSettings = false;                // --save-settings
  bool printSettings = false;               // --print-settings
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

// What a run works with: the rate-list index as the settings file stores it,
// and the record. SampleRate is the rate of that index, 0 when the index is
// outside the list.
struct RunSettings {
  int32_t rateIndex = 0;
  SignalSettings settings;
};

// The stored values (the file's, or the defaults with index 0) with the
// command line's applied over them.
RunSettings ApplyOverrides(int32_t storedRateIndex, const SignalSettings& stored,
                           const SettingsOverrides& given);

// The eight Key=Value lines, in the file's key order, exactly as a save
// writes them; each line ends in '\n'. Values outside their ranges are shown
// as they are.
std::string SettingsLines(const RunSettings& run);

// Why no file may be generated from these settings, naming the key and its
// value; nothing when a generation may run.
std::optional<std::string> GenerationRefusal(const RunSettings& run, Language language);

// One line for a finished file: name, format and size.
std::string SuccessLine(const SignalSettings& settings, size_t bytes, Language language);

}  // namespace marvolen::cli
