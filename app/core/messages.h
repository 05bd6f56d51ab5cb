// Texts the ticker's core shows or writes, byte for byte in Shift_JIS (CP932),
// and the addresses of our own pages.
#pragma once

#include <string_view>

namespace zr5::core::messages {

// Caption of every script load error box.
inline constexpr std::string_view kLoadErrorCaption = "ZR5 ERROR";
// Text of a failed load for which the engine gave none.
inline constexpr std::string_view kLoadFailed = "the script could not be loaded";

// Single headline shown until the first patrol has finished.
inline constexpr std::string_view kConnecting = "Now Connecting...";

// Fallback list of a patrol in which nothing ran. The title ends in three
// spaces so that it does not run straight into the next headline.
inline constexpr std::string_view kInformationLabel = "Information.";
// "スクリプト設定をしてください。   "
inline constexpr std::string_view kConfigureScripts
    = "\x83\x58\x83\x4e\x83\x8a\x83\x76\x83\x67\x90\xdd\x92\xe8\x82\xf0\x82\xb5"
      "\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42"
      "   ";

// Label of the notice list, and its single headline when the notice patrol failed.
inline constexpr std::string_view kNoticeLabel = "PR";
// "【PR】Orlemont Zephyrant2"
inline constexpr std::string_view kNoticeFallbackTitle = "\x81\x79"
                                                         "PR"
                                                         "\x81\x7a"
                                                         "Orlemont Zephyrant2";

// Our home page, the link of the notice fallback headline.
inline constexpr std::string_view kHomeUrl = "https://zephyrant2.orlemont.org/";

// Patrol log, rewritten by every patrol.
inline constexpr std::string_view kPatrolLogName = "debug_display.txt";
// Header line of each category in the patrol log: "# " name [" - " category].
inline constexpr std::string_view kLogHeaderPrefix = "# ";
inline constexpr std::string_view kLogCategorySeparator = " - ";
// Line of a failed entry in the patrol log: "! " name [" - " category] ": " result.
inline constexpr std::string_view kLogFailurePrefix = "! ";
inline constexpr std::string_view kLogFailureSeparator = ": ";

// Results of a patrol's entries (describeResult): "HH:MM " then the count and
// "件", or the reason followed by its detail.
// "件"
inline constexpr std::string_view kHeadlineCountSuffix = "\x8c\x8f";
// "ホストが見つかりません"
inline constexpr std::string_view kHostNotFound
    = "\x83\x7a\x83\x58\x83\x67\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
// "接続を拒否されました"
inline constexpr std::string_view kRefused
    = "\x90\xda\x91\xb1\x82\xf0\x8b\x91\x94\xdb\x82\xb3\x82\xea\x82\xdc\x82\xb5\x82\xbd";
// "タイムアウトしました"
inline constexpr std::string_view kTimedOut
    = "\x83\x5e\x83\x43\x83\x80\x83\x41\x83\x45\x83\x67\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
// "HTTPステータス" (the detail starts with the status)
inline constexpr std::string_view kHttpStatus = "HTTP\x83\x58\x83\x65\x81\x5b\x83\x5e\x83\x58";
// "取得に失敗しました"
inline constexpr std::string_view kFetchFailed
    = "\x8e\xe6\x93\xbe\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
// "フィードではありません"
inline constexpr std::string_view kNotAFeed
    = "\x83\x74\x83\x42\x81\x5b\x83\x68\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
// "構文エラー"
inline constexpr std::string_view kSyntaxError = "\x8d\x5c\x95\xb6\x83\x47\x83\x89\x81\x5b";
// "実行時エラー"
inline constexpr std::string_view kRunError = "\x8e\xc0\x8d\x73\x8e\x9e\x83\x47\x83\x89\x81\x5b";
// "実行制限で停止しました"
inline constexpr std::string_view kRunLimit = "\x8e\xc0\x8d\x73\x90\xa7\x8c\xc0\x82\xc5\x92\xe2\x8e\x7e"
                                              "\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
// "中止しました"
inline constexpr std::string_view kCancelled = "\x92\x86\x8e\x7e\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
// Detail of a site whose generated script could not be written to a temporary file.
inline constexpr std::string_view kNoTemporaryScript = "no temporary file for the site's script";

// Developer traces of failures a patrol worker caught and went on from:
// the prefix naming what stopped, then what the failure said.
inline constexpr std::string_view kTraceRunThrew = "patrol: a category run threw: ";
inline constexpr std::string_view kTracePatrolStopped = "patrol: stopped early: ";
inline constexpr std::string_view kTraceNoticeStopped = "patrol: the notice stopped: ";
inline constexpr std::string_view kTraceUnknownFailure = "unknown exception";

} // namespace zr5::core::messages
