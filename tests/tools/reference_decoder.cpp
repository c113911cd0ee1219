// Test-side MDEC decoder and quality measures (see reference_decoder.hpp).
#include "tests/tools/reference_decoder.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>

#include "base/byte_order.hpp"
#include "format/mdec/mdec_tables.hpp"

namespace reference {

namespace {

class Bits {
 public:
  explicit Bits(const std::vector<uint8_t>& d) : d_(d) {}
  int bit() {
    const size_t byte = kFrameHeaderBytes + (pos_ / 16) * 2;
    if (byte + 1 >= d_.size()) throw std::runtime_error("read past the bitstream");
    const int b = (get_le16(&d_[byte]) >> (15 - pos_ % 16)) & 1;
    ++pos_;
    return b;
  }
  uint32_t get(int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 1) | static_cast<uint32_t>(bit());
    return v;
  }

 private:
  const std::vector<uint8_t>& d_;
  size_t pos_ = 0;
};

int32_t sign_extend(uint32_t v, int bits) {
  return static_cast<int32_t>(v << (32 - bits)) >> (32 - bits);
}

// Reads bits until they spell one of the codes of the table.
template <typename T>
T read_code(Bits& b, const std::map<std::string, T>& table) {
  std::string s;
  while (s.size() < 17) {
    s += b.bit() ? '1' : '0';
    if (auto it = table.find(s); it != table.end()) return it->second;
  }
  throw std::runtime_error("no code matches " + s);
}

constexpr int kEob = -1, kEscape = -2;

const std::map<std::string, std::pair<int, int>>& ac_table() {
  static const auto t = [] {
    std::map<std::string, std::pair<int, int>> m;
    for (const AcCode& c : kAcCodes) {
      m[std::string(c.bits) + "0"] = {c.run, c.level};
      m[std::string(c.bits) + "1"] = {c.run, -c.level};
    }
    m[kEndOfBlockBits] = {kEob, 0};
    m[kEscapeBits] = {kEscape, 0};
    return m;
  }();
  return t;
}

std::map<std::string, int> dc_table(const char* const* bits) {
  std::map<std::string, int> m;
  for (int i = 0; i < kDcSizeCount; ++i) m[bits[i]] = i;
  return m;
}

void idct(const int16_t in[64], double out[64]) {
  const double c[8] = {0.5, static_cast<float>(0.69352), static_cast<float>(0.653282), static_cast<float>(0.587938),
                       static_cast<float>(0.5), static_cast<float>(0.392848), static_cast<float>(0.2706),
                       static_cast<float>(0.13795)};
  auto weight = [&](int k, int x) {
    int a = ((2 * x + 1) * k) % 32;
    if (a > 16) a = 32 - a;
    return a < 8 ? c[a] : -c[16 - a];
  };
  double work[64];
  for (int r = 0; r < 8; ++r)
    for (int x = 0; x < 8; ++x) {
      double s = 0.5 * in[r * 8];
      for (int k = 1; k < 8; ++k) s += in[r * 8 + k] * weight(k, x);
      work[x * 8 + r] = s;
    }
  for (int x = 0; x < 8; ++x)
    for (int k = 0; k < 8; ++k) {
      double u[8];
      for (int j = 0; j < 8; ++j) {
        const double v = work[x * 8 + j];
        u[j] = (j == 0 || j == 4) ? v : static_cast<int16_t>(static_cast<int32_t>(v));
      }
      double s = 0.5 * u[0];
      for (int j = 1; j < 8; ++j) s += u[j] * weight(j, k);
      out[k * 8 + x] = s;
    }
}

}  // namespace

