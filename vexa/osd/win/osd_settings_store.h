#pragma once
// The on-screen display's settings in the registry, under the program's key.
#include <string>

#include "vexa/base/code_page.h"
#include "vexa/osd/osd_settings.h"

namespace vexa::osd::win {

inline constexpr const wchar_t* kOsdRegistryKey = L"Software\\Marlix\\Vexa";

// Missing or malformed values keep their defaults.
OsdSettings loadOsdSettings(const ICodePage& codePage, const std::wstring& key = kOsdRegistryKey);
bool saveOsdSettings(const OsdSettings& settings, const ICodePage& codePage, const std::wstring& key = kOsdRegistryKey);

}  // namespace vexa::osd::win
