#include "cli/options.h"

#include <gtest/gtest.h>

namespace marvolen::cli {
namespace {

ParseResult Parse(std::vector<std::string> args) { return ParseOptions(args, Language::English); }

TEST(ParseOptions, SettingsOptions) {
  const auto a = Parse({"--settings", "a.ini", "--print-settings"});
  ASSERT_TRUE(a.options) << a.error;
  EXPECT_EQ(a.options->settingsFile, "a.ini");
  EXPECT_TRUE(a.options->printSettings);
  EXPECT_FALSE(a.options->saveSettings);

  const auto b = Parse({"--save-settings", "--settings=dir/b.INI"});
  ASSERT_TRUE(b.options) << b.error;
  EXPECT_EQ(b.options->settingsFile, "dir/b.INI");
  EXPECT_TRUE(b.options->saveSettings);

  const auto none = Parse({});
  ASSERT_TRUE(none.options);
  EXPECT_FALSE(none.options->settingsFile);
}

TEST(ParseOptions, SettingsOptionErrorsNameTheOption) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--save-settings"}, "--save-settings: needs --settings FILE"},
      {{"--save-settings", "-o", "x.wav"}, "--save-settings: needs --settings FILE"},
      {{"--settings"}, "--settings: needs a value"},
      {{"--settings="}, "--settings: '' is not allowed"},
      {{"--print-settings=yes"}, "--print-settings: takes no value"},
      {{"--save-settings=1", "--settings", "a"}, "--save-settings: takes no value"},
  };
  for (const auto& [args, error] : cases) {
    SCOPED_TRACE(args.front());
    const auto result = Parse(args);
    EXPECT_FALSE(result.options);
    EXPECT_EQ(result.error.rfind(error, 0), 0u) << result.error;
  }
  const auto ja = ParseOptions({"--save-settings"}, Language::Japanese);
  EXPECT_NE(ja.error.find("--settings FILE"), std::string::npos) << ja.error;
}

TEST(ParseOptions, RecordsOnlyTheValuesGiven) {
  const auto none = Parse({"--settings", "a.ini"});
  ASSERT_TRUE(none.options);
  const SettingsOverrides& g0 = none.options->given;
  EXPECT_FALSE(g0.rateIndex || g0.SaveFileName || g0.BitSize || g0.Monaural ||
               g0.SelectHousoukyoku || g0.NoticeSoundFreq1 || g0.NoticeSoundFreq2 ||
               g0.MainSignalSoundFreq);

  const auto all = Parse({"--rate", "96000", "-o", "o.wav", "--bits", "8", "--mono", "--station",
                          "nippon", "--freq1", "5", "--freq2", "20000", "--main-freq", "1000"});
  ASSERT_TRUE(all.options) << all.error;
  const SettingsOverrides& g = all.options->given;
  EXPECT_EQ(g.rateIndex, 5);
  EXPECT_EQ(g.SaveFileName, L"o.wav");
  EXPECT_EQ(g.BitSize, kBitSize8);
  EXPECT_EQ(g.Monaural, kMono);
  EXPECT_EQ(g.SelectHousoukyoku, kStationNippon);
  EXPECT_EQ(g.NoticeSoundFreq1, 5);
  EXPECT_EQ(g.NoticeSoundFreq2, 20000);
  EXPECT_EQ(g.MainSignalSoundFreq, 1000);
  EXPECT_EQ(all.options->settings.SampleRate, 96000);  // the settings of a run without a file
}

SignalSettings OddStored() {
  SignalSettings s;
  s.SaveFileName = L"stored.wav";
  s.BitSize = 7;
  s.Monaural = 2;
  s.SelectHousoukyoku = -1;
  s.NoticeSoundFreq1 = 500;
  return s;
}

