# Where an installation puts korvane's files under its prefix: the programs
# in bin, the ASPI module in lib/korvane (korvane looks there, relative to its
# own directory, after looking beside itself), the manual pages in
# share/man/man1, the README and docs/ in share/doc/korvane. The emulated
# drive is a test tool and is not installed.
set(KORVANE_MODULE_INSTALL_DIR lib/korvane)
file(RELATIVE_PATH KORVANE_MODULE_FROM_BINDIR
  /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${KORVANE_MODULE_INSTALL_DIR})
