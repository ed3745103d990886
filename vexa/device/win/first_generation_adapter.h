#pragma once
// A first-generation plug-in: it recognises buttons itself, runs its own message
// loop, draws its own configuration window and keeps its settings in the registry
// or in preset files.
#include "vexa/device/win/plugin_adapter.h"
#include "vexa/device/win/plugin_exports.h"

namespace vexa::device {

class CFirstGenerationAdapter final : public IPluginAdapter {
 public:
  CFirstGenerationAdapter(win::CModule module, const abi::DeviceRecord& record);

  void ChangeDevice() override {}

  bool InitialisesSessions() const override { return false; }
  int Initialize(const std::string&, const std::string&) override { return 0; }
  bool Start(IAdapterHost& host) override;
  void Stop(IAdapterHost& host) override;
  bool SessionActive() const override { return m_active; }
  void Release() override;

  bool KeepsHostSettings() const override { return false; }
  bool ReadSettings(const std::filesystem::path& file, HKEY key) override;
  bool WriteSettings(const std::filesystem::path& file, HKEY key) override;

  bool DrawsOwnPage() const override { return true; }
  HWND CreateOwnPage(HWND parent, POINT position) override;
  bool FillSelector(HWND, int, std::string&) override { return false; }
  std::optional<int> Setup(HWND) override { return std::nullopt; }
  bool About() override;

 private:
  FirstGenerationExports m_exports;
  bool m_active = false;  // StartMsgLoop succeeded and EndMsgLoop is due
};

}  // namespace vexa::device
