// korvane run end to end: the usage text and its exit status for every kind
// of rejected command line, the default korvane.ini it creates, and the
// korvane.ini messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text_encoding.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

const char kUsageText[] =
    "\n"
    "korvane.exe   [option]   CD上のファイル名   出力ファイル名\n"
    "オプションの説明\n"
    "  -file:番号        ファイル番号を指定する (デフォルトは 1)\n"
    "  -channel:番号     チャネル番号を指定する (デフォルトは 1)\n"
    "  -search:数値      検索終了セクタ数を指定する (デフォルトは 75)\n"
    "  -avi              非圧縮AVIに変換する (デフォルト)\n"
    "  -bmp              ビットマップに変換する\n"
    "                      出力ファイル名に出力先パスを指定してください\n"
    "  -audio            XAオーディオをwaveに変換する\n"
    "  -file-save        指定ファイルを別メディアに保存する\n"
    "  -all              ファイルに含まれるムービー,XAオーディオをすべて変換する\n"
    "                      出力ファイル名はボディ部分まで指定してください\n"
    "  -disc-all         ディスクに含まれるムービー,XAオーディオをすべて変換する\n"
    "                      CD上のファイル名は必要ありません\n"
    "                      出力ファイル名はボディ部分まで指定してください\n"
    "  -detail           XAオーディオの範囲を厳密にチェックする\n"
    "                      -all,-disc-allオプション指定時のみ有効\n"
    "  -skip-movie       ムービーの変換をしない\n"
    "                      -all,-disc-allオプション指定時のみ有効\n"
    "  -analyze          ファイルを解析してムービー情報をFILE.INFに追加します\n"
    "                      出力ファイル名は必要ありません\n"
    "  -disc-analyze     ディスクを解析してムービー情報をFILE.INFに追加します\n"
    "                      CD上のファイル名は必要ありません\n"
    "                      出力ファイル名にFILE.INF内のファイル名の\n"
    "                      ボディ部分まで指定してください\n"
    "  -viewer:数値      リアルタイム再生. 数値にはフレームレートを指定します\n"
    "                      フレームレートを指定しなければ自動判別します\n"
    "                      出力ファイル名は必要ありません\n"
    "  -use-inf          FILE.INFを参照してファイルを検索します\n"
    "                      CD上のファイル名にFILE.INF内のファイル名を指定します\n"
    "  -no-cdrom         CDROM以外からファイルを読み込む\n"
    "                      CD上のﾌｧｲﾙ名に別ﾒﾃﾞｨｱに保存されているﾌｧｲﾙ名を指定します\n"
    "  -check            2度読みによる読み込みｴﾗｰのﾁｪｯｸをする (ﾃﾞﾌｫﾙﾄは ﾁｪｯｸなし)\n"
    "                      -viewer指定時は無効です\n"
    "  -path:パス        korvane.ini,file.infのパスを指定する\n"
    "  -with-sound       ムービーのAVIにXAオーディオも入れる\n"
    "WNASPI32.DLLが必要です\n"
    "ATAPIのCDドライブが必要です\n"
    "リアルタイム再生の場合はDirectDraw,DirectSoundを使用します\n"
    "環境変数KORVANE_PATHで設定ファイルのパスが指定できます\n"
    "\n"
    ;

const char kDefaultIni[] =
    "# korvane.exeの設定ファイル\n"
    "# このファイルを削除してkorvane.exeを実行すれば\n"
    "# デフォルト設定のiniファイルが作成されます.\n"
    "\n"
    "\n\n# convert,viewer共通\n\n"
    "# CDドライブのASPI管理番号(adapter/id)の指定. LUNは0固定です.\n"
    "# -1/-1で最初に見つかったもの(番号の若いもの).\n"
    "# デフォルトは -1/-1.\n"
    "CDDrive = -1/-1\n"
    "\n"
    "\n\n# 以下はviewerモードの指定.\n\n"
    "# file,channel番号の検索処理. OPTIONかAUTO.\n"
    "# OPTIONはコマンドラインで指定したものを使用する.\n"
    "# AUTOはファイルに存在するfile,channel番号を検索し\n"
    "# 最初に見つかったものを使用する.\n"
    "# デフォルトは AUTO.\n"
    "FCSearch = AUTO\n"
    "\n"
    "# 先読みフレーム数. 8から32.\n"
    "# 再生直後に音が途切れる場合は大きくしてください.\n"
    "# デフォルトは 8.\n"
    "PreLoadFrame = 8\n"
    "\n"
    "# MMXの使用. ONかOFF.\n"
    "# MMXの無いCPUでプログラムが止まる場合はOFFにしてくだい.\n"
    "# 内部で有無のチェックしているのでONのままでも大抵は問題ありません.\n"
    "# デフォルトは ON.\n"
    "MMX = ON\n"
    "\n"
    "# CDから一度に読み込むセクタ数. 1から16.\n"
    "# デフォルトは 8.\n"
    "CdReadSector = 8\n"
    "\n"
    "# サウンドの再生. ONかOFF.\n"
    "# デフォルトは ON.\n"
    "Sound = ON\n"
    "\n"
    "# 固定小数点演算の使用(要 MMX). ONかOFF.\n"
    "# 逆DCT演算,RGB変換に固定小数点演算を使用するかどうか.\n"
    "# MMXがONの時のみ有効.\n"
    "# デフォルトは ON.\n"
    "Fixed = ON\n"
    "\n"
    "# ModeX(320x240)の使用. ONかOFF.\n"
    "# ディスプレイが追随できない場合などはOFFにしてください.\n"
    "# デフォルトは ON.\n"
    "ModeX = ON\n"
    "\n"
    "# 表示の倍率. 1か2倍.\n"
    "# ModeX(320x240)が使えない場合はこれでフル画面にしてください.\n"
    "# デフォルトは 1.\n"
    "DisplayMode = 1\n"
    "\n"
    "# フィルタの使用(要 MMX). ONかOFF.\n"
    "# フィルタ(16点逆DCT)を使用し2倍に拡大して表示します.\n"
    "# MMXがONの時のみ有効.\n"
    "# デフォルトは OFF.\n"
    "Filter = OFF\n"
    "\n"
    "# 再生開始前のウェイト. ミリ秒単位.\n"
    "# デフォルトは 1000.\n"
    "StartWait = 1000\n"
    "\n"
    "# 再生時のウェイト. ONかOFF.\n"
    "# デフォルトは ON.\n"
    "PlayWait = ON\n"
    "\n"
    ;