std::vector<Block> decode_blocks(const std::vector<uint8_t>& bs, int width, int height) {
  const int mbs = ((width + 15) / 16) * ((height + 15) / 16);
  const int version = get_le16(&bs[kFrameHeaderVersionOffset]);
  static const auto lum = dc_table(kDcSizeLuminanceBits), chrom = dc_table(kDcSizeChrominanceBits);
  Bits b(bs);
  std::vector<Block> out(static_cast<size_t>(mbs) * 6, Block{});
  for (size_t i = 0; i < out.size(); ++i) {
    Block& blk = out[i];
    if (version <= 2) {
      blk[0] = static_cast<int16_t>(sign_extend(b.get(kDcBitsV2), kDcBitsV2));
    } else {
      const int size = read_code(b, i % 6 < 2 ? chrom : lum);
      int v = 0;
      if (size > 0) {
        v = static_cast<int>(b.get(size));
        if (v < (1 << (size - 1))) v -= (1 << size) - 1;
      }
      blk[0] = static_cast<int16_t>(v);
    }
    int pos = 1;
    for (;;) {
      auto [run, level] = read_code(b, ac_table());
      if (run == kEob) break;
      if (run == kEscape) {
        run = static_cast<int>(b.get(kEscapeRunBits));
        level = sign_extend(b.get(kEscapeLevelBits), kEscapeLevelBits);
      }
      pos += run;
      if (pos > 63) throw std::runtime_error("run past the block");
      blk[static_cast<size_t>(pos++)] = static_cast<int16_t>(level);
    }
  }
  if (version > 2) {
    int16_t pred[3] = {0, 0, 0};
    for (size_t i = 0; i < out.size(); ++i) {
      int16_t& p = pred[std::min<size_t>(i % 6, 2)];
      out[i][0] = static_cast<int16_t>(out[i][0] + p);
      p = out[i][0];
    }
  }
  return out;
}

mkdisc::RgbFrame decode_picture(const std::vector<uint8_t>& bs, int width, int height) {
  const int w = (width + 15) & ~15, h = (height + 15) & ~15;
  const int version = get_le16(&bs[kFrameHeaderVersionOffset]);
  const int scale = get_le16(&bs[kFrameHeaderScaleOffset]);
  const std::vector<Block> blocks = decode_blocks(bs, width, height);
  mkdisc::RgbFrame f = mkdisc::make_frame(w, h);
  const int rows = h / 16;
  for (size_t m = 0; m < blocks.size() / 6; ++m) {
    double samples[6][64];
    for (int k = 0; k < 6; ++k) {
      const Block& in = blocks[m * 6 + static_cast<size_t>(k)];
      int16_t deq[64];
      deq[0] = version == 2 ? in[0] : static_cast<int16_t>(in[0] * 4);
      for (int s = 1; s < 64; ++s) deq[kZigzag[s]] = static_cast<int16_t>(in[s] * kQuantTable[s] * scale / 16);
      idct(deq, samples[k]);
    }
    const int mx = static_cast<int>(m) / rows, my = static_cast<int>(m) % rows;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        const int q = 2 + (y / 8) * 2 + x / 8;
        const double Y = samples[q][(y % 8) * 8 + x % 8] + 128.0;
        const double A = samples[0][(y / 2) * 8 + x / 2], B = samples[1][(y / 2) * 8 + x / 2];
        // A is Cr, B is Cb.
        const double p[3] = {Y + static_cast<float>(1.772) * B,
                             (Y - static_cast<float>(0.3437) * B) - static_cast<float>(0.7143) * A,
                             Y + static_cast<float>(1.402) * A};
        uint8_t* px = f.pixel(mx * 16 + x, my * 16 + y);
        for (int c = 0; c < 3; ++c) {  // p0 is blue, p2 red
          const int v = static_cast<int16_t>(static_cast<int32_t>(p[c]));
          px[2 - c] = static_cast<uint8_t>(std::clamp(v, 0, 255));
        }
      }
  }
  return f;
}

double psnr(const mkdisc::RgbFrame& a, const mkdisc::RgbFrame& b) {
  double se = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      for (int c = 0; c < 3; ++c) {
        const double d = a.pixel(x, y)[c] - b.pixel(x, y)[c];
        se += d * d;
      }
  const double mse = se / (3.0 * a.width * a.height);
  return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

double snr_db(const std::vector<int16_t>& s, const std::vector<int16_t>& d) {
  double sig = 0, err = 0;
  for (size_t i = 0; i < std::min(s.size(), d.size()); ++i) {
    sig += static_cast<double>(s[i]) * s[i];
    err += static_cast<double>(s[i] - d[i]) * (s[i] - d[i]);
  }
  return err == 0 ? 99.0 : 10.0 * std::log10(sig / err);
}

}  // namespace reference
