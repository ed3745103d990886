#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "vexa/model/action_definition.h"
#include "vexa/model/catalogue.h"

namespace vexa {
namespace {

struct Row {
  size_t group;
  std::string_view name;
  int type;
  unsigned flags;
  std::string_view field1, field2;
};

// Stored order; an empty label means the field is off.
const Row kTable[] = {
    {0, "Execute/Close application", 4, 2, "Filename", "Parameter"},
    {0, "Execute application", 1, 2, "Filename", "Parameter"},
    {0, "Close application", 2, 2, "Filename", ""},
    {1, "Min/Max/Restore application", 7, 2, "Filename", ""},
    {1, "Mininimize application", 5, 2, "Filename", ""},
    {1, "Maximize application", 6, 2, "Filename", ""},
    {1, "Restore application", 8, 2, "Filename", ""},
    {2, "Minimize window", 10, 0, "", ""},
    {2, "Maximize window", 11, 0, "", ""},
    {2, "Close window", 12, 0, "", ""},
    {2, "Switch to window", 41, 4, "Window", ""},
    {2, "Cycle through windows", 9, 0, "", ""},
    {3, "Keystroke to application", 3, 2, "Filename", "Keystroke"},
    {3, "Keystroke to current window", 14, 0, "", "Keystroke"},
    {3, "Keystroke to window", 17, 4, "Window", "Keystroke"},
    {4, "Shutdown Windows", 15, 1, "How", "TimeOut"},
    {4, "Suspend Windows", 16, 0, "How", ""},
    {4, "Turn off display", 38, 0, "", ""},
    {4, "Change display mode", 18, 0, "Mode", "Parameter"},
    {5, "Audio Mode", 31, 1, "Mixer", ""},
    {5, "Adjust Up/Right", 32, 1, "Mixer", "Accel"},
    {5, "Adjust Down/Left", 33, 1, "Mixer", "Accel"},
    {5, "Mute", 30, 1, "Mixer", ""},
    {5, "Record Volume", 20, 1, "Mixer", "Accel"},
    {6, "Move Mouse", 21, 0, "Direction", "Accel"},
    {6, "Set Mouse Position", 22, 8, "Relative to", "Position"},
    {6, "Roll Mouse Wheel", 25, 0, "Direction", "Accel"},
    {6, "Click Mouse Button", 23, 0, "Button", ""},
    {6, "DoubleClick Mouse Button", 24, 0, "Button", ""},
    {7, "Connect", 35, 0, "Connection", ""},
    {7, "Disconnect", 34, 0, "", ""},
    {7, "Open Location", 36, 0, "Location", ""},
    {8, "PostMessage", 37, 4, "Window", "Message"},
    {9, "Switch Layout", 39, 0x50, "Layout", ""},
    {10, "Display window title", 40, 5, "Window", ""},
};

TEST(CatalogueTest, GroupsAndEntriesFollowTheTable) {
  const std::vector<std::pair<std::string_view, int>> groups = {
      {"Execute/Close applications", 0}, {"Manipulate application windows", 1}, {"Manipulate active windows", 2},
      {"Keystroke actions", 3},          {"General system actions", 4},         {"Audio Control", 6},
      {"Mouse Control", 5},              {"Web Control", 8},                    {"Window Messages", 9},
      {"Engine Actions", 11},            {"OSD Actions", 11}};
  const auto catalogue = actionCatalogue();
  ASSERT_EQ(catalogue.size(), groups.size());
  size_t row = 0;
  for (size_t g = 0; g < catalogue.size(); ++g) {
    EXPECT_EQ(catalogue[g].name, groups[g].first);
    EXPECT_EQ(catalogue[g].icon, groups[g].second) << groups[g].first;
    EXPECT_LE(catalogue[g].entries.size(), 20u);
    for (const CatalogueEntry& e : catalogue[g].entries) {
      ASSERT_LT(row, std::size(kTable));
      const Row& want = kTable[row++];
      EXPECT_EQ(want.group, g) << e.name;
      EXPECT_EQ(e.name, want.name);
      EXPECT_EQ(e.type, want.type) << e.name;
      EXPECT_EQ(e.flags, want.flags) << e.name;
      EXPECT_EQ(e.field1, want.field1) << e.name;
      EXPECT_EQ(e.field2, want.field2) << e.name;
      // The name lookups must agree with the table too.
      EXPECT_EQ(catalogueFlagsOf(e.name), want.flags);
      EXPECT_EQ(catalogueIconOf(e.name), groups[g].second);
    }
  }
  EXPECT_EQ(row, std::size(kTable));
}

TEST(CatalogueTest, TypeOfNameInBothForms) {
  for (std::string_view name : {"Execute application", "EXECUTE APPLICATION", "eXeCuTe aPpLiCaTiOn"}) {
    EXPECT_EQ(catalogueTypeForEditor(name), 1) << name;
    EXPECT_EQ(actionTypeOf(name), 1) << name;
    EXPECT_EQ(catalogueFlagsOf(name), CatalogueFlag::kApplication) << name;
  }
  for (std::string_view unknown : {"", "Execute application ", "Execute", "Bogus"}) {
    EXPECT_EQ(catalogueTypeForEditor(unknown), -1) << unknown;
    EXPECT_EQ(actionTypeOf(unknown), ActionType::kNone) << unknown;
    EXPECT_EQ(catalogueFlagsOf(unknown), 0u) << unknown;
    EXPECT_EQ(findCatalogueEntry(unknown), nullptr) << unknown;
    EXPECT_EQ(catalogueIconOf(unknown), -1) << unknown;
  }
  // The misspelling is the stored name; the correct spelling is unknown.
  EXPECT_EQ(actionTypeOf("mininimize APPLICATION"), 5);
  EXPECT_EQ(catalogueTypeForEditor("Minimize application"), -1);
  EXPECT_EQ(actionTypeOf("display WINDOW title"), 40);
}

TEST(CatalogueTest, TypeNumbersAreUniqueAndOnlyOneSwitchesLayouts) {
  std::set<int> types;
  for (const Row& r : kTable) {
    EXPECT_TRUE(types.insert(r.type).second) << r.type;
    EXPECT_EQ(isLayoutSwitch(r.name), r.type == ActionType::kSwitchLayout) << r.name;
  }
  for (int absent : {0, 13, 19, 26, 27, 28, 29}) EXPECT_EQ(types.count(absent), 0u) << absent;
  EXPECT_FALSE(isLayoutSwitch(""));
}

TEST(CatalogueTest, DropDownTypesAndTheirChoices) {
  const std::set<int> withList = {15, 16, 18, 20, 21, 23, 24, 25, 30, 31, 32, 33, 35, 39};
  for (int type = -1; type <= 45; ++type) EXPECT_EQ(typeHasChoiceList(type), withList.count(type) == 1) << type;

  const auto choices = [](std::string_view name) {
    const CatalogueEntry* e = findCatalogueEntry(name);
    return e ? std::vector<std::string_view>(e->fixedChoices.begin(), e->fixedChoices.end())
             : std::vector<std::string_view>{"<missing>"};
  };
  using V = std::vector<std::string_view>;
  EXPECT_EQ(choices("Shutdown Windows"),
            (V{"Shutdown", "Shutdown with FORCE", "Reboot", "Reboot with FORCE", "Log Off"}));
  EXPECT_EQ(choices("Suspend Windows"), (V{"Standby", "Hibernate"}));
  EXPECT_EQ(choices("Move Mouse"),
            (V{"North", "Northwest", "West", "Southwest", "South", "Southeast", "East", "Northeast"}));
  EXPECT_EQ(choices("Roll Mouse Wheel"), (V{"Up", "Down"}));
  EXPECT_EQ(choices("Click Mouse Button"), (V{"Left Button", "Middle Button", "Right Button"}));
  EXPECT_EQ(choices("DoubleClick Mouse Button"), choices("Click Mouse Button"));

  const auto source = [](std::string_view name) { return findCatalogueEntry(name)->choices; };
  EXPECT_EQ(source("Change display mode"), ChoiceSource::DisplayModes);
  for (auto mixer : {"Audio Mode", "Adjust Up/Right", "Adjust Down/Left", "Mute", "Record Volume"})
    EXPECT_EQ(source(mixer), ChoiceSource::MixerControls) << mixer;
  EXPECT_EQ(source("Connect"), ChoiceSource::DialUpEntries);
  EXPECT_EQ(source("Switch Layout"), ChoiceSource::Layouts);
}

TEST(ActionDefinitionTest, NameMustBeNonEmptyAndFreeOfReservedCharacters) {
  EXPECT_EQ(checkActionName(""), ActionNameProblem::Empty);
  EXPECT_EQ(actionNameMessage(ActionNameProblem::Empty), "Please choose a name for this action.");
  for (char c : std::string_view("\\#[]@=|"))
    EXPECT_EQ(checkActionName(std::string("Run") + c + "it"), ActionNameProblem::ReservedChar) << c;
  EXPECT_EQ(actionNameMessage(ActionNameProblem::ReservedChar),
            "You have entered an invalid character for the name of this action.\n"
            "\\#[]@=| are reserved for internal use.");
  for (std::string_view ok : {"Run", " ", "a/b:c;d{e}f%g"})
    EXPECT_EQ(checkActionName(ok), ActionNameProblem::None) << ok;
  EXPECT_TRUE(actionNameMessage(ActionNameProblem::None).empty());
}

TEST(ActionDefinitionTest, DelayIsOnlyForLaterActionsAndDrivesFlagBitZero) {
  EXPECT_FALSE(delayAllowed(true, 0, -1));
  EXPECT_TRUE(delayAllowed(true, 1, -1));
  EXPECT_FALSE(delayAllowed(false, 3, 0));
  EXPECT_TRUE(delayAllowed(false, 3, 1));

  CMD a;
  a.flags = 0xF0;
  const std::pair<int, int> cases[] = {{250, 250}, {0, 0}, {20000, 10000}, {-5, 0}, {1, 1}};
  for (auto [given, stored] : cases) {
    applyDelay(a, given);
    EXPECT_EQ(a.delay, stored) << given;
    EXPECT_EQ(a.flags, stored ? 0xF1u : 0xF0u) << given;
  }
}

TEST(ActionDefinitionTest, AcceptWritesTheRecordOnlyWhenValid) {
  CMD a;
  a.index = 4;
  a.name = "Old";
  a.typeName = "Mute";
  a.flags = CMD::kDelayEnabled | 0x8;
  a.delay = 300;
  a.extraParam = "kept";
  const CMD before = a;

  EXPECT_EQ(acceptActionDefinition({"Bad=Name", "Execute application", "x.exe", "-p", 0}, a),
            ActionNameProblem::ReservedChar);
  EXPECT_EQ(acceptActionDefinition({"", "Execute application", "x.exe", "-p", 0}, a), ActionNameProblem::Empty);
  EXPECT_EQ(a, before);

  ASSERT_EQ(acceptActionDefinition({"Start", "Execute application", "C:\\x.exe", "-p", 0}, a), ActionNameProblem::None);
  CMD want = before;  // index, kind and the extra parameter stay
  want.name = "Start";
  want.typeName = "Execute application";
  want.fileName = "C:\\x.exe";
  want.param = "-p";
  want.delay = 0;
  want.flags = 0x8;
  EXPECT_EQ(a, want);

  // A group selected in the tree leaves no type.
  EXPECT_EQ(acceptActionDefinition({"Start", "", "", "", 700}, a), ActionNameProblem::None);
  EXPECT_EQ(a.typeName, "");
  EXPECT_EQ((std::pair{a.delay, a.flags}), (std::pair{700, 0x9u}));
}

TEST(ActionDefinitionTest, ATypeChangeKeepsOnlyTheFieldsThatStillMeanTheSame) {
  const auto keeps = [](std::string_view from, std::string_view to, int field) {
    return fieldKeepsMeaning(*findCatalogueEntry(from), *findCatalogueEntry(to), field);
  };
  // A keystroke is no program parameter, a program's parameter no display mode's.
  EXPECT_FALSE(keeps("Keystroke to current window", "Execute application", 2));
  EXPECT_FALSE(keeps("Execute application", "Change display mode", 2));
  // A pointer's speed is no mixer step; an application no window.
  EXPECT_FALSE(keeps("Move Mouse", "Adjust Up/Right", 2));
  EXPECT_FALSE(keeps("Execute application", "Switch to window", 1));
  // Lists of other choices, and a field the new type does not use.
  EXPECT_FALSE(keeps("Shutdown Windows", "Suspend Windows", 1));
  EXPECT_FALSE(keeps("Move Mouse", "Roll Mouse Wheel", 1));
  EXPECT_FALSE(keeps("Execute application", "Close application", 2));
  EXPECT_FALSE(keeps("Minimize window", "Maximize window", 1));
  // The same thing under the same label stays.
  EXPECT_TRUE(keeps("Execute application", "Mininimize application", 1));
  EXPECT_TRUE(keeps("Execute/Close application", "Execute application", 2));
  EXPECT_TRUE(keeps("Keystroke to application", "Keystroke to window", 2));
  EXPECT_TRUE(keeps("Switch to window", "PostMessage", 1));
  EXPECT_TRUE(keeps("Mute", "Adjust Down/Left", 1));
  EXPECT_TRUE(keeps("Click Mouse Button", "DoubleClick Mouse Button", 1));
}

TEST(ActionDefinitionTest, AnEmptyListSaysWhyNothingCanBeChosen) {
  const std::string mixer = noChoiceMessage(*findCatalogueEntry("Mute"), true);
  EXPECT_NE(mixer.find("no mixer control"), std::string::npos) << mixer;
  EXPECT_NE(mixer.find("\"Mute\""), std::string::npos) << mixer;
  EXPECT_NE(noChoiceMessage(*findCatalogueEntry("Mute"), false), mixer);
  EXPECT_NE(noChoiceMessage(*findCatalogueEntry("Change display mode"), true).find("\"Mode\""), std::string::npos);
}

}  // namespace
}  // namespace vexa
