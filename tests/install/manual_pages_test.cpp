// The manual pages korvane.1 and velmora.1 are clean under both formatters'
// checks: mandoc's lint and groff's warnings.
#include <gtest/gtest.h>

#include <string>

#include "tests/movie/external_tools.hpp"
#include "tests/support/process.hpp"

namespace {

const char* const kPages[] = {"korvane.1", "velmora.1"};

std::string page(const char* name) { return std::string(KORVANE_SOURCE_DIR) + "/man/" + name; }

TEST(ManualPages, MandocLintFindsNothing) {
  if (find_on_path("mandoc").empty()) GTEST_SKIP() << "mandoc is not installed (Debian package mandoc)";
  for (const char* name : kPages) {
    // Warnings and worse; the style hints about other pages' presence in
    // the manual database depend on the machine.
    const ProcessResult r = run_process({find_on_path("mandoc"), "-T", "lint", "-W", "warning", page(name)});
    EXPECT_EQ(r.status, 0) << name << "\n" << r.out << r.err;
    EXPECT_EQ(r.out + r.err, "") << name;
  }
}

TEST(ManualPages, GroffWarnsOfNothing) {
  if (find_on_path("groff").empty()) GTEST_SKIP() << "groff is not installed (Debian package groff-base)";
  for (const char* name : kPages) {
    const ProcessResult r = run_process({find_on_path("groff"), "-ww", "-z", "-mandoc", "-Tutf8", page(name)});
    EXPECT_EQ(r.status, 0) << name << "\n" << r.err;
    EXPECT_EQ(r.err, "") << name;
  }
}

}  // namespace
