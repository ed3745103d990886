// hwport.dll with the stand-in hwport.sys under Wine: how the library gets its
// driver running, and that its requests reach the simulated capture card.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "tests/support/temp_folder.h"
#include "tests/win/hwport/hwport_test_support.h"

namespace vexa::test {
namespace {

using hwsim::CardVariant;
using hwsim::kSimWindowBase;

constexpr DWORD kWindowSize = 4096;
constexpr DWORD kGpioOutputEnable = 0x118;
constexpr DWORD kGpioData = 0x200;

std::wstring DriverBesideTests() { return ProgramFolder() + L"\\hwport.sys"; }

TEST(HwportLoad, InstallsTheServiceFromTheFileBesideTheLibraryAndStopsItAtUnload) {
  CServiceRemoval removal;
  ASSERT_FALSE(QueryDriverService().exists);
  {
    CHwportLibrary library(ProgramFolder());
    ASSERT_TRUE(library.Loaded()) << "load error " << library.LoadError();
    const ServiceState installed = QueryDriverService();
    EXPECT_TRUE(installed.exists);
    EXPECT_EQ(SERVICE_RUNNING, installed.state);
    EXPECT_NE(std::wstring::npos, installed.imagePath.find(L"\\hwport.sys"));
    EXPECT_EQ(0u, installed.imagePath.find(ProgramFolder())) << std::string(installed.imagePath.begin(),
                                                                             installed.imagePath.end());
  }
  EXPECT_TRUE(WaitForServiceState(SERVICE_STOPPED));
  EXPECT_TRUE(QueryDriverService().exists) << "unloading stops the service but does not delete it";
}

TEST(HwportLoad, StartsAnInstalledServiceThatIsStopped) {
  CServiceRemoval removal;
  ASSERT_TRUE(InstallDriverService(DriverBesideTests(), false));
  CHwportLibrary library(ProgramFolder());
  ASSERT_TRUE(library.Loaded()) << "load error " << library.LoadError();
  EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), QueryDriverService().state);
}

TEST(HwportLoad, UsesAServiceAlreadyRunningAndStopsItAtUnload) {
  CServiceRemoval removal;
  ASSERT_TRUE(InstallDriverService(DriverBesideTests(), true));
  ASSERT_TRUE(WaitForServiceState(SERVICE_RUNNING));
  {
    CHwportLibrary library(ProgramFolder());
    ASSERT_TRUE(library.Loaded()) << "load error " << library.LoadError();
    CSimulatedCard card;
    EXPECT_TRUE(card.Open());
  }
  EXPECT_TRUE(WaitForServiceState(SERVICE_STOPPED));
}

DWORD RunPeer(const std::wstring& arguments) {
  const std::wstring peer = ProgramFolder() + L"\\hwport_peer.exe";
  std::wstring command = L"\"" + peer + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(peer.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return 100;
  DWORD exitCode = 101;
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return exitCode;
}

TEST(HwportLoad, AProcessEndingWithTheLibraryLoadedStopsTheService) {
  CServiceRemoval removal;
  EXPECT_EQ(0u, RunPeer(L"exit-loaded")) << "the peer's check that failed (see hwport_peer.cpp)";
  EXPECT_TRUE(WaitForServiceState(SERVICE_STOPPED));
}

TEST(HwportLoad, FailsCleanlyWhenTheDriverFileIsMissing) {
  CServiceRemoval removal;
  CTempFolder folder;
  std::filesystem::copy_file(std::filesystem::path(ProgramFolder()) / "hwport.dll", folder.path() / "hwport.dll");
  CHwportLibrary library(folder.path().wstring());
  EXPECT_FALSE(library.Loaded());
  EXPECT_EQ(nullptr, GetModuleHandleW((folder.path() / "hwport.dll").wstring().c_str()));
  EXPECT_NE(static_cast<DWORD>(SERVICE_RUNNING), QueryDriverService().state);
}

class HwportCard : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_library.Loaded()) << "load error " << m_library.LoadError();
    ASSERT_TRUE(m_card.Open());
  }
  CServiceRemoval m_removal;
  CHwportLibrary m_library{ProgramFolder()};
  CSimulatedCard m_card;
};

