// End correction of the -detail stream table: streams of one interleave block
// that stop and resume on consecutive sectors are taken to end together.
#include "format/xa/stream_ends.hpp"

void correct_stream_ends(DetailStream* streams, int count, const ResumeSearch& find_resume) {
  for (int j = 0; j < count; ++j) {
    DetailStream& entry = streams[j];
    entry.end = entry.last;
    const int32_t resume = find_resume(entry.file, entry.channel, entry.last + 1);
    if (resume < 0) continue;
    entry.end = resume;
    bool together = j > 0 && resume == streams[j - 1].end + 1;
    if (together && count >= 3) together = j >= 2 && resume == streams[j - 2].end + 2;
    if (!together) continue;
    for (int k = 0; k < count; ++k) streams[k].end = resume - j + k;
    return;
  }
}
