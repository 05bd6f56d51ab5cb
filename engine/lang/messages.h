// Texts the news-script front end and engine print or hand to the host, kept
// together and byte for byte (CP932 where they are Japanese).
#pragma once

namespace zr5::script::messages {

inline constexpr const char* kErrorLineFormat = "(%d) : error : %s\n";
inline constexpr const char* kUnterminatedString = "Unterminated string";
inline constexpr const char* kEofInString = "EOF in string";
inline constexpr const char* kEofInComment = "EOF in comment";
inline constexpr const char* kParseError = "parse error";
inline constexpr const char* kUnexpected = "parse error, unexpected ";
inline constexpr const char* kExpecting = ", expecting ";
inline constexpr const char* kExpectingMore = " or ";
inline constexpr const char* kParseErrorNoMemory = "parse error; also virtual memory exhausted";
inline constexpr const char* kStackOverflow = "parser stack overflow";
inline constexpr const char* kEndOfInputName = "$";
inline constexpr const char* kUndefinedTokenName = "$undefined.";
// "ZR5スクリプトファイルが見つかりません。"
inline constexpr const char* kScriptFileNotFound
    = "ZR5\x83\x58\x83\x4e\x83\x8a\x83\x76\x83\x67\x83\x74\x83\x40\x83\x43\x83\x8b"
      "\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42";
inline constexpr const char* kNestingTooDeep = "script nesting too deep";
inline constexpr const char* kCallDepthExceeded = "script call depth limit exceeded (endless recursion?)";
inline constexpr const char* kRunBudgetExhausted = "script run budget exhausted";
inline constexpr const char* kTextTooLong = "script text too long";
// The host's run limits, ASCII so that any host can show them.
inline constexpr const char* kTimeLimitSeconds = "run-time limit of %llu s reached";
inline constexpr const char* kMemoryLimitMebibytes = "memory limit of %llu MiB reached";
inline constexpr const char* kMemoryLimitBytes = "memory limit of %llu bytes reached";
inline constexpr const char* kRunCancelled = "run cancelled";
// Why a document fetch failed, ASCII like the above.
inline constexpr const char* kFetchHostNotFound = "could not resolve host";
inline constexpr const char* kFetchRefused = "connection refused";
inline constexpr const char* kFetchReset = "connection reset";
inline constexpr const char* kFetchTimedOut = "timed out after %llu s";
inline constexpr const char* kFetchHttpStatus = "HTTP %llu";
inline constexpr const char* kFetchCancelled = "cancelled";
inline constexpr const char* kFetchLinkLocal = "redirect to a link-local address refused";
inline constexpr const char* kFetchBadUrl = "not an http, https or ftp URL";
inline constexpr const char* kFetchTooManyRedirects = "too many redirects";
inline constexpr const char* kFetchTooLarge = "document larger than 64 MiB, cut";
inline constexpr const char* kFetchUnknownProxyMode = "unknown proxy mode";
inline constexpr const char* kBadCategoryIndex = "invalid vector<T> subscript";

} // namespace zr5::script::messages
