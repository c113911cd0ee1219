// CUE sheets and BIN files for the synthesiser's discs.
#include "tools/mkdisc/cue_disc.hpp"

#include <array>
#include <cstdio>
#include <filesystem>

#include "format/image/cd_ecc.hpp"
#include "tools/mkdisc/sector_file.hpp"

namespace mkdisc {

namespace {

constexpr size_t kEdcBytes = 4;
constexpr size_t kForm1EdcStart = kSyncHeaderBytes;                       // subheader and user data
constexpr size_t kForm1EdcAt = kSyncHeaderBytes + subheader::kBytes + kForm1DataBytes;
constexpr size_t kForm2EdcAt = kCdSectorBytes - kEdcBytes;
constexpr uint32_t kEdcPolynomial = 0xD8018001;  // x^32 + x^31 + x^16 + x^15 + x^4 + x^3 + x + 1, reflected
constexpr uint32_t kPregapSectors = 150;         // two seconds before the audio
constexpr size_t kCdAudioSamplesPerSector = kCdSectorBytes / 2;

constexpr std::array<uint32_t, 256> make_edc_table() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t edc = i;
    for (int bit = 0; bit < 8; ++bit) edc = (edc >> 1) ^ ((edc & 1) ? kEdcPolynomial : 0);
    table[i] = edc;
  }
  return table;
}
constexpr std::array<uint32_t, 256> kEdcTable = make_edc_table();

uint32_t edc_of(const uint8_t* data, size_t length) {
  uint32_t edc = 0;
  for (size_t i = 0; i < length; ++i) edc = (edc >> 8) ^ kEdcTable[(edc ^ data[i]) & 0xFF];
  return edc;
}

void put_edc(uint8_t* at, uint32_t edc) {
  for (size_t i = 0; i < kEdcBytes; ++i) at[i] = static_cast<uint8_t>(edc >> (8 * i));
}

std::string msf(uint32_t sectors) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", sectors / 75 / 60, sectors / 75 % 60, sectors % 75);
  return text;
}

class Output {
 public:
  explicit Output(const std::string& path) : path_(path), file_(std::fopen(path.c_str(), "wb")) {
    if (file_ == nullptr) throw Error("cannot create \"" + path + "\"");
  }
  ~Output() {
    if (file_ != nullptr) std::fclose(file_);
  }
  void write(const uint8_t* data, size_t size) {
    if (std::fwrite(data, 1, size, file_) != size) throw Error("cannot write \"" + path_ + "\"");
  }
  void close() {
    const int result = std::fclose(file_);
    file_ = nullptr;
    if (result != 0) throw Error("cannot write \"" + path_ + "\"");
  }

 private:
  std::string path_;
  FILE* file_;
};

// The audio track's frames: the pregap's silence, then the PCM little-endian.
std::vector<uint8_t> audio_frames(const std::vector<int16_t>& audio) {
  const size_t sectors = (audio.size() + kCdAudioSamplesPerSector - 1) / kCdAudioSamplesPerSector;
  std::vector<uint8_t> bytes((kPregapSectors + sectors) * kCdSectorBytes, 0);
  uint8_t* out = bytes.data() + kPregapSectors * kCdSectorBytes;
  for (int16_t s : audio) {
    *out++ = static_cast<uint8_t>(s & 0xFF);
    *out++ = static_cast<uint8_t>((s >> 8) & 0xFF);
  }
  return bytes;
}

}  // namespace

std::vector<uint8_t> pressed_sector(const Sector& sector, uint32_t address) {
  std::vector<uint8_t> raw = raw_sector(sector, address);
  if ((sector[subheader::kSubmode] & submode::kForm2) != 0) {
    put_edc(raw.data() + kForm2EdcAt, edc_of(raw.data() + kForm1EdcStart, kForm2EdcAt - kForm1EdcStart));
  } else {
    put_edc(raw.data() + kForm1EdcAt, edc_of(raw.data() + kForm1EdcStart, kForm1EdcAt - kForm1EdcStart));
    compute_sector_ecc(raw.data());
  }
  return raw;
}

void write_cue_disc(const std::string& cue_path, const SectorList& sectors, const std::vector<int16_t>& audio,
                    CueFiles files) {
  const std::filesystem::path cue(cue_path);
  const std::string stem = cue.stem().string();
  const std::filesystem::path dir = cue.parent_path();
  const bool split = files == CueFiles::bin_per_track;
  const std::string data_name = split ? stem + " (Track 1).bin" : stem + ".bin";
  const std::string audio_name = stem + " (Track 2).bin";

  Output data((dir / data_name).string());
  for (size_t i = 0; i < sectors.size(); ++i) {
    const std::vector<uint8_t> raw = pressed_sector(sectors[i], static_cast<uint32_t>(i));
    data.write(raw.data(), raw.size());
  }
  const std::vector<uint8_t> music = audio_frames(audio);
  std::string sheet = "FILE \"" + data_name + "\" BINARY\r\n  TRACK 01 MODE2/2352\r\n    INDEX 01 00:00:00\r\n";
  if (split) {
    data.close();
    Output second((dir / audio_name).string());
    second.write(music.data(), music.size());
    second.close();
    sheet += "FILE \"" + audio_name + "\" BINARY\r\n  TRACK 02 AUDIO\r\n    INDEX 00 00:00:00\r\n    INDEX 01 " +
             msf(kPregapSectors) + "\r\n";
  } else {
    data.write(music.data(), music.size());
    data.close();
    const uint32_t start = static_cast<uint32_t>(sectors.size());
    sheet += "  TRACK 02 AUDIO\r\n    INDEX 00 " + msf(start) + "\r\n    INDEX 01 " + msf(start + kPregapSectors) +
             "\r\n";
  }
  Output text(cue_path);
  text.write(reinterpret_cast<const uint8_t*>(sheet.data()), sheet.size());
  text.close();
}

}  // namespace mkdisc
