// Placeholder until the BMP and AVI writers land.
#include "common/not_built.hpp"
#include "output/avi_writer.hpp"
#include "output/bmp_writer.hpp"

void open_avi() { not_built("open_avi"); }
void write_avi_frame() { not_built("write_avi_frame"); }
void finish_avi() { not_built("finish_avi"); }
void write_bmp_frame() { not_built("write_bmp_frame"); }
