// Building the viewer's direct-lookup tables from the grouped tables.
#include "format/viewer/viewer_code_tables.hpp"

#include <cstddef>
#include <vector>

#include "format/mdec/code_tables.hpp"

namespace {

int entries_for_length(int length) {
  return length < 7 ? (1 << length) : kViewerLongArrayEntries;
}

ViewerCodeTables* build() {
  auto* tables = new ViewerCodeTables();
  static std::vector<int32_t> arrays[kViewerMaxAcBits + 1];
  const std::vector<int16_t>& grouped = grouped_ac_table();
  size_t i = 0;
  for (int length = kShortestCodeBits; length <= kViewerMaxAcBits; ++length) {
    const int count = grouped[i++];
    if (count == 0) {
      tables->ac_by_length[length] = nullptr;
      tables->ac_entries[length] = 0;
      continue;
    }
    std::vector<int32_t>& array = arrays[length];
    array.assign(static_cast<size_t>(entries_for_length(length)), kViewerNoCode);
    for (int n = 0; n < count; ++n, i += 3) {
      const int16_t value = grouped[i], run = grouped[i + 1], level = grouped[i + 2];
      int32_t entry;
      if (value == kEscapeCodeValue)
        entry = kViewerEscape;
      else if (run == 0 && level == 0)
        entry = kViewerEndOfBlock;
      else
        entry = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint16_t>(level)) << 16 |
                                     static_cast<uint32_t>(run * 2));
      array.at(static_cast<size_t>(value)) = entry;
    }
    tables->ac_by_length[length] = array.data();
    tables->ac_entries[length] = static_cast<int>(array.size());
  }
  tables->ac_by_length[0] = tables->ac_by_length[1] = nullptr;
  tables->ac_by_length[kViewerMaxAcBits + 1] = viewer_table_end();

  static std::vector<int32_t> luminance(grouped_dc_luminance_table().begin(),
                                        grouped_dc_luminance_table().end());
  static std::vector<int32_t> chrominance(grouped_dc_chrominance_table().begin(),
                                          grouped_dc_chrominance_table().end());
  tables->dc_luminance = luminance.data();
  tables->dc_chrominance = chrominance.data();
  return tables;
}

}  // namespace

const ViewerCodeTables& viewer_code_tables() {
  static const ViewerCodeTables* tables = build();
  return *tables;
}