const int kUsageStatus = exit_status_of(-2);
const int kSettingsStatus = exit_status_of(-12);

std::string cp932(const std::string& utf8) { return utf8_to_cp932(utf8); }

std::string crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// The usage text and the drive list of the emulated drive the runs use.
std::string usage_with_drives() {
  return cp932(std::string(kUsageText) +
               "使用可能ドライブ情報\nadapter = 0 , id = 0 , KORVANE EMU CD 0:0      \n");
}

// The console output of a refused command line.
std::string usage_output() {
  return usage_with_drives() + cp932("\nコマンドラインの設定が違います.\n\n");
}

std::string settings_error_output(const std::string& detail) {
  return cp932("\n初期化ファイルが異常です.\n" + detail + "\n");
}

class KorvaneRun : public testing::Test {
 protected:
  // Runs korvane in the temporary directory, KORVANE_PATH unset unless given.
  ProcessResult run(std::vector<std::string> args,
                    std::vector<std::pair<std::string, std::string>> env = {}) {
    args.insert(args.begin(), KORVANE_EXE);
    ProcessOptions options;
    options.working_directory = dir_.path();
    options.env = std::move(env);
    // One emulated CD drive, listed under the usage text.
    options.env.push_back({"KORVANE_ASPI", EMULATED_ASPI_MODULE});
    options.unset_env = {"KORVANE_PATH"};
    for (const auto& [name, value] : options.env)
      if (name == "KORVANE_PATH") options.unset_env.clear();
    options.timeout_seconds = 60;
    return run_process(args, options);
  }
  std::string ini_path() const { return dir_.file("KORVANE.INI"); }
  TempDir dir_;
};

TEST_F(KorvaneRun, NoArgumentsPrintsUsageAndCreatesDefaultIni) {
  const ProcessResult r = run({});
  EXPECT_EQ(r.status, kUsageStatus);
  EXPECT_EQ(r.out, usage_output());
  EXPECT_EQ(read_file(ini_path()), cp932(crlf(kDefaultIni)));

  // An existing file is read, never rewritten.
  write_file(ini_path(), "PreLoadFrame = 16\n");
  EXPECT_EQ(run({}).status, kUsageStatus);
  EXPECT_EQ(read_file(ini_path()), "PreLoadFrame = 16\n");
}

TEST_F(KorvaneRun, EveryRejectionPrintsTheUsageText) {
  const std::vector<std::vector<std::string>> refused = {
      {"-avi", "-bmp", "in", "out"},
      {"-unknown", "in", "out"},
      {"-bmpx", "in", "out"},
      {"in", "out", "-avi"},
      {"-avi", "out"},
      {"-viewer:abc", "in"},
      {"-file:", "in", "out"},
      {"-preloadframe:33", "in", "out"},
      {"-cddrive:1", "in", "out"},
      {"-mmx:maybe", "in", "out"},
      {"-fcsearch:never", "in", "out"},
      {"-no-cdrom", "-use-inf", "in", "out"},
      {"-no-cdrom", "-image:x.img", "in", "out"},
      {std::string(512, 'n'), "out"},
      {"-image:" + std::string(600, 'i'), "in", "out"},
  };
  for (const auto& args : refused) {
    const ProcessResult r = run(args);
    EXPECT_EQ(r.status, kUsageStatus) << args[0];
    EXPECT_EQ(r.out, usage_output()) << args[0];
  }
}

