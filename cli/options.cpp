#include "cli/options.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <string_view>

#include "common/text.h"

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
    return {options, {}};
  }

 private:
  bool Apply(const std::string& name, const std::optional<std::string>& inlineValue,
             Options& options) {
    SignalSettings& s = options.settings;
    const auto flag = [&](auto&& apply) {
      if (inlineValue) return Fail(name, T(language_, "takes no value", "値を取りません"));
      apply();
      return true;
    };
    if (name == "-h" || name == "--help") return flag([&] { options.help = true; });
    if (name == "--mono") return flag([&] { s.Monaural = kMono; });
    if (name == "--stereo") return flag([&] { s.Monaural = kStereo; });

    std::string value;
    if (name == "-o" || name == "--output") {
      if (!TakeValue(name, inlineValue, value, T(language_, "a file name", "ファイル名")))
        return false;
      s.SaveFileName = Utf8ToWide(value);
      return true;
    }
    if (name == "--rate") {
      const std::string allowed =
          T(language_, "one of ", "次のいずれか: ") + RateChoices();
      if (!TakeValue(name, inlineValue, value, allowed)) return false;
      const auto n = ParseWholeNumber(value);
      if (!n || !IsListedSampleRate(static_cast<int32_t>(*n))) return Bad(name, value, allowed);
      s.SampleRate = static_cast<int32_t>(*n);
      return true;
    }
    if (name == "--bits") {
      const std::string allowed = T(language_, "8, 16 or 24", "8、16、24 のいずれか");
      if (!TakeValue(name, inlineValue, value, allowed)) return false;
      if (value == "8") s.BitSize = kBitSize8;
      else if (value == "16") s.BitSize = kBitSize16;
      else if (value == "24") s.BitSize = kBitSize24;
      else return Bad(name, value, allowed);
      return true;
    }
    if (name == "--station") {
      const std::string allowed = T(language_, "nhk or nippon", "nhk または nippon");
      if (!TakeValue(name, inlineValue, value, allowed)) return false;
      if (value == "nhk") s.SelectHousoukyoku = kStationNhk;
      else if (value == "nippon") s.SelectHousoukyoku = kStationNippon;
      else return Bad(name, value, allowed);
      return true;
    }
    if (name == "--freq1") return Frequency(name, inlineValue, s.NoticeSoundFreq1);
    if (name == "--freq2") return Frequency(name, inlineValue, s.NoticeSoundFreq2);
    if (name == "--main-freq") return Frequency(name, inlineValue, s.MainSignalSoundFreq);

    error_ = T(language_, "unknown option '", "不明なオプション '") + name +
             T(language_, "'; see marvolen --help", "'。marvolen --help を参照してください");
    return false;
  }

  bool Frequency(const std::string& name, const std::optional<std::string>& inlineValue,
                 int32_t& field) {
    const std::string allowed =
        T(language_, "a whole number of Hz from 5 to 20000", "5 から 20000 までの整数 (Hz)");
    std::string value;
    if (!TakeValue(name, inlineValue, value, allowed)) return false;
    const auto n = ParseWholeNumber(value);
    if (!n || !IsValidToneFrequency(static_cast<int32_t>(*n))) return Bad(name, value, allowed);
    field = static_cast<int32_t>(*n);
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
           "  --rate HZ             サンプリングレート: " + RateChoices() + " (既定: 8000)\n"
           "  --bits N              量子化ビット数: 8、16、24 (既定: 16)\n"
           "  --mono, --stereo      チャンネル (既定: ステレオ)\n"
           "  --station NAME        予告音の型: nhk または nippon (既定: nhk)\n"
           "  --freq1 HZ            予告音1の周波数、5 から 20000 (既定: 440)\n"
           "  --freq2 HZ            予告音2の周波数 (nippon のみ)、5 から 20000 (既定: 400)\n"
           "  --main-freq HZ        本信号の周波数、5 から 20000 (既定: 880)\n"
           "  -h, --help            この説明を表示して終了\n"
           "\n"
           "値はオプションの次の引数か '=' の後に書きます (--rate 44100, --rate=44100)。\n"
           "終了状態: 0 成功、1 生成の失敗、2 引数の誤り (ファイルには触れません)、\n"
           "130 Ctrl-C による中止 (出力ファイルは削除されます)。\n";
  }
  return "Usage: marvolen [options]\n"
         "Writes a radio-style time signal (three notice seconds and a three-second\n"
         "main tone, six seconds in all) as a PCM WAV file.\n"
         "\n"
         "  -o, --output FILE     output file (default: TestSound01.wav)\n"
         "  --rate HZ             sampling rate: " + RateChoices() + " (default: 8000)\n"
         "  --bits N              sample width: 8, 16 or 24 (default: 16)\n"
         "  --mono, --stereo      channels (default: stereo)\n"
         "  --station NAME        notice pattern: nhk or nippon (default: nhk)\n"
         "  --freq1 HZ            first notice tone, 5 to 20000 (default: 440)\n"
         "  --freq2 HZ            second notice tone (nippon only), 5 to 20000 (default: 400)\n"
         "  --main-freq HZ        main tone, 5 to 20000 (default: 880)\n"
         "  -h, --help            show this help and exit\n"
         "\n"
         "A value follows its option as the next argument or after '=' (--rate 44100,\n"
         "--rate=44100).\n"
         "Exit status: 0 written, 1 the job failed, 2 bad arguments (no file touched),\n"
         "130 stopped by Ctrl-C (the output file is deleted).\n";
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
