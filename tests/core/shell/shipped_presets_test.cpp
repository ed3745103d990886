// The presets that ship beside vexa.exe must load cleanly and show what they promise.
#include <gtest/gtest.h>

#include <sstream>

#include "tools/vexacfg/vexacfg.h"
#include "vexa/base/code_page.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/base/utf8_path.h"
#include "vexa/presets/config_files.h"

namespace vexa {
namespace {

const std::string kFolder = VEXA_SHIPPED_PRESETS;

TEST(ShippedPresets, SamplePresetPassesTheCheck) {
  for (const char* part : {"/Sample Preset.vcp", "/Sample Preset.vdp"}) {
    std::ostringstream out, err;
    EXPECT_EQ(runVexacfg({"check", kFolder + part}, out, err), 0) << part << "\n" << out.str() << err.str();
    EXPECT_NE(out.str().find(": 0 problems"), std::string::npos) << out.str();
  }
}

TEST(ShippedPresets, SamplePresetHasTheStartupMacroAndTwoRemotes) {
  CCmdTree tree;
  const CUtf8CodePage codePage;
  const LoadResult loaded = loadCommandPart(pathFromUtf8(kFolder + "/Sample Preset.vcp"), tree, codePage);
  ASSERT_TRUE(loaded.ok) << loaded.error;
  EXPECT_TRUE(loaded.problems.empty());
  const CCmdItem* startup = tree.findRemote("Startup Macro");
  ASSERT_NE(startup, nullptr);
  EXPECT_FALSE(startup->children().empty());
  EXPECT_NE(tree.findRemote("Vexa Remote"), nullptr);
  EXPECT_NE(tree.findRemote("Media Remote"), nullptr);
  CCmdTree::FindPosition position;
  EXPECT_NE(tree.findCommand("Vexa Remote", "1", std::nullopt, position), nullptr);
  position = {};
  EXPECT_NE(tree.findCommand("Vexa Remote", "Enter", std::string_view("Notepad"), position), nullptr);
}

TEST(ShippedPresets, SampleDevicePartNamesTheSerialReceiver) {
  std::ostringstream out, err;
  ASSERT_EQ(runVexacfg({"dump", kFolder + "/Sample Preset.vdp"}, out, err), 0) << err.str();
  EXPECT_NE(out.str().find("DeviceName=Generic Serial IR Receiver"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("[1@Vexa Remote]"), std::string::npos);  // the simulated remote's buttons are learned
}

}  // namespace
}  // namespace vexa
