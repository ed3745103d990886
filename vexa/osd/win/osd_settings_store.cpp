#include "vexa/osd/win/osd_settings_store.h"

#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/unicode.h"

namespace vexa::osd::win {

namespace {

constexpr uint32_t kMaxTimeoutSeconds = 3600;

}  // namespace

OsdSettings loadOsdSettings(const ICodePage& codePage, const std::wstring& keyName) {
  OsdSettings s;
  vexa::win::CRegKey key;
  if (!key.Open(HKEY_CURRENT_USER, keyName)) return s;
  if (auto v = key.QueryString(L"OSDPos"))
    if (auto p = parsePosition(vexa::win::toUtf8(*v))) s.position = *p;
  // A time-out of 0 would close every display before it is seen.
  if (auto v = key.QueryDword(L"OSDTimeout"); v && *v > 0 && *v <= kMaxTimeoutSeconds) s.timeoutSeconds = *v;
  if (auto v = key.QueryDword(L"OSDBkColor"))
    s.backgroundColour = *v == OsdSettings::kTransparent ? *v : (*v & 0xFFFFFF);
  if (auto v = key.QueryDword(L"OSDTxtColor")) s.textColour = *v & 0xFFFFFF;
  if (auto v = key.QueryBinary(L"OSDFont"))
    if (auto f = OsdFont::decode(*v, codePage)) s.font = *f;
  if (auto v = key.QueryString(L"LayoutSelector")) s.setStoredSelector(vexa::win::toUtf8(*v));
  return s;
}

bool saveOsdSettings(const OsdSettings& s, const ICodePage& codePage, const std::wstring& keyName) {
  vexa::win::CRegKey key;
  if (!key.Create(HKEY_CURRENT_USER, keyName)) return false;
  const auto font = s.font.encode(codePage);
  bool ok = key.SetString(L"OSDPos", vexa::win::toWide(positionName(s.position)));
  ok = key.SetDword(L"OSDTimeout", s.timeoutSeconds) && ok;
  ok = key.SetDword(L"OSDBkColor", s.backgroundColour) && ok;
  ok = key.SetDword(L"OSDTxtColor", s.textColour) && ok;
  ok = key.SetBinary(L"OSDFont", font.data(), static_cast<DWORD>(font.size())) && ok;
  ok = key.SetString(L"LayoutSelector", vexa::win::toWide(s.storedSelector())) && ok;
  return ok;
}

}  // namespace vexa::osd::win
