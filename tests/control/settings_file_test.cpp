// korvane.ini: line matching, value syntax, the MMX rules, the settings
// directory, and whole files read in the process.
#include "app/settings_file.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "io/settings_path.hpp"
#include "platform/text_encoding.hpp"
#include "state/mode_flags.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

struct Rejected {};
void reject() { throw Rejected{}; }

std::string value_of(const char* line, const char* key) {
  const char* value = nullptr;
  size_t length = 0;
  if (!setting_value_in_line(line, key, value, length)) return "<none>";
  return std::string(value, length);
}

const SettingKey& key_named(const char* name) {
  for (const SettingKey& key : setting_keys())
    if (std::strcmp(key.key, name) == 0) return key;
  ADD_FAILURE() << name;
  return setting_keys()[0];
}

// True when the value is accepted for the key.
bool accepts(const char* name, const char* value, Settings* out = nullptr) {
  Settings s;
  try {
    apply_setting_value(key_named(name), value, s, reject);
  } catch (const Rejected&) {
    return false;
  }
  if (out != nullptr) *out = s;
  return true;
}

TEST(SettingLine, KeyValueAndLineEndings) {
  EXPECT_EQ(value_of("MMX = ON\r\n", "MMX"), "ON");
  EXPECT_EQ(value_of("MMX=OFF\n", "MMX"), "OFF");
  EXPECT_EQ(value_of("MMX =\t ON  \r\n", "MMX"), "ON  ");  // trailing blanks belong to the value
  EXPECT_EQ(value_of("MMX = ON", "MMX"), "ON");           // no final newline
  EXPECT_EQ(value_of("MMX = O\rN\n", "MMX"), "O\rN");     // only CR before LF ends the line
  EXPECT_EQ(value_of("MMX = \r\n", "MMX"), "<none>");     // empty value
  EXPECT_EQ(value_of("MMX ON\n", "MMX"), "<none>");        // no "="
  EXPECT_EQ(value_of("mmx = ON\n", "MMX"), "<none>");      // keys are case-sensitive
  EXPECT_EQ(value_of(" MMX = ON\n", "MMX"), "<none>");
  EXPECT_EQ(value_of("# MMX = ON\n", "MMX"), "<none>");
  EXPECT_EQ(value_of("MMX\n", "MMX"), "<none>");
}

TEST(SettingLine, KeyIsMatchedAsPrefix) {
  EXPECT_EQ(value_of("SoundVolume = 50\n", "Sound"), "50");
  EXPECT_EQ(value_of("Sound = ON\n", "SoundVolume"), "<none>");
  EXPECT_EQ(value_of("MMXjunk = a = b\n", "MMX"), "a = b");
}

TEST(SettingValue, Syntaxes) {
  Settings s;
  ASSERT_TRUE(accepts("PreLoadFrame", "1 6", &s));
  EXPECT_EQ(s.PreLoadFrame, 16);
  ASSERT_TRUE(accepts("StartWait", "5-00", &s));
  EXPECT_EQ(s.StartWait, -500);
  ASSERT_TRUE(accepts("CDDrive", "2/0", &s));
  EXPECT_EQ(s.CDDriveAdapter, 2);
  EXPECT_EQ(s.CDDriveTarget, 0);
  EXPECT_FALSE(accepts("CDDrive", "2"));
  ASSERT_TRUE(accepts("MMX", "off", &s));
  EXPECT_EQ(s.MMX, 0);
  EXPECT_FALSE(accepts("MMX", "ON "));
  ASSERT_TRUE(accepts("FCSearch", "option", &s));
  EXPECT_EQ(s.FCSearch, 0);
  EXPECT_FALSE(accepts("FCSearch", "AUTO "));
  ASSERT_TRUE(accepts("CDChangeSpeed", "ON", &s));
  EXPECT_EQ(s.CDChangeSpeed, 1);
}

TEST(SettingValue, Ranges) {
  EXPECT_TRUE(accepts("PreLoadFrame", "8"));
  EXPECT_TRUE(accepts("PreLoadFrame", "32"));
  EXPECT_FALSE(accepts("PreLoadFrame", "33"));
  EXPECT_FALSE(accepts("PreLoadFrame", "7"));
  EXPECT_TRUE(accepts("CdReadSector", "0"));
  EXPECT_FALSE(accepts("CdReadSector", "17"));
  EXPECT_FALSE(accepts("DisplayMode", "3"));
  EXPECT_TRUE(accepts("SoundVolume", "100"));
  EXPECT_FALSE(accepts("SoundVolume", "101"));  // the command line allows up to 400
}

