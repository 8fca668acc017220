#include "cli/options.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <string_view>

#include "common/text.h"
#include "settings/ini_store.h"
#include "settings/settings_file.h"

namespace marvolen::cli {
namespace {

bool StartsWithJa(const char* value) {
  return value && value[0] == 'j' && value[1] == 'a' &&
         (value[2] == '\0' || value[2] == '_' || value[2] == '.' || value[2] == '@');
}

// A whole decimal number, nothing else: "440" but not "440Hz", "+440" or " 440".
std::optional<long> ParseWholeNumber(const std::string& text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  return std::strtol(text.c_str(), nullptr, 10);
}

std::string T(Language language, std::string_view english, std::string_view japanese) {
  return std::string(language == Language::Japanese ? japanese : english);
}

std::string RateChoices() {
  std::string out;
  for (const auto& entry : kSampleRateList) {
    if (!out.empty()) out += ", ";
    out += WideToUtf8(entry.text);
  }
  return out;
}

class Parser {
 public:
  Parser(const std::vector<std::string>& args, Language language)
      : args_(args), language_(language) {}

  ParseResult Run() {
    Options options;
    for (index_ = 0; index_ < args_.size(); ++index_) {
      std::string arg = args_[index_];
      std::optional<std::string> inlineValue;
      if (arg.rfind("--", 0) == 0) {
        if (const auto eq = arg.find('='); eq != std::string::npos) {
          inlineValue = arg.substr(eq + 1);
          arg.resize(eq);
        }
      }
      if (!Apply(arg, inlineValue, options)) return {std::nullopt, error_};
    }
    if (options.saveSettings && !options.settingsFile && !options.help) {
      Fail("--save-settings", T(language_, "needs --settings FILE to write to",
                                "書き込む先の --settings FILE が必要です"));
      return {std::nullopt, error_};
    }
    return {options, {}};
  }

 private:
  bool Apply(const std::string& name, const std::optional<std::string>& inlineValue,
             Options& options) {
    SignalSettings& s = options.settings;
    SettingsOverrides& given = options.given;
    const auto flag = [&](auto&& apply) {
      if (inlineValue) return Fail(name, T(language_, "takes no value", "値を取りません"));
      apply();
      return true;
    };
    if (name == "-h" || name == "--help") return flag([&] { options.help = true; });
    if (name == "--mono") return flag([&] { given.Monaural = s.Monaural = kMono; });
    if (name == "--stereo") return flag([&] { given.Monaural = s.Monaural = kStereo; });
    if (name == "--save-settings") return flag([&] { options.saveSettings = true; });
    if (name == "--print-settings") return flag([&] { options.printSettings = true; });

    std::string value;
    if (name == "-o" || name == "--output") {
      if (!TakeValue(name, inlineValue, value, T(language_, "a file name", "ファイル名")))
        return false;
      given.SaveFileName = s.SaveFileName = Utf8ToWide(value);
      return true;
    }
    if (name == "--settings") {
      if (!TakeValue(name, inlineValue, value, T(language_, "a file name", "ファイル名")))
        return false;
      if (value.empty()) return Bad(name, value, T(language_, "a file name", "ファイル名"));
      options.settingsFile = value;
      return true;
    }
    if (name == "--rate") {
      const std::string allowed = T(language_, "one of ", "次のいずれか: ") + RateChoices();
      if (!TakeValue(name, inlineValue, value, allowed)) return false;
      const auto n = ParseWholeNumber(value);
      if (!n || !IsListedSampleRate(static_cast<int32_t>(*n))) return Bad(name, value, allowed);
      s.SampleRate = static_cast<int32_t>(*n);
      given.rateIndex = SampleRateIndexOf(s.SampleRate);
      return true;
    }
    if (name == "--bits") {
      const std::string allowed = T(language_, "8, 16 or 24", "8、16、24 のいずれか");
      if (!TakeValue(name, inlineValue, value, allowed)) return false;
      if (value == "8")
        s.BitSize = kBitSize8;
      else if (value == "16")
        s.BitSize = kBitSize16;
      else if (value == "24")
        s.BitSize = kBitSize24;
      else
        return Bad(name, value, allowed);
      given.BitSize = s.BitSize;
      return true;
    }
    if (name == "--station") {
      const std::string allowed = T(language_, "nhk or nippon", "nhk または nippon");
      if (!TakeValue(name, inlineValue, value, allowed)) return false;
      if (value == "nhk")
        s.SelectHousoukyoku = kStationNhk;
      else if (value == "nippon")
        s.SelectHousoukyoku = kStationNippon;
      else
        return Bad(name, value, allowed);
      given.SelectHousoukyoku = s.SelectHousoukyoku;
      return true;
    }
    if (name == "--freq1") {
      return Frequency(name, inlineValue, s.NoticeSoundFreq1, given.NoticeSoundFreq1);
    }
    if (name == "--freq2") {
      return Frequency(name, inlineValue, s.NoticeSoundFreq2, given.NoticeSoundFreq2);
    }
    if (name == "--main-freq") {
      return Frequency(name, inlineValue, s.MainSignalSoundFreq, given.MainSignalSoundFreq);
    }

    error_ = T(language_, "unknown option '", "不明なオプション '") + name +
             T(language_, "'; see marvolen --help", "'。marvolen --help を参照してください");
    return false;
  }

