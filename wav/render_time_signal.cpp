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

// Stores one sample value in every channel of a frame, least significant byte
// first; the right channel copies the left one's bytes. Width and channel
// count are template arguments so the per-frame work is a few plain stores.
template <int Bytes, int Channels>
uint8_t* PutFrame(uint8_t* at, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int c = 0; c < Channels; ++c) {
    for (int i = 0; i < Bytes; ++i) *at++ = static_cast<uint8_t>(v >> (8 * i));
  }
  return at;
}

// Computes every frame of the six seconds into `data`. Returns false when a
// cancel request was seen; the poll follows every frame, the last included,
// and Advance follows the poll of a second's last frame.
template <int Bytes, int Channels>
bool RenderFrames(const SignalSettings& settings, ProgressSink* progress, uint8_t* data) {
  const int32_t w = settings.BitSize;
  const int32_t rate = settings.SampleRate;
  const int32_t pipUnit = PipUnit(settings);
  const auto notice =
      settings.SelectHousoukyoku == kStationNhk ? NoticeSampleNhk : NoticeSampleNippon;
  for (int32_t second = 0; second < kSignalSeconds; ++second) {
    for (int32_t a = 0; a < rate; ++a) {
      const int32_t value =
          second < kNoticeSeconds
              ? notice(w, settings, a, pipUnit)
              : MainSignalSample(w, settings, (second - kNoticeSeconds) * rate + a);
      data = PutFrame<Bytes, Channels>(data, value);
      if (progress && progress->IsCancelRequested()) return false;
    }
    if (progress) progress->Advance();
  }
  return true;
}

template <int Bytes>
bool RenderFramesFor(const SignalSettings& settings, ProgressSink* progress, uint8_t* data) {
  return ChannelCount(settings) == 1 ? RenderFrames<Bytes, 1>(settings, progress, data)
                                     : RenderFrames<Bytes, 2>(settings, progress, data);
}

bool RenderAllFrames(const SignalSettings& settings, ProgressSink* progress, uint8_t* data) {
  switch (BytesPerSample(settings)) {
    case 1:
      return RenderFramesFor<1>(settings, progress, data);
    case 2:
      return RenderFramesFor<2>(settings, progress, data);
    default:
      return RenderFramesFor<3>(settings, progress, data);
  }
}

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

  if (!RenderAllFrames(settings, progress, image.get() + kWavHeaderSize)) {
    file->Discard();
    return RenderOutcome::Cancelled;
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
