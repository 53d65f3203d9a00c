// The program's version record: the version numbers and the texts that describe the build.
// Constants, shared by the window caption, the About box and the application's metadata.
#pragma once

#include <array>

namespace wintarvo {

inline constexpr std::array<int, 4> FILE_VERSION{1, 15, 904, 832};
inline constexpr std::array<int, 4> PRODUCT_VERSION{1, 15, 904, 832};

inline constexpr const char* FILE_DESCRIPTION = "WinTarvo";
inline constexpr const char* FILE_VERSION_TEXT = "1, 15, 904, 832";
inline constexpr const char* INTERNAL_NAME = "Tarvo";
inline constexpr const char* PRODUCT_NAME = "WinTarvo Module";
inline constexpr const char* PRODUCT_VERSION_TEXT = "1, 15, 904, 832";
inline constexpr const char* SPECIAL_BUILD = "Alpha Release";

// The caption of the main window and the line of the About box.
inline constexpr const char* PROGRAM_TITLE = "WinTarvo 1.15";
// The caption of the end-of-game box.
inline constexpr const char* PROGRAM_NAME = "WinTarvo";

}  // namespace wintarvo