  bool Frequency(const std::string& name, const std::optional<std::string>& inlineValue,
                 int32_t& field, std::optional<int32_t>& given) {
    const std::string allowed =
        T(language_, "a whole number of Hz from 5 to 20000", "5 から 20000 までの整数 (Hz)");
    std::string value;
    if (!TakeValue(name, inlineValue, value, allowed)) return false;
    const auto n = ParseWholeNumber(value);
    if (!n || !IsValidToneFrequency(static_cast<int32_t>(*n))) return Bad(name, value, allowed);
    given = field = static_cast<int32_t>(*n);
    return true;
  }

  bool TakeValue(const std::string& name, const std::optional<std::string>& inlineValue,
                 std::string& value, const std::string& allowed) {
    if (inlineValue) {
      value = *inlineValue;
      return true;
    }
    if (index_ + 1 >= args_.size()) {
      return Fail(name, T(language_, "needs a value: ", "値が必要です: ") + allowed);
    }
    value = args_[++index_];
    return true;
  }

  bool Bad(const std::string& name, const std::string& value, const std::string& allowed) {
    return Fail(name, "'" + value + T(language_, "' is not allowed; give ", "' は使えません。") +
                          allowed + T(language_, "", " を指定してください"));
  }

  bool Fail(const std::string& name, const std::string& what) {
    error_ = name + ": " + what;
    return false;
  }

  const std::vector<std::string>& args_;
  Language language_;
  size_t index_ = 0;
  std::string error_;
};

}  // namespace

Language LanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang) {
  for (const char* value : {lcAll, lcMessages, lang}) {
    if (value && *value) return StartsWithJa(value) ? Language::Japanese : Language::English;
  }
  return Language::English;
}

ParseResult ParseOptions(const std::vector<std::string>& args, Language language) {
  return Parser(args, language).Run();
}