TEST(ApplyOverrides, GivenValuesWinAndTheRestIsKeptAsStored) {
  SettingsOverrides given;
  const RunSettings kept = ApplyOverrides(6, OddStored(), given);
  EXPECT_EQ(kept.rateIndex, 6);
  EXPECT_EQ(kept.settings.SampleRate, 0);  // no rate for an index outside the list
  EXPECT_EQ(kept.settings.BitSize, 7);
  EXPECT_EQ(kept.settings.SaveFileName, L"stored.wav");

  given.rateIndex = 2;
  given.BitSize = kBitSize24;
  given.Monaural = kStereo;
  given.SaveFileName = L"";
  const RunSettings run = ApplyOverrides(6, OddStored(), given);
  EXPECT_EQ(run.rateIndex, 2);
  EXPECT_EQ(run.settings.SampleRate, 22050);
  EXPECT_EQ(run.settings.BitSize, kBitSize24);
  EXPECT_EQ(run.settings.Monaural, kStereo);
  EXPECT_EQ(run.settings.SaveFileName, L"");
  EXPECT_EQ(run.settings.SelectHousoukyoku, -1);
  EXPECT_EQ(run.settings.NoticeSoundFreq1, 500);
}

TEST(SettingsLines, AreTheEightLinesOfASaveWithValuesAsTheyAre) {
  EXPECT_EQ(SettingsLines({0, SignalSettings{}}),
            "ComboFreqListCurSel=0\n"
            "SaveFileName=TestSound01.wav\n"
            "BitSize=1\n"
            "Monaural=1\n"
            "SelectHousoukyoku=0\n"
            "NoticeSoundFreq1=440\n"
            "NoticeSoundFreq2=400\n"
            "MainSignalSoundFreq=880\n");
  SignalSettings s = OddStored();
  s.SaveFileName = L"\u6642\u5831.wav";
  EXPECT_EQ(SettingsLines({-1, s}),
            "ComboFreqListCurSel=-1\n"
            "SaveFileName=\xE6\x99\x82\xE5\xA0\xB1.wav\n"
            "BitSize=7\n"
            "Monaural=2\n"
            "SelectHousoukyoku=-1\n"
            "NoticeSoundFreq1=500\n"
            "NoticeSoundFreq2=400\n"
            "MainSignalSoundFreq=880\n");
}

TEST(GenerationRefusal, NamesTheFirstKeyOutsideItsCodesWithItsValue) {
  struct Case {
    int32_t index;
    int32_t bitSize, monaural, station;
    const char* expected;  // the start of the message; null: no refusal
  };
  const Case cases[] = {
      {0, 1, 1, 0, nullptr},
      {5, 0, 0, 1, nullptr},
      {6, 1, 1, 0, "ComboFreqListCurSel=6 "},
      {-1, 1, 1, 0, "ComboFreqListCurSel=-1 "},
      {3, 7, 1, 0, "BitSize=7 "},
      {3, -1, 1, 0, "BitSize=-1 "},
      {3, 1, 2, 0, "Monaural=2 "},
      {3, 1, 1, 2, "SelectHousoukyoku=2 "},
      {3, 1, 1, -1, "SelectHousoukyoku=-1 "},
      {9, 7, 2, 2, "ComboFreqListCurSel=9 "},
  };
  for (const auto& c : cases) {
    RunSettings run{c.index, SignalSettings{}};
    run.settings.SampleRate = SampleRateAt(c.index).value_or(0);
    run.settings.BitSize = c.bitSize;
    run.settings.Monaural = c.monaural;
    run.settings.SelectHousoukyoku = c.station;
    for (const Language language : {Language::English, Language::Japanese}) {
      const auto refusal = GenerationRefusal(run, language);
      if (!c.expected) {
        EXPECT_FALSE(refusal) << *refusal;
        continue;
      }
      ASSERT_TRUE(refusal) << c.expected;
      EXPECT_EQ(refusal->rfind(c.expected, 0), 0u) << *refusal;
    }
  }
}

TEST(HelpText, DescribesTheSettingsOptionsInBothLanguages) {
  for (const Language language : {Language::English, Language::Japanese}) {
    const std::string help = HelpText(language);
    for (const char* option : {"--settings FILE", "--save-settings", "--print-settings"}) {
      EXPECT_NE(help.find(option), std::string::npos) << option;
    }
  }
}

}  // namespace
}  // namespace marvolen::cli
