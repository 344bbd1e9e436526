#pragma once

// The update flow's user-visible texts. Texts that named another desktop's things say what
// stands for them here:
//
//   "macOS wouldn't vouch for the downloaded disk image"  -> "The signature check wouldn't vouch
//                                                            for the downloaded update image"
//   "Couldn't open the downloaded disk image. "           -> "... update image. "
//   "The downloaded disk image didn't contain ..."        -> "The downloaded update image ..."
//   "Drag it into Applications first"                     -> "Move it into ~/Applications first"
//   "a temporary copy macOS made"                         -> "a temporary copy your desktop made"
//   "Checking Apple's signature on the download…"         -> "Checking the signature on the
//                                                            download…"
namespace Blinkwit::UpdateTexts {

inline constexpr const char* unreachablePrefix = "Couldn't reach the update server. ";
inline constexpr const char* unexpectedAnswer = "The update server answered unexpectedly.";
inline constexpr const char* insecureManifest = "The update address isn't secure (HTTPS).";
inline constexpr const char* checksumMismatch =
    "The download didn't match the checksum we published, so it was thrown away rather than "
    "installed.";

inline constexpr const char* notInstalled =
    "Blinkwit is running from %1, so there's nothing installed to update. Move it into "
    "~/Applications first, then check again.";
inline constexpr const char* rejected =
    "The signature check wouldn't vouch for the downloaded update image, so Blinkwit left your "
    "copy alone. %1";
inline constexpr const char* wrongTeam =
    "The downloaded app is signed by %1, not by Blinkwit's developer. That's not a build we "
    "published — your copy was left alone.";
inline constexpr const char* mountFailed = "Couldn't open the downloaded update image. %1";
inline constexpr const char* copyFailed = "Couldn't stage the new version. %1";
inline constexpr const char* noAppInside =
    "The downloaded update image didn't contain Blinkwit.app.";
inline constexpr const char* fromDiskImage = "its disk image";
inline constexpr const char* fromTemporaryCopy = "a temporary copy your desktop made";
inline constexpr const char* fromBuildFolder = "a build folder";
inline constexpr const char* unknownTeam = "an unknown team";
inline constexpr const char* unknownBundle = "an unknown bundle";

inline constexpr const char* windowTitle = "Software Update";
inline constexpr const char* running = "You're running ";
inline constexpr const char* availableTitle = "Blinkwit %1 is available";
inline constexpr const char* upToDateTitle = "Blinkwit is up to date";
inline constexpr const char* failedTitle = "Couldn't check for updates";
inline constexpr const char* checkingTitle = "Checking for updates";
inline constexpr const char* looking = "Looking for a newer build…";
inline constexpr const char* latest = "This is the latest version. Blinkwit checks once a day on "
                                      "its own; you can turn that off in Settings.";
inline constexpr const char* noNotes = "A new build is ready to install.";
inline constexpr const char* replaces =
    "Installing replaces the copy at %1 — it doesn't leave a second Blinkwit behind. The old one "
    "goes to your Trash, and the app restarts on its own.";
inline constexpr const char* downloadingPercent = "Downloading — %1%";
inline constexpr const char* verifying = "Checking the signature on the download…";
inline constexpr const char* installing = "Installing. Blinkwit will quit and come back in a "
                                          "second.";
inline constexpr const char* later = "Later";
inline constexpr const char* install = "Install %1 and Restart";
inline constexpr const char* close = "Close";
inline constexpr const char* checkAgain = "Check Again";

} // namespace Blinkwit::UpdateTexts
