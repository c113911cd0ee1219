// ISO 9660 image layout in the 2336-byte form. Sectors 0-15 are the system
// area, 16 the primary volume descriptor, 17 the set terminator, then the
// little- and big-endian path tables, the directories (breadth first) and the
// files' extents in the order given. Directory records carry the CD-XA
// system-use field that PlayStation discs have.
#include "tools/mkdisc/iso_image.hpp"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>

#include "base/byte_order.hpp"
#include "tools/mkdisc/movie.hpp"

namespace mkdisc {

namespace {

constexpr int kBlock = 2048;
constexpr int kTerminatorSector = 17;
constexpr int kFirstPathTableSector = 18;
constexpr uint8_t kSubmodeLastOfRecord = submode::kData | submode::kEndOfRecord;                       // 0x09
constexpr uint8_t kSubmodeLastOfFile = submode::kData | submode::kEndOfRecord | submode::kEndOfFile;  // 0x89
constexpr size_t kMaxVolumeId = 32;
constexpr size_t kMaxDirName = 31;
constexpr size_t kMaxFileName = 30;   // ";1" makes 32
constexpr int kRecordFixedBytes = 33; // directory record before the identifier
constexpr int kXaFieldBytes = 14;
constexpr int kXaAttrForm1 = 0x0800;
constexpr int kXaAttrForm2 = 0x1000;
constexpr int kXaAttrInterleaved = 0x2000;
constexpr int kXaAttrDirectory = 0x8000;
constexpr int kXaAttrPermissions = 0x0555;  // read and execute for all
constexpr uint8_t kFlagDirectory = 0x02;
// A fixed recording date (1998-01-01 00:00:00 GMT) keeps images identical.
constexpr uint8_t kRecordDate[7] = {98, 1, 1, 0, 0, 0, 0};
constexpr const char* kVolumeDate = "1998010100000000";
constexpr const char* kSystemId = "PLAYSTATION";
constexpr int kXaSignatureOffset = 1024;  // "CD-XA001" in the descriptor's application use
constexpr const char* kXaSignature = "CD-XA001";

// Field offsets of the primary volume descriptor.
constexpr int kPvdType = 0, kPvdId = 1, kPvdVersion = 6, kPvdSystemId = 8, kPvdVolumeId = 40;
constexpr int kPvdSpaceSize = 80, kPvdSetSize = 120, kPvdSeqNumber = 124, kPvdBlockSize = 128;
constexpr int kPvdPathTableSize = 132, kPvdLPathTable = 140, kPvdMPathTable = 148, kPvdRoot = 156;
constexpr int kPvdVolumeSetId = 190, kPvdDatesStart = 813, kPvdDateBytes = 17, kPvdStructureVersion = 881;
constexpr uint8_t kRootRecordBytes = 34;
constexpr int kPvdTextEnd = 813;  // identifiers from 190 up to here are padded with spaces

// Directory record offsets.
constexpr int kRecLength = 0, kRecExtent = 2, kRecDataLength = 10, kRecDate = 18, kRecFlags = 25;
constexpr int kRecSeqNumber = 28, kRecNameLength = 32, kRecName = 33;

void put_both16(uint8_t* p, uint32_t v) { put_le16(p, v); put_be16(p + 2, v); }
void put_both32(uint8_t* p, uint32_t v) { put_le32(p, v); put_be32(p + 4, v); }

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool d_characters(const std::string& s, bool allow_dot) {
  for (char c : s)
    if (!(std::isupper(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c)) || c == '_' ||
          (allow_dot && c == '.')))
      return false;
  return true;
}

std::vector<std::string> split_path(const std::string& path) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : path) {
    if (c == '/' || c == '\\') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

struct Dir {
  std::string path;     // "" for the root, "A/B" below
  std::string name;
  int parent = 0;       // index into the directory list (1-based numbers in path tables)
  std::set<std::string> subdirs;
  std::vector<size_t> files;  // indices into the file list
  uint32_t sector = 0;
  uint32_t sectors = 0;
};

struct Entry {
  std::string id;       // as recorded ("NAME.EXT;1", "SUB", "\0", "\1")
  uint32_t extent;
  uint32_t length;
  bool directory;
  bool form2;
};

int record_size(size_t id_length) {
  int n = kRecordFixedBytes + static_cast<int>(id_length);
  if (n % 2) ++n;
  return n + kXaFieldBytes;
}

void write_record(uint8_t* p, const Entry& e) {
  const int size = record_size(e.id.size());
  std::memset(p, 0, static_cast<size_t>(size));
  p[kRecLength] = static_cast<uint8_t>(size);
  put_both32(p + kRecExtent, e.extent);
  put_both32(p + kRecDataLength, e.length);
  std::memcpy(p + kRecDate, kRecordDate, sizeof kRecordDate);
  p[kRecFlags] = e.directory ? kFlagDirectory : 0;
  put_both16(p + kRecSeqNumber, 1);
  p[kRecNameLength] = static_cast<uint8_t>(e.id.size());
  std::memcpy(p + kRecName, e.id.data(), e.id.size());
  uint8_t* xa = p + size - kXaFieldBytes;  // owner ids 0, attributes, "XA", file number 0
  int attr = kXaAttrPermissions | (e.directory ? kXaAttrDirectory : e.form2 ? kXaAttrForm2 | kXaAttrInterleaved
                                                                            : kXaAttrForm1);
  put_be16(xa + 4, static_cast<uint32_t>(attr));
  xa[6] = 'X';
  xa[7] = 'A';
}

// Lays records into whole 2048-byte blocks; no record crosses a block.
std::vector<uint8_t> directory_bytes(const std::vector<Entry>& entries) {
  std::vector<uint8_t> out(kBlock, 0);
  size_t at = 0;
  for (const Entry& e : entries) {
    const size_t size = static_cast<size_t>(record_size(e.id.size()));
    if (at % kBlock + size > kBlock) at = (at / kBlock + 1) * kBlock;
    if (at + size > out.size()) out.resize((at / kBlock + 1) * kBlock, 0);
    write_record(out.data() + at, e);
    at += size;
  }
  return out;
}

size_t directory_block_count(const std::vector<Entry>& entries) { return directory_bytes(entries).size() / kBlock; }

void put_text(uint8_t* p, size_t field, const std::string& s) {
  std::memset(p, ' ', field);
  std::memcpy(p, s.data(), std::min(field, s.size()));
}

Sector form1_sector(const uint8_t* block, uint8_t submode) {
  Sector s = make_sector(0, 0, submode, 0);
  if (block) std::memcpy(s.data() + subheader::kBytes, block, kBlock);
  return s;
}

}  // namespace

