// Whether standard output is a terminal that shows UTF-8: asked once by the
// console writer. One implementation per operating system.
#pragma once

bool stdout_is_utf8_terminal();
