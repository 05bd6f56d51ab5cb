// Texts the ticker's core shows or writes, byte for byte in Shift_JIS (CP932),
// and the addresses of our own pages.
#pragma once

#include <string_view>

namespace zr5::core::messages {

// Caption of every script load error box.
inline constexpr std::string_view kLoadErrorCaption = "ZR5 ERROR";

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

// Our notice page (its links become the "PR" headlines) and home page.
inline constexpr std::string_view kNoticeUrl = "https://zephyrant2.orlemont.org/notice.html";
inline constexpr std::string_view kHomeUrl = "https://zephyrant2.orlemont.org/";

// Patrol log, rewritten by every patrol.
inline constexpr std::string_view kPatrolLogName = "debug_display.txt";
// Header line of each category in the patrol log: "# " name [" - " category].
inline constexpr std::string_view kLogHeaderPrefix = "# ";
inline constexpr std::string_view kLogCategorySeparator = " - ";

} // namespace zr5::core::messages