std::string normalise_iso_path(const std::string& path) {
  std::string out;
  for (const std::string& part : split_path(upper(path))) out += (out.empty() ? "" : "/") + part;
  return out;
}

IsoFile plain_file(const std::string& path, const std::vector<uint8_t>& bytes) {
  IsoFile f;
  f.path = path;
  f.sectors = data_sectors(bytes);
  f.data_length = static_cast<uint32_t>(bytes.size());
  return f;
}

IsoImage build_iso_image(const std::string& volume_id_in, const std::vector<IsoFile>& files) {
  const std::string volume_id = upper(volume_id_in);
  if (volume_id.empty() || volume_id.size() > kMaxVolumeId || !d_characters(volume_id, false))
    throw Error("volume identifier \"" + volume_id_in + "\" is not 1..32 characters of A-Z 0-9 _");

  // The directory tree.
  std::vector<Dir> dirs(1);
  std::map<std::string, int> dir_index{{"", 0}};
  std::set<std::string> file_paths;
  std::vector<std::string> file_names(files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    const std::vector<std::string> parts = split_path(upper(files[i].path));
    if (parts.empty()) throw Error("file path \"" + files[i].path + "\" is empty");
    std::string path;
    int parent = 0;
    for (size_t k = 0; k + 1 < parts.size(); ++k) {
      if (parts[k].size() > kMaxDirName || !d_characters(parts[k], false))
        throw Error("directory name \"" + parts[k] + "\" is not 1..31 characters of A-Z 0-9 _");
      const std::string child = path.empty() ? parts[k] : path + "/" + parts[k];
      if (file_paths.count(child)) throw Error("\"" + child + "\" is both a file and a directory");
      if (!dir_index.count(child)) {
        Dir d;
        d.path = child;
        d.name = parts[k];
        d.parent = parent;
        dir_index[child] = static_cast<int>(dirs.size());
        dirs.push_back(d);
        dirs[static_cast<size_t>(parent)].subdirs.insert(parts[k]);
      }
      parent = dir_index[child];
      path = child;
    }
    const std::string& name = parts.back();
    if (name.size() > kMaxFileName || !d_characters(name, true) || std::count(name.begin(), name.end(), '.') > 1)
      throw Error("file name \"" + name + "\" is not 1..30 characters of A-Z 0-9 _ with at most one dot");
    const std::string full = path.empty() ? name : path + "/" + name;
    if (file_paths.count(full) || dir_index.count(full)) throw Error("file \"" + full + "\" is given twice");
    file_paths.insert(full);
    file_names[i] = full;
    dirs[static_cast<size_t>(parent)].files.push_back(i);
  }

  // Breadth-first order, as the path table wants (parents before children).
  std::vector<int> order{0};
  for (size_t k = 0; k < order.size(); ++k) {
    const Dir& d = dirs[static_cast<size_t>(order[k])];
    for (const std::string& sub : d.subdirs)
      order.push_back(dir_index[d.path.empty() ? sub : d.path + "/" + sub]);
  }
  std::vector<int> number(dirs.size());  // 1-based path table numbers
  for (size_t k = 0; k < order.size(); ++k) number[static_cast<size_t>(order[k])] = static_cast<int>(k) + 1;

  // Path table size, then sector assignment.
  size_t path_table_bytes = 0;
  for (int di : order) {
    const size_t len = di == 0 ? 1 : dirs[static_cast<size_t>(di)].name.size();
    path_table_bytes += 8 + len + (len % 2);
  }
  const uint32_t path_table_sectors = static_cast<uint32_t>((path_table_bytes + kBlock - 1) / kBlock);
  uint32_t next = kFirstPathTableSector + 2 * path_table_sectors;

  auto entries_of = [&](const Dir& d) {
    std::vector<Entry> e;
    e.push_back({std::string(1, '\0'), d.sector, d.sectors * kBlock, true, false});
    const Dir& p = dirs[static_cast<size_t>(d.parent)];
    e.push_back({std::string(1, '\1'), p.sector, p.sectors * kBlock, true, false});
    std::vector<Entry> named;
    for (const std::string& sub : d.subdirs) {
      const Dir& s = dirs[static_cast<size_t>(dir_index[d.path.empty() ? sub : d.path + "/" + sub])];
      named.push_back({sub, s.sector, s.sectors * kBlock, true, false});
    }
    for (size_t fi : d.files) {
      const std::string& full = file_names[fi];
      const std::string base = full.substr(full.find_last_of('/') == std::string::npos ? 0 : full.find_last_of('/') + 1);
      named.push_back({base + ";1", 0, 0, false, false});
    }
    std::sort(named.begin(), named.end(), [](const Entry& a, const Entry& b) { return a.id < b.id; });
    e.insert(e.end(), named.begin(), named.end());
    return e;
  };
  for (int di : order) {
    Dir& d = dirs[static_cast<size_t>(di)];
    d.sector = next;
    d.sectors = static_cast<uint32_t>(directory_block_count(entries_of(d)));
    next += d.sectors;
  }

  IsoImage img;
  for (int di : order) {
    const Dir& d = dirs[static_cast<size_t>(di)];
    img.directories[d.path] = {d.sector, d.sectors, d.sectors * kBlock};
  }
  std::vector<Extent> extents(files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    const IsoFile& f = files[i];
    extents[i].first_sector = next;
    extents[i].sector_count = static_cast<uint32_t>(f.sectors.size());
    extents[i].data_length = f.data_length ? f.data_length : static_cast<uint32_t>(f.sectors.size() * kBlock);
    next += extents[i].sector_count;
    img.files[file_names[i]] = extents[i];
  }
  const uint32_t total = next;

  img.sectors.assign(total, form1_sector(nullptr, submode::kData));
  // Primary volume descriptor.
  uint8_t pvd[kBlock] = {};
  pvd[kPvdType] = 1;
  std::memcpy(pvd + kPvdId, "CD001", 5);
  pvd[kPvdVersion] = 1;
  put_text(pvd + kPvdSystemId, 32, kSystemId);
  put_text(pvd + kPvdVolumeId, 32, volume_id);
  put_both32(pvd + kPvdSpaceSize, total);
  put_both16(pvd + kPvdSetSize, 1);
  put_both16(pvd + kPvdSeqNumber, 1);
  put_both16(pvd + kPvdBlockSize, kBlock);
  put_both32(pvd + kPvdPathTableSize, static_cast<uint32_t>(path_table_bytes));
  put_le32(pvd + kPvdLPathTable, kFirstPathTableSector);
  put_be32(pvd + kPvdMPathTable, kFirstPathTableSector + path_table_sectors);
  const Dir& root = dirs[0];
  write_record(pvd + kPvdRoot, {std::string(1, '\0'), root.sector, root.sectors * kBlock, true, false});
  // The root record of the descriptor is the plain 34-byte form, without
  // the system-use field; the identifiers after it are padded with spaces.
  pvd[kPvdRoot + kRecLength] = kRootRecordBytes;
  std::memset(pvd + kPvdVolumeSetId, ' ', kPvdTextEnd - kPvdVolumeSetId);
  for (int k = 0; k < 4; ++k) {
    uint8_t* date = pvd + kPvdDatesStart + k * kPvdDateBytes;
    std::memcpy(date, k == 2 ? "0000000000000000" : kVolumeDate, 16);
    date[16] = 0;
  }
  pvd[kPvdStructureVersion] = 1;
  std::memcpy(pvd + kXaSignatureOffset, kXaSignature, std::strlen(kXaSignature));
  img.sectors[kVolumeDescriptorSector] = form1_sector(pvd, kSubmodeLastOfRecord);
  uint8_t term[kBlock] = {};
  term[kPvdType] = 255;
  std::memcpy(term + kPvdId, "CD001", 5);
  term[kPvdVersion] = 1;
  img.sectors[kTerminatorSector] = form1_sector(term, kSubmodeLastOfFile);

  // Path tables, little-endian then big-endian.
  for (int big = 0; big < 2; ++big) {
    std::vector<uint8_t> t(path_table_sectors * kBlock, 0);
    size_t at = 0;
    for (int di : order) {
      const Dir& d = dirs[static_cast<size_t>(di)];
      const std::string id = di == 0 ? std::string(1, '\0') : d.name;
      t[at] = static_cast<uint8_t>(id.size());
      if (big) {
        put_be32(&t[at + 2], d.sector);
        put_be16(&t[at + 6], static_cast<uint32_t>(number[static_cast<size_t>(d.parent)]));
      } else {
        put_le32(&t[at + 2], d.sector);
        put_le16(&t[at + 6], static_cast<uint32_t>(number[static_cast<size_t>(d.parent)]));
      }
      std::memcpy(&t[at + 8], id.data(), id.size());
      at += 8 + id.size() + id.size() % 2;
    }
    for (uint32_t s = 0; s < path_table_sectors; ++s)
      img.sectors[kFirstPathTableSector + big * path_table_sectors + s] =
          form1_sector(&t[s * kBlock], s + 1 == path_table_sectors ? kSubmodeLastOfFile : submode::kData);
  }

  // Directories, with the files' extents filled in.
  for (int di : order) {
    const Dir& d = dirs[static_cast<size_t>(di)];
    std::vector<Entry> entries = entries_of(d);
    for (Entry& e : entries) {
      if (e.directory) continue;
      const std::string base = e.id.substr(0, e.id.size() - 2);
      const std::string full = d.path.empty() ? base : d.path + "/" + base;
      const Extent& x = img.files[full];
      e.extent = x.first_sector;
      e.length = x.data_length;
      for (size_t fi : d.files)
        if (file_names[fi] == full) e.form2 = files[fi].data_length == 0;  // a stream, not plain data
    }
    const std::vector<uint8_t> bytes = directory_bytes(entries);
    for (uint32_t s = 0; s < d.sectors; ++s)
      img.sectors[d.sector + s] = form1_sector(&bytes[s * kBlock], s + 1 == d.sectors ? kSubmodeLastOfFile : submode::kData);
  }

  for (size_t i = 0; i < files.size(); ++i)
    std::copy(files[i].sectors.begin(), files[i].sectors.end(),
              img.sectors.begin() + static_cast<std::ptrdiff_t>(extents[i].first_sector));
  return img;
}

}  // namespace mkdisc
