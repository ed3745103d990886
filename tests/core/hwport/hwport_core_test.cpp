// The hardware-access library's portable rules: its request table, the input
// records, the port-read results and the shared mapping count.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "hwport/control_codes.h"
#include "hwport/mapping_count.h"
#include "hwport/pci_resources.h"
#include "hwport/port_result.h"

namespace vexa::hwport {
namespace {

TEST(HwportRequests, CodesAreTheDevicesFunctionsInOrderWithAnyAccess) {
  const std::array<uint32_t, 14> expected = {0x80012006, 0x8001200A, 0x8001200E, 0x80012011, 0x80012015,
                                             0x80012019, 0x8001201C, 0x80012022, 0x80012025, 0x8001202A,
                                             0x8001202C, 0x80012032, 0x80012035, 0x80012038};
  for (size_t i = 0; i < kRequests.size(); ++i) {
    SCOPED_TRACE(std::string(kRequests[i].exportName));
    EXPECT_EQ(expected[i], kRequests[i].code);
    EXPECT_EQ(kDeviceType, deviceTypeOf(kRequests[i].code));
    EXPECT_EQ(0u, accessOf(kRequests[i].code));
    EXPECT_EQ(kFirstFunction + i, functionOf(kRequests[i].code));
  }
}

TEST(HwportRequests, ReadsReturnThroughDirectOutputWritesSendDirectInputMappingIsBuffered) {
  for (const auto& request : kRequests) {
    SCOPED_TRACE(std::string(request.exportName));
    const TransferMethod method = methodOf(request.code);
    if (request.exportName.starts_with("MemMap") || request.exportName == "MemUnmap")
      EXPECT_EQ(TransferMethod::buffered, method);
    else if (request.outputBytes > 0)
      EXPECT_EQ(TransferMethod::outDirect, method);
    else
      EXPECT_EQ(TransferMethod::inDirect, method);
  }
}

TEST(HwportRequests, RecordsAreThreeLittleEndianWordsMaskedToWhatTheDriverReads) {
  const InputRecord port = portWriteRecord(0x12345678, 0xAABBCCDD, PortWidth::byte);
  EXPECT_EQ(0x5678u, port.first);
  EXPECT_EQ(0xDDu, port.second);
  EXPECT_EQ(0u, port.third);
  EXPECT_EQ(0xCCDDu, portWriteRecord(0, 0xAABBCCDD, PortWidth::word).second);
  EXPECT_EQ(0xAABBCCDDu, portWriteRecord(0, 0xAABBCCDD, PortWidth::dword).second);

  const InputRecord pci = pciRecord(0xFFFF109E, 0x1036E);
  EXPECT_EQ(0x109Eu, pci.first);
  EXPECT_EQ(0x036Eu, pci.second);

  const std::array<uint8_t, 12> bytes = recordBytes(twoWordRecord(0xE1004000, 0x1000));
  const std::array<uint8_t, 12> expected = {0x00, 0x40, 0x00, 0xE1, 0x00, 0x10, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(expected, bytes);
}

TEST(HwportPortReads, TheErrorCodeFillsTheBitsTheValueLeaves) {
  EXPECT_EQ(0x5Au, byteReadResult(0, 0x12345A));
  EXPECT_EQ(0x00000400u | 0xFF, byteReadResult(0x000004FF, 0xFF)) << "error 0x4FF keeps only its upper bits";
  EXPECT_EQ(0x1F00u, byteReadResult(0x1F05, 0));
  EXPECT_EQ(0xBEEFu, wordReadResult(0, 0xDEADBEEF));
  EXPECT_EQ(0x00010000u | 0x0002, wordReadResult(0x0001FFFF, 0x2));
  EXPECT_EQ(0u, wordReadResult(0xFFFF, 0)) << "a small error code vanishes under a word value";
}

TEST(HwportPciResources, BaseLosesItsFlagBitsAndTheWindowIs4096Bytes) {
  std::array<uint8_t, 256> config{};
  config[0x10] = 0x08;  // prefetchable memory
  config[0x11] = 0x40;
  config[0x12] = 0x00;
  config[0x13] = 0xE1;
  config[0x3C] = 11;
  const HardwareResources found = resourcesFromConfig(config);
  EXPECT_EQ(0xE1004000u, found.base);
  EXPECT_EQ(4096u, found.size);
  EXPECT_EQ(11u, found.irq);
}

class MappingCount : public ::testing::Test {
 protected:
  uint32_t map(uint32_t base, uint32_t answer = 0xE1004000) {
    return counter.map(base, 4096, [&](uint32_t b, uint32_t) {
      maps.push_back(b);
      return answer;
    });
  }
  void unmap(uint32_t base) {
    counter.unmap(base, 4096, [&](uint32_t b, uint32_t) { unmaps.push_back(b); });
  }
  SharedMapping state{0, 0};
  MappingCounter counter{state};
  std::vector<uint32_t> maps, unmaps;
};

TEST_F(MappingCount, TwoMappingsAndTwoUnmappingsSendOneRequestEach) {
  EXPECT_EQ(0xE1004000u, map(0xE1004000));
  EXPECT_EQ(1u, map(0xE1004000));
  unmap(0xE1004000);
  EXPECT_TRUE(unmaps.empty()) << "the second user still holds the window";
  unmap(0xE1004000);
  EXPECT_EQ(std::vector<uint32_t>{0xE1004000}, maps);
  EXPECT_EQ(std::vector<uint32_t>{0xE1004000}, unmaps);
  EXPECT_EQ(0u, state.count);
}

TEST_F(MappingCount, AnotherBaseIsMappedAndUnmappedAtOnceWithoutCounting) {
  map(0xE1004000);
  map(0xE2000000);
  unmap(0xE2000000);
  EXPECT_EQ((std::vector<uint32_t>{0xE1004000, 0xE2000000}), maps);
  EXPECT_EQ(std::vector<uint32_t>{0xE2000000}, unmaps);
  EXPECT_EQ(1u, state.count);
  EXPECT_EQ(0xE1004000u, state.base);
}

TEST_F(MappingCount, AFailedMappingLeavesNothingCounted) {
  EXPECT_EQ(0u, map(0xE1004000, 0));
  EXPECT_EQ(0u, state.count);
  EXPECT_EQ(0xE1004000u, map(0xE1004000)) << "the next mapping asks the driver again";
  EXPECT_EQ(2u, maps.size());
}

TEST_F(MappingCount, UnmappingWhatWasNeverCountedGoesStraightToTheDriver) {
  unmap(0);
  unmap(0);
  EXPECT_EQ(2u, unmaps.size());
  EXPECT_EQ(0u, state.count) << "the count never wraps below zero";
}

TEST_F(MappingCount, TheStateIsSharedByEveryCounterOverIt) {
  map(0xE1004000);
  MappingCounter other(state);
  EXPECT_EQ(1u, other.map(0xE1004000, 4096, [](uint32_t, uint32_t) { return 7u; }));
  EXPECT_EQ(2u, state.count);
}

}  // namespace
}  // namespace vexa::hwport
