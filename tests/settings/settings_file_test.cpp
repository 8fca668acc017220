// Loading and saving the eight keys, on every store.
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include "settings/ini_store.h"
#include "tests/settings/settings_test_support.h"

namespace marvolen {
namespace {

using settings_testing::AllStoreKinds;
using settings_testing::DecodeText;
using settings_testing::Lines;
using settings_testing::ReadBytes;
using settings_testing::ScratchDir;
using settings_testing::StoreKind;
using settings_testing::StoreKindName;
using settings_testing::WidePath;
using settings_testing::WriteBytes;

const std::vector<std::wstring> kFirstSaveLines = {
    L"[Setting_Data]",
    L"ComboFreqListCurSel=0",
    L"SaveFileName=TestSound01.wav",
    L"BitSize=1",
    L"Monaural=1",
    L"SelectHousoukyoku=0",
    L"NoticeSoundFreq1=440",
    L"NoticeSoundFreq2=400",
    L"MainSignalSoundFreq=880",
};

class SettingsFile : public ::testing::TestWithParam<StoreKind> {
 protected:
  std::unique_ptr<ProfileStore> Store() { return GetParam().open(WidePath(file_)); }
  void WriteFile(const std::string& text) { WriteBytes(file_, text); }
  std::vector<std::wstring> FileLines() const { return Lines(DecodeText(ReadBytes(file_))); }
  // Loads into a record whose fields all differ from the defaults.
  std::pair<int32_t, SignalSettings> Load() {
    SignalSettings s;
    s.SampleRate = 12345;
    s.SaveFileName = L"unset";
    s.BitSize = s.Monaural = s.SelectHousoukyoku = 0;
    s.NoticeSoundFreq1 = s.NoticeSoundFreq2 = s.MainSignalSoundFreq = 50;
    const int32_t index = LoadSettings(*Store(), s);
    return {index, s};
  }

