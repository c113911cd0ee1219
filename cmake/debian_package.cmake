# `cpack -G DEB` in the build folder: a Debian package of what the install
# rules install, under /usr. dpkg-shlibdeps finds the packages of the shared
# libraries korvane, velmora and the ASPI module link (the C and C++ runtimes,
# SDL2, and whatever else the build links).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "extract STR movies and XA audio from PlayStation CD-ROMs")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "korvane converts the STR full-motion video of PlayStation CD-ROMs into
uncompressed AVI files or numbered BMP pictures and their XA ADPCM audio into
WAV files. It reads disc images, sector files and CD drives (through an ASPI
module for SCSI generic devices), scans whole discs, keeps a catalogue of
movies hidden in container files, copies discs with a double-read check and
plays movies with sound. velmora sets the frame rate of an AVI korvane wrote.")
set(CPACK_PACKAGE_CONTACT "korvane developers <korvane@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
include(CPack)
