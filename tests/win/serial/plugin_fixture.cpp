#include "tests/win/serial/plugin_fixture.h"

#include <fstream>

namespace vexa::test {

std::filesystem::path serialDllPath() { return besideTests(SERIAL_DLL_FROM_TESTS); }

SerialPlugin& SerialPlugin::Get() {
  static SerialPlugin plugin = [] {
    SerialPlugin p;
    p.Load(serialDllPath());
    return p;
  }();
  return plugin;
}

void loadSettings(abi::DeviceRecord& device, const std::filesystem::path& file, const std::string& extra,
                  const std::string& advancedLines) {
  std::ofstream(file, std::ios::binary) << "[AdancedSettings]\r\nReset=5\r\nPowerUp=5\r\nTxDDelay=5\r\nRxDDelay=5\r\n"
                                        << advancedLines << extra;
  SerialPlugin::Get().onReadConfig(&device, file.string().c_str());
}

}  // namespace vexa::test