TEST(SettingRules, MmxRequirements) {
  Settings s;
  s.MMX = 0;
  EXPECT_STREQ(settings_conflict(s), "固定小数点を使用する場合はMMXをONにしてください.\n");
  s.Fixed = 0;
  EXPECT_EQ(settings_conflict(s), nullptr);
  s.Filter = 1;
  EXPECT_STREQ(settings_conflict(s), "フィルタを使用する場合はMMXをONにしてください.\n");

  Settings f;
  f.Filter = 1;
  f.DisplayMode = 2;
  EXPECT_EQ(settings_conflict(f), nullptr);
  apply_filter_rule(f);
  EXPECT_EQ(f.Fixed, 0);
  EXPECT_EQ(f.DisplayMode, 1);
}

std::string compose(const char* option, const char* environment, size_t size = kSettingsPathSize) {
  char out[kSettingsPathSize + 16];
  if (!compose_settings_file_path(option, environment, "KORVANE.INI", out, size)) return "<too long>";
  return out;
}

TEST(SettingsDirectory, OptionThenEnvironmentThenCurrent) {
  EXPECT_EQ(compose(nullptr, nullptr), "KORVANE.INI");
  EXPECT_EQ(compose(nullptr, "/etc/k"), "/etc/k/KORVANE.INI");
  EXPECT_EQ(compose("opt", "/etc/k"), "opt/KORVANE.INI");
  EXPECT_EQ(compose("", "/etc/k"), "KORVANE.INI");  // an empty -path: still wins
  EXPECT_EQ(compose("dir/", nullptr), "dir/KORVANE.INI");
  EXPECT_EQ(compose("C:\\dir\\", nullptr), "C:\\dir\\KORVANE.INI");
}

TEST(SettingsDirectory, TooLongIsReportedNotTruncated) {
  const std::string fits(kSettingsPathSize - 1 - 12, 'd');  // + "/" + "KORVANE.INI" = 511
  EXPECT_EQ(compose(fits.c_str(), nullptr).size(), kSettingsPathSize - 1);
  const std::string longer = fits + "d";
  EXPECT_EQ(compose(longer.c_str(), nullptr), "<too long>");
  EXPECT_EQ(compose(nullptr, std::string(5000, 'e').c_str()), "<too long>");
}

// read_settings on a file in a temporary directory named through -path:.
class SettingsFile : public testing::Test {
 protected:
  void SetUp() override {
    mode_flags = 0;
    override_flags = kOverridePath;
    std::strcpy(settings_path, dir_.path().c_str());
    settings = Settings{};
    settings.CDChangeSpeed = 1;
  }
  std::string ini() const { return dir_.file("KORVANE.INI"); }
  void write_ini(const std::string& text) { write_file(ini(), text); }
  TempDir dir_;
};

TEST_F(SettingsFile, MissingFileIsCreatedWithDefaults) {
  settings.PreLoadFrame = 99;
  read_settings();
  EXPECT_EQ(settings.PreLoadFrame, 8);
  EXPECT_EQ(settings.CDChangeSpeed, 0);
  const std::string text = read_file(ini());
  EXPECT_EQ(text.substr(0, 2), "# ");
  EXPECT_NE(text.find("\r\nCDDrive = -1/-1\r\n"), std::string::npos);
  EXPECT_NE(text.find(utf8_to_cp932("# フィルタの使用(要 MMX). ONかOFF.\r\n")), std::string::npos);
  EXPECT_EQ(text.find("\n\n"), std::string::npos);  // every line feed has its CR
}

// Every field set to a value no key has by default, so that a default the
// reading fails to give shows.
Settings scrambled() {
  Settings s;
  for (int32_t* field : {&s.CDDriveAdapter, &s.CDDriveTarget, &s.CDChangeSpeed, &s.FCSearch,
                         &s.PreLoadFrame, &s.MMX, &s.CdReadSector, &s.Sound, &s.SoundVolume,
                         &s.Fixed, &s.ModeX, &s.DisplayMode, &s.Filter, &s.StartWait, &s.PlayWait})
    *field = 77;
  return s;
}