  ScratchDir dir_;
  std::filesystem::path file_ = dir_ / "Marvolen.INI";
};

TEST_P(SettingsFile, WithoutAFileLoadsTheDefaultsAndCreatesNothing) {
  const auto [index, s] = Load();
  EXPECT_EQ(index, 0);
  SignalSettings expected;
  expected.SampleRate = 12345;  // left alone
  EXPECT_EQ(s, expected);
  EXPECT_FALSE(std::filesystem::exists(file_));
}

TEST_P(SettingsFile, FirstSaveOfTheDefaultsWritesTheNineLines) {
  SaveSettings(*Store(), 0, SignalSettings{});
  EXPECT_EQ(FileLines(), kFirstSaveLines);
}

TEST_P(SettingsFile, EachFrequencyFallsBackToItsOwnDefault) {
  struct Key {
    const char* name;
    int32_t SignalSettings::*field;
    int32_t fallback;
  };
  const Key keys[] = {{"NoticeSoundFreq1", &SignalSettings::NoticeSoundFreq1, 440},
                      {"NoticeSoundFreq2", &SignalSettings::NoticeSoundFreq2, 400},
                      {"MainSignalSoundFreq", &SignalSettings::MainSignalSoundFreq, 880}};
  const std::pair<const char*, int32_t> stored[] = {
      {"4", -1}, {"20001", -1}, {"-3", -1}, {"0", -1}, {"abc", -1}, {"5", 5}, {"20000", 20000}};
  for (const auto& key : keys) {
    for (const auto& [text, kept] : stored) {
      SCOPED_TRACE(std::string(key.name) + "=" + text);
      // The other two frequencies hold valid values that must stay as stored.
      std::string file = "[Setting_Data]\n";
      for (const auto& k : keys) {
        file += std::string(k.name) + "=" + (&k == &key ? std::string(text) : "1001") + "\n";
      }
      WriteFile(file);
      const SignalSettings loaded = Load().second;
      EXPECT_EQ(loaded.*key.field, kept < 0 ? key.fallback : kept);
      for (const auto& other : keys) {
        if (&other == &key) continue;
        EXPECT_EQ(loaded.*other.field, 1001) << other.name;
      }
    }
  }
}

TEST_P(SettingsFile, RateIndexAndCodesLoadAsStoredEvenOutsideTheirRanges) {
  WriteFile("[Setting_Data]\nComboFreqListCurSel=6\nBitSize=7\nMonaural=2\nSelectHousoukyoku=-1\n");
  auto [index, s] = Load();
  EXPECT_EQ(index, 6);
  EXPECT_EQ(s.BitSize, 7);
  EXPECT_EQ(s.Monaural, 2);
  EXPECT_EQ(s.SelectHousoukyoku, -1);
}

TEST_P(SettingsFile, NoSelectionIsSavedAsMinusOneAndLoadsAgain) {
  SignalSettings s;
  s.BitSize = -1;
  SaveSettings(*Store(), -1, s);
  EXPECT_EQ(FileLines().at(1), L"ComboFreqListCurSel=-1");
  EXPECT_EQ(FileLines().at(3), L"BitSize=-1");
  EXPECT_EQ(Load().first, -1);
  EXPECT_EQ(Load().second.BitSize, -1);
}

TEST_P(SettingsFile, FileNamesLoadAsStored) {
  const std::pair<std::string, std::wstring> cases[] = {
      {"", L""},  // present but empty: not the default
      {"C:\\out\\a b.wav", L"C:\\out\\a b.wav"},
      {std::string(5000, 'f'), std::wstring(4095, L'f')},
  };
  for (const auto& [stored, loaded] : cases) {
    SCOPED_TRACE(stored.size());
    WriteFile("[Setting_Data]\nSaveFileName=" + stored + "\n");
    EXPECT_EQ(Load().second.SaveFileName, loaded);
  }
}

TEST_P(SettingsFile, SavedValuesLoadBackUnchanged) {
  SignalSettings s;
  s.SaveFileName = L"D:\\\u97f3\u58f0\\\u6642\u5831 01.wav";
  s.BitSize = kBitSize24;
  s.Monaural = kMono;
  s.SelectHousoukyoku = kStationNippon;
  s.NoticeSoundFreq1 = 5;
  s.NoticeSoundFreq2 = 20000;
  s.MainSignalSoundFreq = 1234;
  SaveSettings(*Store(), 5, s);
  auto [index, loaded] = Load();
  EXPECT_EQ(index, 5);
  loaded.SampleRate = s.SampleRate;
  EXPECT_EQ(loaded, s);
}

TEST_P(SettingsFile, LoadWritesNothingEvenWhenItReplacesAValue) {
  const std::string text = "[Setting_Data]\nNoticeSoundFreq1=4\n";
  WriteFile(text);
  EXPECT_EQ(Load().second.NoticeSoundFreq1, 440);
  EXPECT_EQ(ReadBytes(file_), text);
}

TEST_P(SettingsFile, SaveKeepsOtherSectionsKeysAndPlaces) {
  WriteFile(
      "[Setting_Data]\n"
      "MainSignalSoundFreq=1000\n"
      "Extra=keep me\n"
      "BitSize=0\n"
      "[Other]\n"
      "SaveFileName=not ours\n");
  SaveSettings(*Store(), 3, SignalSettings{});
  EXPECT_EQ(FileLines(), (std::vector<std::wstring>{
                             L"[Setting_Data]",
                             L"MainSignalSoundFreq=880",
                             L"Extra=keep me",
                             L"BitSize=1",
                             L"ComboFreqListCurSel=3",
                             L"SaveFileName=TestSound01.wav",
                             L"Monaural=1",
                             L"SelectHousoukyoku=0",
                             L"NoticeSoundFreq1=440",
                             L"NoticeSoundFreq2=400",
                             L"[Other]",
                             L"SaveFileName=not ours",
                         }));
}

TEST_P(SettingsFile, SaveToAReadOnlyFileChangesNothingAndLoadGivesTheOldValues) {
  WriteFile("[Setting_Data]\nComboFreqListCurSel=4\nBitSize=0\n");
  settings_testing::SetReadOnly(file_, true);
  if (GetParam().isPlatform && !settings_testing::PlatformRefusesWritingReadOnlyFiles(file_)) {
    settings_testing::SetReadOnly(file_, false);
    GTEST_SKIP() << "this platform lets the read-only file be written (Wine as root)";
  }
  SignalSettings changed;
  changed.BitSize = kBitSize24;
  SaveSettings(*Store(), 1, changed);  // no message, no exception: nothing to see
  auto [index, s] = Load();
  EXPECT_EQ(index, 4);
  EXPECT_EQ(s.BitSize, kBitSize8);
  settings_testing::SetReadOnly(file_, false);
}

INSTANTIATE_TEST_SUITE_P(Stores, SettingsFile, ::testing::ValuesIn(AllStoreKinds()),
                         StoreKindName());

// Records the calls, to check the order of the keys and that a load writes
// nothing.
class RecordingStore final : public ProfileStore {
 public:
  int32_t GetProfileInt(const std::wstring& section, const std::wstring& key,
                        int32_t fallback) override {
    calls.push_back(L"GetInt " + section + L"/" + key + L" " + std::to_wstring(fallback));
    return fallback;
  }
  std::wstring GetProfileString(const std::wstring& section, const std::wstring& key,
                                const std::wstring& fallback) override {
    calls.push_back(L"GetString " + section + L"/" + key + L" " + fallback);
    return fallback;
  }
  bool WriteProfileInt(const std::wstring& section, const std::wstring& key,
                       int32_t value) override {
    calls.push_back(L"WriteInt " + section + L"/" + key + L" " + std::to_wstring(value));
    return false;  // a failed write must not stop the others
  }
  bool WriteProfileString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& value) override {
    calls.push_back(L"WriteString " + section + L"/" + key + L" " + value);
    return false;
  }
  std::vector<std::wstring> calls;
};

TEST(SettingsFileOrder, LoadReadsAndSaveWritesTheEightKeysInFileOrder) {
  RecordingStore store;
  SignalSettings s;
  LoadSettings(store, s);
  EXPECT_EQ(store.calls, (std::vector<std::wstring>{
                             L"GetInt Setting_Data/ComboFreqListCurSel 0",
                             L"GetString Setting_Data/SaveFileName TestSound01.wav",
                             L"GetInt Setting_Data/BitSize 1",
                             L"GetInt Setting_Data/Monaural 1",
                             L"GetInt Setting_Data/SelectHousoukyoku 0",
                             L"GetInt Setting_Data/NoticeSoundFreq1 440",
                             L"GetInt Setting_Data/NoticeSoundFreq2 400",
                             L"GetInt Setting_Data/MainSignalSoundFreq 880",
                         }));
  store.calls.clear();
  s.SaveFileName = L"x.wav";
  s.NoticeSoundFreq2 = 401;
  SaveSettings(store, 2, s);
  EXPECT_EQ(store.calls, (std::vector<std::wstring>{
                             L"WriteInt Setting_Data/ComboFreqListCurSel 2",
                             L"WriteString Setting_Data/SaveFileName x.wav",
                             L"WriteInt Setting_Data/BitSize 1",
                             L"WriteInt Setting_Data/Monaural 1",
                             L"WriteInt Setting_Data/SelectHousoukyoku 0",
                             L"WriteInt Setting_Data/NoticeSoundFreq1 440",
                             L"WriteInt Setting_Data/NoticeSoundFreq2 401",
                             L"WriteInt Setting_Data/MainSignalSoundFreq 880",
                         }));
}

TEST(SettingsFileOrder, MemoryStoreGivesTheSameNineLinesByteForByte) {
  MemoryIniStore store;
  SaveSettings(store, 0, SignalSettings{});
  std::string expected;
  for (const auto& line : kFirstSaveLines)
    expected += std::string(line.begin(), line.end()) + "\r\n";
  EXPECT_EQ(store.bytes(), expected);
}

}  // namespace
}  // namespace marvolen
