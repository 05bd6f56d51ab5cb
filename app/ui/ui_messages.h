// Every text the ticker window, its tray icon and its menus show, byte for
// byte in Shift_JIS (CP932). Japanese parts are written as escapes of their
// CP932 bytes.
#pragma once

#include <string_view>

namespace zr5::ui::msg {

// Tip of the tray icon and the window's title.
inline constexpr std::string_view kTrayTip = "Zephyrant2";
inline constexpr std::string_view kWindowTitle = "Zephyrant2A";

// Popup menu items.
// "オプション(&O)..."
inline constexpr std::string_view kMenuOptions = "\x83\x49\x83\x76\x83\x56\x83\x87\x83\x93(&O)...";
// "スクロール(R)..."
inline constexpr std::string_view kMenuScroll = "\x83\x58\x83\x4e\x83\x8d\x81\x5b\x83\x8b(R)...";
// "スキン(S)"
inline constexpr std::string_view kMenuSkin = "\x83\x58\x83\x4c\x83\x93(S)";
// "常に前に表示(&T)"
inline constexpr std::string_view kMenuFront = "\x8f\xed\x82\xc9\x91\x4f\x82\xc9\x95\x5c\x8e\xa6(&T)";
// "常に後に表示(&B)"
inline constexpr std::string_view kMenuBehind = "\x8f\xed\x82\xc9\x8c\xe3\x82\xc9\x95\x5c\x8e\xa6(&B)";
// "位置サイズ固定(&S)"
inline constexpr std::string_view kMenuLock = "\x88\xca\x92\x75\x83\x54\x83\x43\x83\x59\x8c\xc5\x92\xe8(&S)";
// "デスクトップの左上へ移動(&O)"
inline constexpr std::string_view kMenuMoveTopLeft
    = "\x83\x66\x83\x58\x83\x4e\x83\x67\x83\x62\x83\x76\x82\xcc\x8d\xb6\x8f\xe3\x82\xd6\x88\xda\x93\xae(&O)";
// "ヘルプ(&H)..."
inline constexpr std::string_view kMenuHelp = "\x83\x77\x83\x8b\x83\x76(&H)...";
// "バージョン情報(&A)..."
inline constexpr std::string_view kMenuAbout
    = "\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93\x8f\xee\x95\xf1(&A)...";
// "終了(&X)"
inline constexpr std::string_view kMenuExit = "\x8f\x49\x97\xb9(&X)";

// Skin folder problems: shown as grey menu items and, at start-up, in boxes.
inline constexpr std::string_view kCaptionFolderError = "ZR5 ERROR";
// "Skinsフォルダが見つかりません。"
inline constexpr std::string_view kNoSkinsFolder = "Skins\x83\x74\x83\x48\x83\x8b\x83\x5f\x82\xaa\x8c\xa9\x82"
                                                   "\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42";
// "Skinsフォルダ内にフォルダが見つかりません。"
inline constexpr std::string_view kNoSkinFolders
    = "Skins\x83\x74\x83\x48\x83\x8b\x83\x5f\x93\xe0\x82\xc9\x83\x74\x83\x48\x83\x8b\x83\x5f\x82\xaa\x8c\xa9"
      "\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42";

// Help.
inline constexpr std::string_view kHelpFile = "Help/index.html";
// "Zephyrant2 エラー"
inline constexpr std::string_view kCaptionHelpError = "Zephyrant2 \x83\x47\x83\x89\x81\x5b";
// "ヘルプが見つかりません。"
inline constexpr std::string_view kHelpMissing
    = "\x83\x77\x83\x8b\x83\x76\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42";

// A settings file that could not be written; the core's reason follows on the next line.
inline constexpr std::string_view kCaptionSaveError = kCaptionHelpError;
// "設定ファイルを保存できませんでした。"
inline constexpr std::string_view kSaveFailed
    = "\x90\xdd\x92\xe8\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x95\xdb\x91\xb6\x82\xc5\x82\xab\x82\xdc"
      "\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42";

// Diagnostics on standard error (plain ASCII).
inline constexpr std::string_view kTrayUnavailable
    = "zr5a: system tray unavailable; the ticker runs without its icon\n";
inline constexpr std::string_view kFirstFramePrefix = "zr5a: first frame after ";
inline constexpr std::string_view kFirstFrameSuffix = " ms\n";
inline constexpr std::string_view kOpenUrlPrefix = "zr5a: open ";
inline constexpr std::string_view kNoLockFolder
    = "zr5a: no private folder for the instance lock (set XDG_RUNTIME_DIR, or fix /tmp/zr5-<uid>: a folder "
      "of yours, "
      "mode 0700)\n";
inline constexpr std::string_view kWorkersAbandoned
    = "zr5a: the patrol did not stop in time; ending without waiting for it\n";

// The file the single-instance lock is taken on.
inline constexpr std::string_view kLockFileName = "Orlemont-Zephyrant2.lock";

} // namespace zr5::ui::msg
