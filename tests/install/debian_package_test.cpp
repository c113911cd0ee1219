// `cpack -G DEB` makes a Debian package of what the install rules install,
// under /usr, that depends on the packages of the libraries korvane links.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/movie/external_tools.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

namespace fs = std::filesystem;

TEST(DebianPackage, HoldsTheInstalledFilesAndTheirDependencies) {
  for (const char* tool : {"dpkg-deb", "dpkg-shlibdeps"})
    if (find_on_path(tool).empty()) GTEST_SKIP() << tool << " is not installed (Debian package dpkg-dev)";
  TempDir out;
  ProcessOptions options;
  options.timeout_seconds = 600;
  const ProcessResult made = run_process({KORVANE_CPACK, "-G", "DEB", "-B", out.path(), "--config",
                                          std::string(KORVANE_BUILD_DIR) + "/CPackConfig.cmake"},
                                         options);
  ASSERT_EQ(made.status, 0) << made.out << made.err;
  std::string deb;
  for (const auto& entry : fs::directory_iterator(out.path()))
    if (entry.path().extension() == ".deb") deb = entry.path().string();
  ASSERT_FALSE(deb.empty()) << made.out;

  const ProcessResult depends = run_process({find_on_path("dpkg-deb"), "-f", deb, "Package", "Version", "Depends"});
  ASSERT_EQ(depends.status, 0) << depends.err;
  EXPECT_NE(depends.out.find("Package: korvane\n"), std::string::npos) << depends.out;
  EXPECT_NE(depends.out.find(std::string("Version: ") + KORVANE_PROJECT_VERSION), std::string::npos)
      << depends.out;
  for (const char* package : {"libc6", "libstdc++6", "libsdl2-2.0-0"})
    EXPECT_NE(depends.out.find(package), std::string::npos) << depends.out;

  const ProcessResult contents = run_process({find_on_path("dpkg-deb"), "-c", deb});
  ASSERT_EQ(contents.status, 0) << contents.err;
  for (const char* file : {"./usr/bin/korvane", "./usr/bin/velmora", "./usr/lib/korvane/wnaspi32.so",
                           "./usr/share/man/man1/korvane.1", "./usr/share/man/man1/velmora.1",
                           "./usr/share/doc/korvane/README.md",
                           "./usr/share/doc/korvane/docs/errors.md"})
    EXPECT_NE(contents.out.find(std::string(file) + "\n"), std::string::npos) << file;
  EXPECT_EQ(contents.out.find("emulated"), std::string::npos);
}

}  // namespace
