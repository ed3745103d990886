#include "plugins/tunerbox/gpio_settings.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vexa::tunerbox {
namespace {

using Field = uint32_t GpioConfig::*;
constexpr std::array<std::pair<const char*, Field>, 5> kFields{{
    {kOutEnValue, &GpioConfig::outEn},
    {kMaskValue, &GpioConfig::mask},
    {kBtnupMaskValue, &GpioConfig::btnupMask},
    {kBtndwnMaskValue, &GpioConfig::btndwnMask},
    {kFlagsValue, &GpioConfig::flags},
}};

}  // namespace

GpioConfig readGpioConfig(const store::IRegistryKey& key) {
  const auto values = key.values();
  GpioConfig config;
  for (const auto& [name, field] : kFields) {
    auto it = std::find_if(values.begin(), values.end(),
                           [&](const auto& v) { return v.isDword && store::equalNoCase(v.name, name); });
    if (it == values.end()) return {};
    config.*field = it->data;
  }
  return config;
}

bool writeGpioConfig(store::IRegistryKey& key, const GpioConfig& config) {
  bool ok = true;
  for (const auto& [name, field] : kFields) ok = key.setDword(name, config.*field) && ok;
  return ok;
}

}  // namespace vexa::tunerbox
