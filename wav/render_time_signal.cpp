#include "wav/render_time_signal.h"

#include <cstring>

#include "synthesis/tone_generators.h"
#include "wav/wav_header.h"

namespace marvolen {

const wchar_t* const kOpenFailedMessage =
    L"保存するファイルが開いています。\nファイルを閉じてください。";
const wchar_t* const kAllocationFailedMessage =
    L"メモリ割り当てに失敗しました。時報生成を中止します。";
const wchar_t* const kWriteFailedMessage =
    L"ファイルの書き込みに失敗しました。時報生成を中止します。";

std::wstring RefusedSettingsMessage(const SettingsProblem& problem) {
  return L"設定値 " + std::wstring(problem.key) + L"=" + std::to_wstring(problem.value) +
         L" は使用できません。時報生成を中止します。";
}

size_t WavFileSize(const SignalSettings& settings) {
  // (BitSize + 1) * rate * 3, times 4 for stereo or 2 for mono, is
  // BytesPerSample * channels * rate * 6, the data size.
  const size_t data = static_cast<size_t>(BytesPerSample(settings)) *
                      static_cast<size_t>(settings.SampleRate) * 3 *
                      (settings.Monaural != kMono ? 4 : 2);
  return kWavHeaderSize + data;
}

namespace {

// Appends samples to the file image, least significant byte first.
class FrameWriter {
 public:
  FrameWriter(uint8_t* at, int32_t bytesPerSample, int32_t channels)
      : at_(at), bytesPerSample_(bytesPerSample), channels_(channels) {}

  void Put(int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    uint8_t bytes[3] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                        static_cast<uint8_t>(v >> 16)};
    for (int32_t c = 0; c < channels_; ++c) {  // the right channel copies the left
      std::memcpy(at_, bytes, static_cast<size_t>(bytesPerSample_));
      at_ += bytesPerSample_;
    }
  }

 private:
  uint8_t* at_;
  int32_t bytesPerSample_;
  int32_t channels_;
};

}  // namespace

RenderOutcome RenderTimeSignal(const SignalSettings& settings, ProgressSink* progress,
                               ErrorReporter& reporter) {
  NativeRenderEnvironment environment;
  return RenderTimeSignal(settings, progress, reporter, environment);
}

RenderOutcome RenderTimeSignal(const SignalSettings& settings, ProgressSink* progress,
                               ErrorReporter& reporter, RenderEnvironment& environment) {
  // Header, buffer size and packing agree only for accepted values: anything
  // else is stopped before a file is touched.
  if (const auto problem = FindSettingsProblem(settings)) {
    reporter.Report(RefusedSettingsMessage(*problem));
    return RenderOutcome::Refused;
  }

  std::unique_ptr<OutputFile> file = environment.OpenExclusive(settings.SaveFileName);
  if (!file) {
    reporter.Report(kOpenFailedMessage);
    return RenderOutcome::OpenFailed;
  }

  const size_t size = WavFileSize(settings);
  std::unique_ptr<uint8_t[]> image = environment.Allocate(size);
  if (!image) {
    file->Close();  // the empty file stays, as the open left it
    reporter.Report(kAllocationFailedMessage);
    return RenderOutcome::AllocationFailed;
  }

  const auto header = SerializeWavHeader(BuildWavHeader(settings));
  std::memcpy(image.get(), header.data(), header.size());
  if (progress) progress->SetRange(0, kSignalSeconds);

  const int32_t w = settings.BitSize;
  const int32_t rate = settings.SampleRate;
  const int32_t pipUnit = PipUnit(settings);
  const auto notice = settings.SelectHousoukyoku == kStationNhk ? NoticeSampleNhk
                                                                 : NoticeSampleNippon;
  FrameWriter out(image.get() + kWavHeaderSize, BytesPerSample(settings),
                  ChannelCount(settings));
  // The poll follows every frame, the last one included; Advance follows the
  // poll of a second's last frame.
  const auto cancelled = [progress] { return progress && progress->IsCancelRequested(); };

  for (int32_t second = 0; second < kSignalSeconds; ++second) {
    for (int32_t a = 0; a < rate; ++a) {
      out.Put(second < kNoticeSeconds
                  ? notice(w, settings, a, pipUnit)
                  : MainSignalSample(w, settings, (second - kNoticeSeconds) * rate + a));
      if (cancelled()) {
        file->Discard();
        return RenderOutcome::Cancelled;
      }
    }
    if (progress) progress->Advance();
  }

  // A short write or a failed close would leave a file whose header promises
  // six seconds it does not hold: remove it and say so.
  if (!file->WriteAll(image.get(), size) || !file->Close()) {
    file->Discard();
    reporter.Report(kWriteFailedMessage);
    return RenderOutcome::WriteFailed;
  }
  return RenderOutcome::Completed;
}

}  // namespace marvolen