TEST_F(HwportCard, HardwareResourcesOfTheSimulatedChip) {
  DWORD base = 0, size = 0, irq = 0;
  ASSERT_EQ(0u, m_library.pciGetHardwareResources(0x109E, 0x036E, &base, &size, &irq));
  EXPECT_EQ(kSimWindowBase, base);
  EXPECT_EQ(kWindowSize, size);
  EXPECT_EQ(hwsim::kSimInterruptLine, irq);
  BYTE config[256] = {};
  ASSERT_EQ(0u, m_library.pciGetCommonConfig(0x109E, 0x036E, config));
  EXPECT_EQ(0x9E, config[0]);
  EXPECT_EQ(0x6E, config[2]);
}

TEST_F(HwportCard, AnAbsentDeviceGivesTheDriversErrorAndThreeZeros) {
  DWORD base = 0xDEAD, size = 0xDEAD, irq = 0xDEAD;
  EXPECT_EQ(static_cast<DWORD>(ERROR_DEV_NOT_EXIST),
            m_library.pciGetHardwareResources(0x109E, 0x0350, &base, &size, &irq));
  EXPECT_EQ(0u, base);
  EXPECT_EQ(0u, size);
  EXPECT_EQ(0u, irq);
  ASSERT_TRUE(m_card.Configure(CardVariant::noCard, 0, {}));
  base = size = irq = 0xDEAD;
  EXPECT_NE(0u, m_library.pciGetHardwareResources(0x109E, 0x036E, &base, &size, &irq));
  EXPECT_EQ(0u, base + size + irq);
}

TEST_F(HwportCard, RegistersOfTheMappedWindowAreReadAndWritten) {
  EXPECT_NE(0u, m_library.MemWrite(kGpioOutputEnable, 1)) << "no window mapped yet";
  ASSERT_NE(0u, m_library.MemMap(kSimWindowBase, kWindowSize));
  EXPECT_EQ(0u, m_library.MemWrite(kGpioOutputEnable, 0x00FF00));
  EXPECT_EQ(0x00FF00u, m_library.MemRead(kGpioOutputEnable));
  // Pins driven as outputs read back what was written, the others what the receiver drives.
  ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0x123456, {}));
  EXPECT_EQ(0u, m_library.MemWrite(kGpioData, 0xABCDEF));
  EXPECT_EQ(0x12CD56u, m_library.MemRead(kGpioData));
  m_library.MemUnmap(kSimWindowBase, kWindowSize);
}

TEST_F(HwportCard, TheGpioScriptPlaysOnTheDriversClock) {
  ASSERT_NE(0u, m_library.MemMap(kSimWindowBase, kWindowSize));
  ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0x10, {{0x4F, 400}}));
  EXPECT_EQ(0x4Fu, m_library.MemRead(kGpioData));
  const DWORD start = GetTickCount();
  while (m_library.MemRead(kGpioData) != 0x10 && GetTickCount() - start < 5000) Sleep(20);
  EXPECT_EQ(0x10u, m_library.MemRead(kGpioData)) << "the button is released after its duration";
  EXPECT_GE(GetTickCount() - start, 300u);
  m_library.MemUnmap(kSimWindowBase, kWindowSize);
}

TEST_F(HwportCard, PortWritesReadBackWithNoErrorBits) {
  EXPECT_EQ(0u, m_library.WritePortW(0x378, 0xBEEF));
  EXPECT_EQ(0xEFu, m_library.ReadPort(0x378));
  EXPECT_EQ(0xBEEFu, m_library.ReadPortW(0x378));
}

TEST_F(HwportCard, AnotherProcessSharesTheMappingCount) {
  ASSERT_NE(0u, m_library.MemMap(kSimWindowBase, kWindowSize));
  EXPECT_EQ(0u, RunPeer(L"")) << "the peer's check that failed (see hwport_peer.cpp)";
  m_library.MemUnmap(kSimWindowBase, kWindowSize);
}

}  // namespace
}  // namespace vexa::test
