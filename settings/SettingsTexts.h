#pragma once

// The settings window's user-visible texts. Texts that named another desktop's things say what
// stands for them here:
//
//   "Show icon in the Dock"        -> "Show windows in the task bar"
//   "... ⇧←→ jumps paragraphs ..." -> "... Shift+←→ jumps paragraphs ..."
namespace Blinkwit::SettingsTexts {

inline constexpr const char* windowTitle = "Blinkwit Settings";

inline constexpr const char* hotkeys = "Hotkeys";
inline constexpr const char* readSelection = "Read selection:";
inline constexpr const char* readClipboard = "Read clipboard:";
inline constexpr const char* readScreenRegion = "Read screen region (OCR):";

inline constexpr const char* reading = "Reading";
inline constexpr const char* defaultSpeed = "Default speed";
inline constexpr const char* codeBlocks = "Code blocks:";

inline constexpr const char* appearance = "Appearance";
inline constexpr const char* colorScheme = "Color scheme";
inline constexpr const char* wordSize = "Word size";
inline constexpr const char* customColor = "Custom highlight color:";
inline constexpr const char* theme = "Theme:";
inline constexpr const char* dark = "Dark";
inline constexpr const char* light = "Light";
inline constexpr const char* showInTaskbar = "Show windows in the task bar";
inline constexpr const char* startAtLogin = "Start Blinkwit when you log in";

inline constexpr const char* updates = "Updates";
inline constexpr const char* version = "Version ";
inline constexpr const char* notChecked = "Not checked yet";
inline constexpr const char* upToDateAsOf = "Up to date as of ";
inline constexpr const char* checkingForBuild = "Checking for a newer build…";
inline constexpr const char* readyToInstall = "Blinkwit %1 is ready to install";
inline constexpr const char* verifyingDownload = "Verifying the download…";
inline constexpr const char* installing = "Installing…";
inline constexpr const char* checkFailed = "Last check didn't get through";
inline constexpr const char* installUpdate = "Install Update…";
inline constexpr const char* checkingButton = "Checking…";
inline constexpr const char* checkNow = "Check Now";
inline constexpr const char* automaticChecks = "Check for updates automatically";
inline constexpr const char* updatesReplace =
    "Updates replace Blinkwit where it already lives instead of leaving a second copy in "
    "Downloads. The old version goes to the Trash.";

inline constexpr const char* readerKeys =
    "In the reader: Space pauses · ↑↓ changes speed · ←→ jumps sentences · Shift+←→ jumps "
    "paragraphs · Enter expands code · Esc closes.";

} // namespace Blinkwit::SettingsTexts
