#include "wav/wav_header.h"

namespace marvolen {
namespace {

constexpr uint32_t kPcmFmtChunkSize = 16;
constexpr uint16_t kFormatPcm = 1;  // integer PCM, for 24 bit too
// "WAVE" + the 8-byte fmt chunk header + its 16 bytes + the 8-byte data
// chunk header: what RiffSize counts besides the samples.
constexpr uint32_t kRiffOverhead = 4 + 8 + kPcmFmtChunkSize + 8;

class LittleEndianWriter {
 public:
  explicit LittleEndianWriter(std::array<uint8_t, kWavHeaderSize>& out) : out_(out) {}
  void Id(const std::array<char, 4>& id) {
    for (char c : id) out_[pos_++] = static_cast<uint8_t>(c);
  }
  void U16(uint16_t v) {
    out_[pos_++] = static_cast<uint8_t>(v);
    out_[pos_++] = static_cast<uint8_t>(v >> 8);
  }
  void U32(uint32_t v) {
    U16(static_cast<uint16_t>(v));
    U16(static_cast<uint16_t>(v >> 16));
  }

 private:
  std::array<uint8_t, kWavHeaderSize>& out_;
  size_t pos_ = 0;
};

}  // namespace

WavHeader BuildWavHeader(const SignalSettings& settings) {
  const auto bytesPerSample = static_cast<uint32_t>(BytesPerSample(settings));
  const auto channels = static_cast<uint32_t>(ChannelCount(settings));
  const auto rate = static_cast<uint32_t>(settings.SampleRate);
  WavHeader h{};
  h.RiffId = {'R', 'I', 'F', 'F'};
  h.WaveId = {'W', 'A', 'V', 'E'};
  h.FmtId = {'f', 'm', 't', ' '};
  h.FmtSize = kPcmFmtChunkSize;
  h.FormatTag = kFormatPcm;
  h.Channels = static_cast<uint16_t>(channels);
  h.SamplesPerSec = rate;
  h.BytesPerSec = rate * bytesPerSample * channels;
  h.BlockAlign = static_cast<uint16_t>(bytesPerSample * channels);
  h.BitsPerSample = static_cast<uint16_t>(8 * bytesPerSample);
  h.DataId = {'d', 'a', 't', 'a'};
  h.DataSize = h.BytesPerSec * kSignalSeconds;
  h.RiffSize = h.DataSize + kRiffOverhead;
  return h;
}

std::array<uint8_t, kWavHeaderSize> SerializeWavHeader(const WavHeader& h) {
  std::array<uint8_t, kWavHeaderSize> out{};
  LittleEndianWriter w(out);
  w.Id(h.RiffId);
  w.U32(h.RiffSize);
  w.Id(h.WaveId);
  w.Id(h.FmtId);
  w.U32(h.FmtSize);
  w.U16(h.FormatTag);
  w.U16(h.Channels);
  w.U32(h.SamplesPerSec);
  w.U32(h.BytesPerSec);
  w.U16(h.BlockAlign);
  w.U16(h.BitsPerSample);
  w.Id(h.DataId);
  w.U32(h.DataSize);
  return out;
}

}  // namespace marvolen
