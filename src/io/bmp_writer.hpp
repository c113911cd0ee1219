// One 24-bit BMP file per frame, named output_name + "%08d.BMP".
#pragma once

void write_bmp_frame();
