// Arbitrary bytes as the settings file: every file loads as a record whose
// frequencies are in range, and a save on top of it loads back as saved.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/ini_store.h"
#include "settings/settings_file.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace marvolen;
  const std::string file(reinterpret_cast<const char*>(data), size);
  MemoryIniStore store(file);

  SignalSettings loaded;
  LoadSettings(store, loaded);
  Require(IsValidToneFrequency(loaded.NoticeSoundFreq1));
  Require(IsValidToneFrequency(loaded.NoticeSoundFreq2));
  Require(IsValidToneFrequency(loaded.MainSignalSoundFreq));
  Require(loaded.SaveFileName.size() <= kMaxProfileStringLength);

  SignalSettings saved;
  saved.SaveFileName = L"C:\\\u97f3\u58f0\\out 1.wav";
  saved.BitSize = kBitSize24;
  saved.Monaural = kMono;
  saved.SelectHousoukyoku = kStationNippon;
  saved.NoticeSoundFreq1 = 5;
  saved.NoticeSoundFreq2 = 20000;
  saved.MainSignalSoundFreq = 1000;
  SaveSettings(store, -1, saved);
  // A file the store cannot write back unchanged is left alone.
  if (!DecodeIniFile(file)) {
    Require(store.bytes() == file);
    return 0;
  }
  SignalSettings again;
  Require(LoadSettings(store, again) == -1);
  Require(again == saved);
  return 0;
}