// The fourteen defaults, key by key.
void expect_defaults(const Settings& s) {
  EXPECT_EQ(s.CDDriveAdapter, -1);
  EXPECT_EQ(s.CDDriveTarget, -1);
  EXPECT_EQ(s.CDChangeSpeed, 0);
  EXPECT_EQ(s.FCSearch, 1);  // AUTO
  EXPECT_EQ(s.PreLoadFrame, 8);
  EXPECT_EQ(s.MMX, 1);
  EXPECT_EQ(s.CdReadSector, 8);
  EXPECT_EQ(s.Sound, 1);
  EXPECT_EQ(s.SoundVolume, 100);
  EXPECT_EQ(s.Fixed, 1);
  EXPECT_EQ(s.ModeX, 1);
  EXPECT_EQ(s.DisplayMode, 1);
  EXPECT_EQ(s.Filter, 0);
  EXPECT_EQ(s.StartWait, 1000);
  EXPECT_EQ(s.PlayWait, 1);
}

TEST_F(SettingsFile, AFileWithoutKeysAndTheDefaultFileBothGiveTheDefaults) {
  write_ini("# nothing but a comment\r\n\r\nUnknown = 5\r\n");
  settings = scrambled();
  read_settings();
  expect_defaults(settings);

  std::remove(ini().c_str());
  settings = scrambled();
  read_settings();  // writes the default file
  ASSERT_TRUE(file_exists(ini()));
  settings = scrambled();
  read_settings();  // and reads it back
  expect_defaults(settings);
}

TEST_F(SettingsFile, ValuesFirstLineWinsAndCommandLineWins) {
  write_ini(
      "CDDrive = 2/0\r\n"
      "mmx = OFF\r\n"
      "PreLoadFrame = 12\r\n"
      "PreLoadFrame = 20\r\n"
      "Sound = off\r\n"
      "SoundVolume = 7\r\n"
      "CdReadSector = 99\r\n"
      "CDChangeSpeed = ON\n"
      "StartWait = 5-00");
  override_flags |= kOverrideCdReadSector;
  settings.CdReadSector = 3;
  read_settings();
  EXPECT_EQ(settings.CDDriveAdapter, 2);
  EXPECT_EQ(settings.CDDriveTarget, 0);
  EXPECT_EQ(settings.MMX, 1);  // the lower-case key does not count
  EXPECT_EQ(settings.PreLoadFrame, 12);
  EXPECT_EQ(settings.Sound, 0);
  EXPECT_EQ(settings.SoundVolume, 7);
  EXPECT_EQ(settings.CdReadSector, 3);  // the file's 99 is never looked at
  EXPECT_EQ(settings.CDChangeSpeed, 1);
  EXPECT_EQ(settings.StartWait, -500);
}

TEST_F(SettingsFile, FilterForcesFixedOffAndMagnificationOne) {
  write_ini("Filter = ON\nFixed = ON\nDisplayMode = 2\n");
  read_settings();
  EXPECT_EQ(settings.Fixed, 0);
  EXPECT_EQ(settings.DisplayMode, 1);
}

TEST_F(SettingsFile, LongLinesAndBinaryJunkAreHarmless) {
  std::string junk(2000, 'x');
  junk.replace(100, 16, "PreLoadFrame = 9");  // inside a long line: not a line start
  junk += "\n";
  junk += std::string(3000, '=');
  junk += std::string("\0\x01\xff\x80\r\r\n", 7);
  junk += std::string(600, '\0');
  junk += "\nDisplayMode = 2";  // no final newline
  write_ini(junk);
  read_settings();
  EXPECT_EQ(settings.PreLoadFrame, 8);
  EXPECT_EQ(settings.DisplayMode, 2);
}

TEST_F(SettingsFile, UncreatableFileGivesDefaultsWithoutRules) {
  std::strcpy(settings_path, dir_.file("missing/dir").c_str());
  override_flags |= kOverrideMmx;
  settings.MMX = 0;
  read_settings();  // Fixed stays ON beside MMX OFF: no consistency rules here
  EXPECT_EQ(settings.MMX, 0);
  EXPECT_EQ(settings.Fixed, 1);
  EXPECT_FALSE(file_exists(dir_.file("missing/dir/KORVANE.INI")));
}

TEST_F(SettingsFile, InvalidContentEndsWithCodeMinus12) {
  const int status = exit_status_of(-12);
  write_ini("PreLoadFrame = 33\n");
  EXPECT_EXIT(read_settings(), testing::ExitedWithCode(status), "");
  write_ini("SoundVolume = 50\nSound = ON\n");  // taken as Sound's value
  EXPECT_EXIT(read_settings(), testing::ExitedWithCode(status), "");
  write_ini("MMX = OFF\n");
  EXPECT_EXIT(read_settings(), testing::ExitedWithCode(status), "");
  write_ini("MMX = OFF\nFixed = OFF\n");
  read_settings();
  EXPECT_EQ(settings.MMX, 0);
}

}  // namespace
