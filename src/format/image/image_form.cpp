// Recognising the form of an image from its content.
#include "format/image/image_form.hpp"

#include <cctype>

#include "format/image/chd_header.hpp"
#include "format/image/cue_sheet.hpp"
#include "format/disc/sector_file_form.hpp"

ImageForm recognise_image(const uint8_t* head, size_t length) {
  if (starts_with_chd_magic(head, length)) return ImageForm::Chd;
  if (starts_with_sync(head, length)) return ImageForm::Raw2352;
  if (looks_like_cue_sheet(head, length)) return ImageForm::CueSheet;
  return ImageForm::Records2336;
}

namespace {

bool ends_with_ignoring_case(std::string_view name, std::string_view end) {
  if (name.size() < end.size()) return false;
  const std::string_view tail = name.substr(name.size() - end.size());
  for (size_t i = 0; i < end.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(tail[i])) != end[i]) return false;
  return true;
}

}  // namespace

ImageForm form_named_by(std::string_view name) {
  if (ends_with_ignoring_case(name, ".chd")) return ImageForm::Chd;
  if (ends_with_ignoring_case(name, ".cue")) return ImageForm::CueSheet;
  return ImageForm::Records2336;
}