std::string HelpText(Language language) {
  if (language == Language::Japanese) {
    return "使い方: marvolen [オプション]\n"
           "時報音声 (予告音 3 秒と本信号 3 秒、計 6 秒) を PCM WAV ファイルに書き出します。\n"
           "\n"
           "  -o, --output FILE     出力ファイル (既定: TestSound01.wav)\n"
           "  --rate HZ             サンプリングレート: " +
           RateChoices() +
           " (既定: 8000)\n"
           "  --bits N              量子化ビット数: 8、16、24 (既定: 16)\n"
           "  --mono, --stereo      チャンネル (既定: ステレオ)\n"
           "  --station NAME        予告音の型: nhk または nippon (既定: nhk)\n"
           "  --freq1 HZ            予告音1の周波数、5 から 20000 (既定: 440)\n"
           "  --freq2 HZ            予告音2の周波数 (nippon のみ)、5 から 20000 (既定: 400)\n"
           "  --main-freq HZ        本信号の周波数、5 から 20000 (既定: 880)\n"
           "  --settings FILE       ここで指定しない値を設定ファイル FILE (Windows 版と同じ\n"
           "                        INI 形式) から読む\n"
           "  --save-settings       値を --settings の FILE に保存し、生成せずに終了\n"
           "  --print-settings      値を設定ファイルの 8 行 (キー=値) "
           "の形で表示し、生成せずに終了\n"
           "  -h, --help            この説明を表示して終了\n"
           "\n"
           "値はオプションの次の引数か '=' の後に書きます (--rate 44100, --rate=44100)。\n"
           "設定ファイルの値が範囲外 (ComboFreqListCurSel が 0 から 5 以外、BitSize、Monaural、\n"
           "SelectHousoukyoku が既定の値以外) のときは生成せず、キーと値を示して終了状態 2 で\n"
           "終わります。\n"
           "終了状態: 0 成功、1 生成または保存の失敗、2 引数または設定値の誤り (ファイルには\n"
           "触れません)、\n"
           "130 Ctrl-C による中止 (出力ファイルは削除されます)。\n";
  }
  return "Usage: marvolen [options]\n"
         "Writes a radio-style time signal (three notice seconds and a three-second\n"
         "main tone, six seconds in all) as a PCM WAV file.\n"
         "\n"
         "  -o, --output FILE     output file (default: TestSound01.wav)\n"
         "  --rate HZ             sampling rate: " +
         RateChoices() +
         " (default: 8000)\n"
         "  --bits N              sample width: 8, 16 or 24 (default: 16)\n"
         "  --mono, --stereo      channels (default: stereo)\n"
         "  --station NAME        notice pattern: nhk or nippon (default: nhk)\n"
         "  --freq1 HZ            first notice tone, 5 to 20000 (default: 440)\n"
         "  --freq2 HZ            second notice tone (nippon only), 5 to 20000 (default: 400)\n"
         "  --main-freq HZ        main tone, 5 to 20000 (default: 880)\n"
         "  --settings FILE       take every value not given here from the settings file\n"
         "                        FILE (the INI format of the Windows program)\n"
         "  --save-settings       write the values to the --settings FILE and exit without\n"
         "                        generating\n"
         "  --print-settings      print the values as the settings file's eight Key=Value\n"
         "                        lines and exit without generating\n"
         "  -h, --help            show this help and exit\n"
         "\n"
         "A value follows its option as the next argument or after '=' (--rate 44100,\n"
         "--rate=44100).\n"
         "A stored value outside its codes (ComboFreqListCurSel outside 0 to 5; BitSize,\n"
         "Monaural or SelectHousoukyoku not one of theirs) stops a generation with a message\n"
         "naming the key and the value, and exit status 2.\n"
         "Exit status: 0 written, 1 the job or the save failed, 2 bad arguments or stored\n"
         "values (no file touched),\n"
         "130 stopped by Ctrl-C (the output file is deleted).\n";
}

RunSettings ApplyOverrides(int32_t storedRateIndex, const SignalSettings& stored,
                           const SettingsOverrides& given) {
  RunSettings run{given.rateIndex.value_or(storedRateIndex), stored};
  SignalSettings& s = run.settings;
  if (given.SaveFileName) s.SaveFileName = *given.SaveFileName;
  if (given.BitSize) s.BitSize = *given.BitSize;
  if (given.Monaural) s.Monaural = *given.Monaural;
  if (given.SelectHousoukyoku) s.SelectHousoukyoku = *given.SelectHousoukyoku;
  if (given.NoticeSoundFreq1) s.NoticeSoundFreq1 = *given.NoticeSoundFreq1;
  if (given.NoticeSoundFreq2) s.NoticeSoundFreq2 = *given.NoticeSoundFreq2;
  if (given.MainSignalSoundFreq) s.MainSignalSoundFreq = *given.MainSignalSoundFreq;
  s.SampleRate = SampleRateAt(run.rateIndex).value_or(0);
  return run;
}

