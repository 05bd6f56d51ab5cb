// Every text the settings dialogs show. These live only on the Qt side of the
// program, so they are kept as UTF-8 and turned into QStrings with tr8().
#pragma once

#include <QString>
#include <string_view>

namespace zr5::ui::msg {

inline QString tr8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Buttons shared by the dialogs.
inline constexpr std::string_view kOk = "OK";
inline constexpr std::string_view kCancel = "キャンセル";
inline constexpr std::string_view kApply = "適用(&A)";

// Settings sheet and its tabs.
inline constexpr std::string_view kSheetCaption = "設定";
inline constexpr std::string_view kScriptsTab = "ニュース スクリプト";
inline constexpr std::string_view kRssTab = "RSS";
inline constexpr std::string_view kProxyTab = "プロキシ";

// News scripts page.
inline constexpr std::string_view kScriptsLabel = "巡回するスクリプトとサイト(&S):";
inline constexpr std::string_view kCategoriesLabel = "カテゴリ(&C):";
inline constexpr std::string_view kMoveUp = "▲";
inline constexpr std::string_view kMoveDown = "▼";
inline constexpr std::string_view kIntervalLabel = "巡回間隔(&I):";
inline constexpr std::string_view kMinutes = "分";
inline constexpr std::string_view kAuthGroup = "認証が必要なサイト";
inline constexpr std::string_view kUserLabel = "ユーザー名:";
inline constexpr std::string_view kPasswordLabel = "パスワード:";

// RSS page.
inline constexpr std::string_view kSitesLabel = "登録済みのサイト(&L):";
inline constexpr std::string_view kSiteNameLabel = "サイト名(&N):";
inline constexpr std::string_view kSiteUrlLabel = "URL(&U):";
inline constexpr std::string_view kAddSite = "新規追加";
inline constexpr std::string_view kApplyChange = "変更を適用";
inline constexpr std::string_view kDeleteSite = "選択したサイトを削除";
inline constexpr std::string_view kDropHint1 = "ブラウザのリンクをこのページへドラッグ＆ドロップすると、";
inline constexpr std::string_view kDropHint2 = "サイト名と URL の欄にリンクが入ります。";
inline constexpr std::string_view kImportOpml = "OPML ファイルを読み込む...";
inline constexpr std::string_view kExportOpml = "OPML ファイルに書き出す...";
inline constexpr std::string_view kOpmlFilter = "OPML ファイル (*.opml *.xml);;すべてのファイル (*)";
inline constexpr std::string_view kOpmlFileName = "Zephyrant2.opml";
inline constexpr std::string_view kOpmlUnreadable = "OPML ファイルとして読めませんでした。";
inline constexpr std::string_view kOpmlNotWritten = "OPML ファイルを書き出せませんでした: ";
// One line per site of an OPML file that was not added: name, reason.
inline constexpr std::string_view kSiteRefused = "「%1」を追加できません: %2";
inline constexpr std::string_view kMoreSitesRefused = "ほか %1 件のサイトも追加できませんでした。";

// Why a site or proxy entry was refused. The settings file separates its
// fields with commas and holds one line of Shift_JIS per entry, so such
// input could not be read back as it was typed.
inline constexpr std::string_view kCommaRefused = "サイト名と URL にはカンマ (,) を使えません。";
inline constexpr std::string_view kControlRefused = "改行や制御文字は使えません。";
inline constexpr std::string_view kUnencodableRefused = "Shift_JIS で表せない文字は使えません。";
inline constexpr std::string_view kTooLongRefused
    = "サイト名と URL が長すぎます。合わせて 1000 バイト以内にしてください。";
inline constexpr std::string_view kAddressRefused
    = "プロキシのアドレスに使えない文字が含まれているか、長すぎます。";
inline constexpr std::string_view kPortRefused = "ポート番号は 0 から 65535 の範囲で指定してください。";

// Proxy page.
inline constexpr std::string_view kProxySystem = "システムの設定を使用する(&R)";
inline constexpr std::string_view kProxyNone = "プロキシサーバーを使用しない(&N)";
inline constexpr std::string_view kProxyNamed = "プロキシサーバーを使用する(&X)";
inline constexpr std::string_view kAddressLabel = "アドレス(&A):";
inline constexpr std::string_view kPortLabel = "ポート(&P):";
inline constexpr std::string_view kBypassLocal = "ローカル サーバにはプロキシ サーバを使用しない(&B)";

// Scroll-speed dialog.
inline constexpr std::string_view kSpeedCaption = "設定(スクロール)";
inline constexpr std::string_view kSpeedLabel = "スクロール速度:";
inline constexpr std::string_view kSlow = "遅い";
inline constexpr std::string_view kFast = "速い";

// About dialog.
inline constexpr std::string_view kAboutCaption = "Zephyrant2 バージョン情報";
inline constexpr std::string_view kProductName = "Zephyrant2";
inline constexpr std::string_view kVersion = "Version 2.00";
inline constexpr std::string_view kNotice = "Copyright (C) 2026 Orlemont. All rights reserved.";
inline constexpr std::string_view kHomePage = "https://zephyrant2.orlemont.org/";

// Display page of the settings sheet.
inline constexpr std::string_view kDisplayTab = "表示";
inline constexpr std::string_view kHoverPause = "マウスが上にある間はスクロールを止める(&H)";
inline constexpr std::string_view kDockGroup = "ウィンドウの位置";
inline constexpr std::string_view kDockFree = "固定しない(&F)";
inline constexpr std::string_view kDockTop = "画面の上端(&T)";
inline constexpr std::string_view kDockBottom = "画面の下端(&B)";
inline constexpr std::string_view kScreenLabel = "画面(&D):";
inline constexpr std::string_view kOpacityLabel = "不透明度(&O):";
inline constexpr std::string_view kPercentSuffix = " %";
inline constexpr std::string_view kAutostart = "ログイン時に起動する(&L)";
inline constexpr std::string_view kAutostartStale
    = "ログイン時の起動項目は、もう存在しないプログラムを指しています。";
// Followed by the file and the system's reason.
inline constexpr std::string_view kAutostartFailed = "ログイン時の起動を設定できませんでした: ";

} // namespace zr5::ui::msg
