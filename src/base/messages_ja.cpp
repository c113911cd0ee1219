// The Japanese texts of every message: the program's own language and the
// default. The texts are UTF-8 here; the console writes them in CP932.
#include "base/message_table.hpp"

namespace {

constexpr MessageEntry kEntries[] = {
    {Msg::ErrorUnknown, "\nよくわかんないエラー.\n"},
    {Msg::ErrorCommandLine, "\nコマンドラインの設定が違います.\n"},
    {Msg::ErrorOpen, "\nファイルが開けません.\n"},
    {Msg::ErrorRead, "\nファイルの読み込みに失敗しました.\n"},
    {Msg::ErrorWrite, "\nファイルの書き込みに失敗しました.\n"},
    {Msg::ErrorAlloc, "\n領域の確保ができません.\n"},
    {Msg::ErrorAspi, "\nASPI関係でエラーが発生しました.\n"},
    {Msg::ErrorNotFound, "\nファイルが見つかりません.\n"},
    {Msg::ErrorConvert, "\n変換に失敗しました.\n"},
    {Msg::ErrorDirectX, "\nDirectXが使用できません.\n"},
    {Msg::ErrorViewer, "\nViewerエラー.\n"},
    {Msg::ErrorSettings, "\n初期化ファイルが異常です.\n"},
    {Msg::ErrorFlip, "\nFlipでエラーが発生しました.\n"},

    {Msg::Usage,
     // The text opens with an empty line, so that it stands apart from
     // whatever the shell printed before.
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
     "\n"},
    {Msg::DiscSaveNotice,
     "隠しオプションです. CD-DAがある場合は途中で止まるかもしれません.\n"
     "コマンドラインに -image:ﾌｧｲﾙ名 を追加すれば\n"
     "ディスクイメージから読み込みます.\n"},
    {Msg::SettingsInvalid, "korvane.iniが異常です.\n"},
    {Msg::SettingsPathTooLong, "korvane.iniのパスが長すぎます.\n"},
    {Msg::FixedNeedsMmx, "固定小数点を使用する場合はMMXをONにしてください.\n"},
    {Msg::FilterNeedsMmx, "フィルタを使用する場合はMMXをONにしてください.\n"},

    // The English text names the places the module was looked for; here the
    // argument is consumed and prints nothing.
    {Msg::AspiNotLoaded, "WNASPI32.DLLが読み込めません.%.0s\n"},
    {Msg::AspiNoHost, "ホストがありません.\n"},
    {Msg::AspiNoDrive, "使用可能なドライブがありません.\n"},
    {Msg::AspiLowerCdReadSector, "korvane.ini内のCdReadSectorを低く設定してください.\n"},
    {Msg::AspiCommandFailed, "コマンドが発行できません.\n"},
    {Msg::DriveListHeading, "使用可能ドライブ情報\n"},
    {Msg::DriveListLine, "adapter = %d , id = %d , %s\n"},
    {Msg::CdAccessFailed, "CDアクセスができません.\n"},
    {Msg::ReadsNeverAgree, "データが全く一致しません.\n"},
    {Msg::ProbingReadSize, "最大読み込みセクタ数を調べています.\n"},
    {Msg::SavingFile, "ファイルを保存中です.\n"},
    {Msg::CopyProgress, "block %08x/%08x\r"},
    {Msg::CopyDone, "block %08x/%08x\n"},

    {Msg::ConvertMovieProgress, "convert block %08x/%08x (frame = %d)\r"},
    {Msg::ConvertAudioProgress, "convert block %08x/%08x\r"},
    {Msg::HeaderInvalid, "ヘッダが異常です.\n"},
    {Msg::ReadPositionSlipped, "読み込み位置がずれてしまいました.\n"},
    {Msg::BitstreamInvalid, "ビットストリームデータが異常です.\n"},
    {Msg::AviTooLarge, "AVIファイルが大きすぎます.\n"},
    {Msg::WavOver4GB, "WAVファイルが4GBを超えます.\n"},
    {Msg::MovieNotFound, "%s のムービーが見つかりません.\n"},
    {Msg::AudioNotFound, "%s のXAオーディオが見つかりません.\n"},
    {Msg::MoviesInInput, "入力にあるムービー:\n"},
    {Msg::AudioInInput, "入力にあるXAオーディオ:\n"},
    {Msg::NoMoviesInInput, "入力にムービーはありません.\n"},
    {Msg::NoAudioInInput, "入力にXAオーディオはありません.\n"},
    {Msg::FrameRateNotSet, "フレームレートが設定できません.\nvelmora.exeで設定してください.\n"},
    {Msg::SimdMissing, "KORVANE_SIMDの命令セットをこのプロセッサは持っていません.\n"},
    {Msg::SimdUnknown, "KORVANE_SIMDはnone, sse2, avx2, avx512のどれかです.\n"},

    {Msg::ScanPreliminary, "仮実装. 途中で止まる場合があるかもしれません.\n"},
    {Msg::LookingForMovies, "ムービーを探しています.\n"},
    {Msg::MovieFound, "ムービーが見つかりました.\n"},
    {Msg::TooManyMovies, "ムービーが%d個を超えたので, 以降のムービーは変換しません.\n"},
    {Msg::LookingForAudio, "XAオーディオを探しています.\n"},
    {Msg::AudioFound, "XAオーディオが見つかりました."},
    {Msg::AudioOfMovie, "   対応ムービーは %s\n"},
    {Msg::ReportAudioOfMovie, "%s   対応ムービーは %s\n"},
    {Msg::ReportMaybeMovieSound,
     "   ムービー音声の可能性あります. もしそうなら%sと結合してください.\n"},
    {Msg::ReportStartOffset, "  start block offset = %08x\n"},
    {Msg::ReportEndOffset, "    end block offset = %08x\n"},
    {Msg::DetailFailed, "-detailオプションが上手く動作していません.\n"},
    {Msg::LargestInterleave, "インターリーブ最大数 %d\n"},
    {Msg::SearchingValidRange, "有効範囲を検索しています %d/%d\r"},
    {Msg::InterleaveCount, "インターリーブ数 %d\n"},
    {Msg::CorrectingRanges, "有効範囲を修正しています.\n"},

    {Msg::AddingFileInfo, "ファイル情報を追加しています.\n"},
    {Msg::CatalogueNotCreated, "FILE.INFが作成できません.\n"},

    // The viewer's message has no full stop, unlike the conversion's.
    {Msg::ViewerBitstreamInvalid, "ビットストリームデータが異常です\n"},
    {Msg::NoVideoSector, "Videoセクタが見つかりません.\n"},
    {Msg::WindowClassNotRegistered, "ウィンドウクラスが登録できません.\n"},
    {Msg::WindowNotCreated, "ウィンドウが作成できません.\n"},
    {Msg::DisplayUnusable, "グラフィックが使用できません.\n"},
    {Msg::FullScreenUnusable, "フルスクリーンモードが使用できません.\n"},
    {Msg::DisplayModeMissing,
     "320x240又は640x480でフルカラー表示可能なグラフィックボードが必要です.\n"},
    {Msg::OffscreenNotAllocated, "オフスクリーンバッファが確保できません.\n"},
    {Msg::SoundUnusable, "サウンドが使用できません.\n"},

    {Msg::VelmoraUsage,
     "velmora.exe  AVIfilename  fps\n"
     "fpsは30,20,15,10の内どれか.\n"
     "\n"
     "注意!!! これはkorvane.exeの出力ファイル専用です.\n"
     "他のファイルに使用するとデータが破壊されます.\n"},
    {Msg::VelmoraReadFailed, "ファイルの読み込みに失敗しました.\n"},
    {Msg::VelmoraNotKorvaneAvi, "korvaneのAVIファイルではありません.\n"},
    {Msg::VelmoraBadFrameRate, "フレームレートが変.\n"},
    {Msg::VelmoraWriteFailed, "ファイルの書き込みに失敗しました.\n"},
};
static_assert(table_is_complete(kEntries));

}  // namespace

const MessageTable kJapaneseMessages{kEntries};