TEST_F(KorvaneRun, IniErrorsEndWithTheirMessages) {
  struct Case {
    const char* ini;
    std::vector<std::string> args;
    const char* detail;
  };
  const Case cases[] = {
      {"PreLoadFrame = 33\r\n", {"in", "out"}, "korvane.iniが異常です.\n"},
      {"SoundVolume = 50\r\nSound = ON\r\n", {"in", "out"}, "korvane.iniが異常です.\n"},
      {"Sound = ON \r\n", {"in", "out"}, "korvane.iniが異常です.\n"},
      {"CDDrive = 1\r\n", {}, "korvane.iniが異常です.\n"},  // also read under the usage text
      {"MMX = OFF\r\n", {"in", "out"}, "固定小数点を使用する場合はMMXをONにしてください.\n"},
      {"MMX = OFF\r\nFixed = OFF\r\nFilter = ON\r\n", {"in", "out"},
       "フィルタを使用する場合はMMXをONにしてください.\n"},
      {"", {"-mmx:off", "in", "out"}, "固定小数点を使用する場合はMMXをONにしてください.\n"},
  };
  for (const Case& c : cases) {
    write_file(ini_path(), c.ini);
    const ProcessResult r = run(c.args);
    EXPECT_EQ(r.status, kSettingsStatus) << c.ini;
    std::string expected = settings_error_output(c.detail);
    if (c.args.empty()) expected = usage_with_drives() + expected;
    EXPECT_EQ(r.out, expected) << c.ini;
  }
}

// A run that gets past the command line and korvane.ini goes on to the CD
// drive or the input: whatever happens there, it is neither -2 nor -12.
void expect_past_settings(const ProcessResult& r) {
  EXPECT_NE(r.status, kUsageStatus) << r.out;
  EXPECT_NE(r.status, kSettingsStatus) << r.out;
  EXPECT_NE(r.status, 0) << r.out;  // "in" exists nowhere
  EXPECT_EQ(r.signal, 0);
}

TEST_F(KorvaneRun, CommandLineValuesWinOverTheFile) {
  write_file(ini_path(), "PreLoadFrame = 99\r\nMMX = OFF\r\n");
  expect_past_settings(run({"-no-cdrom", "-preloadframe:16", "-mmx:on", "in", "out"}));
  write_file(ini_path(), "Sound = ON\r\nSoundVolume = 400\r\n");
  expect_past_settings(run({"-no-cdrom", "-soundvolume:400", "in", "out"}));
}

TEST_F(KorvaneRun, SettingsDirectory) {
  TempDir elsewhere;
  // KORVANE_PATH names the directory; a separator is added.
  EXPECT_EQ(run({}, {{"KORVANE_PATH", elsewhere.path()}}).status, kUsageStatus);
  EXPECT_TRUE(file_exists(elsewhere.file("KORVANE.INI")));
  EXPECT_FALSE(file_exists(ini_path()));

  // An empty -path: means the current directory, whatever KORVANE_PATH says.
  write_file(elsewhere.file("KORVANE.INI"), "MMX = OFF\r\n");
  EXPECT_EQ(run({"-path:"}, {{"KORVANE_PATH", elsewhere.path()}}).status, kUsageStatus);
  EXPECT_TRUE(file_exists(ini_path()));

  // -path: with a trailing separator.
  TempDir third;
  EXPECT_EQ(run({"-path:" + third.path() + "/"}).status, kUsageStatus);
  EXPECT_TRUE(file_exists(third.file("KORVANE.INI")));
}

TEST_F(KorvaneRun, OverlongSettingsDirectoryIsRefused) {
  const ProcessResult r = run({}, {{"KORVANE_PATH", std::string(600, 'p')}});
  EXPECT_EQ(r.status, kSettingsStatus);
  EXPECT_EQ(r.out, usage_with_drives() + settings_error_output("korvane.iniのパスが長すぎます.\n"));

  const ProcessResult p = run({"-path:" + std::string(505, 'q'), "in", "out"});
  EXPECT_EQ(p.status, kSettingsStatus);
}

TEST_F(KorvaneRun, UncreatableIniFallsBackToDefaults) {
  // No file and no way to create one: defaults, and MMX OFF alone passes.
  expect_past_settings(run({"-path:" + dir_.file("no/such/dir"), "-no-cdrom", "-mmx:off", "in", "out"}));
}

TEST_F(KorvaneRun, CdDriveIsPreparedOnlyWithoutNoCdromOrImage) {
  // Without -no-cdrom or -image: the CD drive layer runs before the input is
  // opened; with them it never runs.
  const ProcessResult cd = run({"-bmp", "in", "out"});
  const ProcessResult file = run({"-no-cdrom", "-bmp", "in", "out"});
  const ProcessResult image = run({"-image:none.img", "-bmp", "in", "out"});
  expect_past_settings(cd);
  expect_past_settings(file);
  expect_past_settings(image);
  EXPECT_NE(cd.out, file.out);
}

}  // namespace
