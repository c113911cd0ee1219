// Opening a CUE sheet and its BIN files.
#include "io/cue_image.hpp"

#include <string_view>

#include "platform/errors.hpp"
#include "format/image/cue_layout.hpp"
#include "format/image/cue_sheet.hpp"
#include "io/image_faults.hpp"
#include "io/settings_path.hpp"
#include "platform/host_file.hpp"

namespace {

// The folder part of a path, with its final separator ("" for none).
std::string folder_of(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool is_absolute(const std::string& name) {
  return (!name.empty() && (name[0] == '/' || name[0] == '\\')) || (name.size() > 1 && name[1] == ':');
}

// Where the sheet's file name points: beside the sheet unless absolute;
// "\\" separates folders as "/" does. When no file has that name, an entry
// of the same folder whose name differs only in letter case.
std::string resolve_bin(const std::string& sheet_name, const std::string& written) {
  std::string name = written;
  if (kDirectorySeparator == '/')
    for (char& c : name)
      if (c == '\\') c = '/';
  const std::string path = is_absolute(name) ? name : folder_of(sheet_name) + name;
  if (host_file_exists(path)) return path;
  const std::string folder = folder_of(path);
  std::string found;
  if (find_name_ignoring_case(folder.empty() ? std::string(".") : folder, path.substr(folder.size()), &found))
    return folder + found;
  return path;
}

}  // namespace

void open_cue_image(FILE* sheet, const std::string& sheet_name, CueImage* image) {
  std::string text(kLongestCueSheet + 1, '\0');
  if (!seek_file(sheet, 0)) refuse_image(kErrRead, sheet_name, "the sheet cannot be read");
  text.resize(std::fread(text.data(), 1, text.size(), sheet));
  if (text.size() > kLongestCueSheet) refuse_image(kErrOpen, sheet_name, "too long for a CUE sheet");
  const CueParse parse = parse_cue_sheet(text);
  if (parse.fault != nullptr) refuse_image(kErrOpen, sheet_name, parse.fault);

  std::vector<int64_t> sizes;
  for (const CueFile& file : parse.sheet.files) {
    const std::string path = resolve_bin(sheet_name, file.name);
    image->paths.push_back(path);
    // A folder opens as a stream too, but holds no sectors.
    FILE* bin = host_file_exists(path) ? std::fopen(path.c_str(), "rb") : nullptr;
    if (bin == nullptr) refuse_image(kErrOpen, path, "a file of the sheet cannot be opened");
    image->files.push_back(bin);
    int64_t size = 0;
    if (!file_size(bin, &size)) refuse_image(kErrOpen, path, "a file of the sheet cannot be measured");
    sizes.push_back(size);
  }
  CueLayout layout = lay_out_cue_sheet(parse.sheet, sizes);
  if (layout.fault != nullptr)
    refuse_image(kErrOpen, layout.fault_file >= 0 ? image->paths[layout.fault_file] : sheet_name, layout.fault);
  image->tracks = std::move(layout.tracks);
}

void close_cue_image(CueImage* image) {
  for (FILE* file : image->files) std::fclose(file);
  *image = CueImage{};
}