std::string SettingsLines(const RunSettings& run) {
  // Saved into memory, so that the lines are a save's by construction.
  MemoryIniStore store;
  SaveSettings(store, run.rateIndex, run.settings);
  std::string out;
  std::string_view text = store.bytes();
  bool header = true;
  while (!text.empty()) {
    const size_t end = text.find("\r\n");
    if (!header) out.append(text.substr(0, end)).append("\n");
    header = false;
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 2);
  }
  return out;
}

std::optional<std::string> GenerationRefusal(const RunSettings& run, Language language) {
  const auto refuse = [&](const char* key, int32_t value, std::string_view english,
                          std::string_view japanese) {
    return std::string(key) + "=" + std::to_string(value) + T(language, english, japanese);
  };
  if (!SampleRateAt(run.rateIndex)) {
    return refuse("ComboFreqListCurSel", run.rateIndex,
                  " is outside the rate list (0 to 5); give --rate or correct the settings file",
                  " はレート一覧 (0 から 5) の範囲外です。--rate を指定するか設定ファイルを直して"
                  "ください");
  }
  const SignalSettings& s = run.settings;
  if (s.BitSize < kBitSize8 || s.BitSize > kBitSize24) {
    return refuse("BitSize", s.BitSize,
                  " is not a sample-width code (0, 1 or 2); give --bits or correct the settings "
                  "file",
                  " は量子化ビット数の値 (0、1、2) ではありません。--bits を指定するか設定ファイル"
                  "を直してください");
  }
  if (s.Monaural != kMono && s.Monaural != kStereo) {
    return refuse("Monaural", s.Monaural,
                  " is not a channel code (0 or 1); give --mono or --stereo or correct the "
                  "settings file",
                  " はチャンネルの値 (0、1) ではありません。--mono か --stereo を指定するか設定"
                  "ファイルを直してください");
  }
  if (s.SelectHousoukyoku != kStationNhk && s.SelectHousoukyoku != kStationNippon) {
    return refuse("SelectHousoukyoku", s.SelectHousoukyoku,
                  " is not a station code (0 or 1); give --station or correct the settings file",
                  " は予告音の型の値 (0、1) ではありません。--station を指定するか設定ファイルを"
                  "直してください");
  }
  // The load and the options keep the frequencies in range; this is the last guard.
  if (const auto problem = FindSettingsProblem(s)) {
    return refuse(WideToUtf8(problem->key).c_str(), problem->value, " is outside its range",
                  " は範囲外です");
  }
  return std::nullopt;
}

std::string SuccessLine(const SignalSettings& s, size_t bytes, Language language) {
  const std::string file = WideToUtf8(s.SaveFileName);
  const std::string bits = std::to_string(8 * BytesPerSample(s));
  const std::string rate = std::to_string(s.SampleRate);
  if (language == Language::Japanese) {
    return file + ": " + rate + " Hz、" + bits + " ビット、" +
           (s.Monaural == kMono ? "モノラル" : "ステレオ") + "、" +
           (s.SelectHousoukyoku == kStationNhk ? "NHK" : "ニッポン放送") + "、6 秒、" +
           std::to_string(bytes) + " バイト";
  }
  return file + ": " + rate + " Hz, " + bits + "-bit, " +
         (s.Monaural == kMono ? "mono" : "stereo") + ", " +
         (s.SelectHousoukyoku == kStationNhk ? "NHK" : "Nippon") + " pattern, 6 s, " +
         std::to_string(bytes) + " bytes";
}

}  // namespace marvolen::cli
