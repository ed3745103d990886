#include "vexa/model/catalogue.h"

#include "vexa/base/strings.h"

namespace vexa {

namespace {

using F = ChoiceSource;
namespace CF = CatalogueFlag;

constexpr std::string_view kShutdownHow[] = {"Shutdown", "Shutdown with FORCE", "Reboot", "Reboot with FORCE",
                                             "Log Off"};
constexpr std::string_view kSuspendHow[] = {"Standby", "Hibernate"};
constexpr std::string_view kDirections[] = {"North", "Northwest", "West", "Southwest",
                                            "South", "Southeast", "East", "Northeast"};
constexpr std::string_view kWheel[] = {"Up", "Down"};
constexpr std::string_view kButtons[] = {"Left Button", "Middle Button", "Right Button"};

constexpr CatalogueEntry kApplications[] = {
    {"Execute/Close application", 4, CF::kApplication, "Filename", "Parameter"},
    {"Execute application", 1, CF::kApplication, "Filename", "Parameter"},
    {"Close application", 2, CF::kApplication, "Filename", ""},
};
constexpr CatalogueEntry kAppWindows[] = {
    {"Min/Max/Restore application", 7, CF::kApplication, "Filename", ""},
    {"Mininimize application", 5, CF::kApplication, "Filename", ""},
    {"Maximize application", 6, CF::kApplication, "Filename", ""},
    {"Restore application", 8, CF::kApplication, "Filename", ""},
};
constexpr CatalogueEntry kActiveWindows[] = {
    {"Minimize window", 10, 0, "", ""},
    {"Maximize window", 11, 0, "", ""},
    {"Close window", 12, 0, "", ""},
    {"Switch to window", 41, CF::kWindow, "Window", ""},
    {"Cycle through windows", 9, 0, "", ""},
};
constexpr CatalogueEntry kKeystrokes[] = {
    {"Keystroke to application", 3, CF::kApplication, "Filename", "Keystroke"},
    {"Keystroke to current window", 14, 0, "", "Keystroke"},
    {"Keystroke to window", 17, CF::kWindow, "Window", "Keystroke"},
};
constexpr CatalogueEntry kSystem[] = {
    {"Shutdown Windows", 15, CF::kMarked, "How", "TimeOut", F::Fixed, kShutdownHow},
    {"Suspend Windows", 16, 0, "How", "", F::Fixed, kSuspendHow},
    {"Turn off display", 38, 0, "", ""},
    {"Change display mode", 18, 0, "Mode", "Parameter", F::DisplayModes},
};
constexpr CatalogueEntry kAudio[] = {
    {"Audio Mode", 31, CF::kMarked, "Mixer", "", F::MixerControls},
    {"Adjust Up/Right", 32, CF::kMarked, "Mixer", "Accel", F::MixerControls},
    {"Adjust Down/Left", 33, CF::kMarked, "Mixer", "Accel", F::MixerControls},
    {"Mute", 30, CF::kMarked, "Mixer", "", F::MixerControls},
    {"Record Volume", 20, CF::kMarked, "Mixer", "Accel", F::MixerControls},
};
constexpr CatalogueEntry kMouse[] = {
    {"Move Mouse", 21, 0, "Direction", "Accel", F::Fixed, kDirections},
    {"Set Mouse Position", 22, CF::kMousePosition, "Relative to", "Position"},
    {"Roll Mouse Wheel", 25, 0, "Direction", "Accel", F::Fixed, kWheel},
    {"Click Mouse Button", 23, 0, "Button", "", F::Fixed, kButtons},
    {"DoubleClick Mouse Button", 24, 0, "Button", "", F::Fixed, kButtons},
};
constexpr CatalogueEntry kWeb[] = {
    {"Connect", 35, 0, "Connection", "", F::DialUpEntries},
    {"Disconnect", 34, 0, "", ""},
    {"Open Location", 36, 0, "Location", ""},
};
constexpr CatalogueEntry kMessages[] = {
    {"PostMessage", 37, CF::kWindow, "Window", "Message"},
};
constexpr CatalogueEntry kEngine[] = {
    {"Switch Layout", 39, CF::kLayoutSwitch, "Layout", "", F::Layouts},
};
constexpr CatalogueEntry kOsd[] = {
    {"Display window title", 40, CF::kMarked | CF::kWindow, "Window", ""},
};

constexpr CatalogueGroup kGroups[] = {
    {"Execute/Close applications", 0, kApplications},
    {"Manipulate application windows", 1, kAppWindows},
    {"Manipulate active windows", 2, kActiveWindows},
    {"Keystroke actions", 3, kKeystrokes},
    {"General system actions", 4, kSystem},
    {"Audio Control", 6, kAudio},
    {"Mouse Control", 5, kMouse},
    {"Web Control", 8, kWeb},
    {"Window Messages", 9, kMessages},
    {"Engine Actions", 11, kEngine},
    {"OSD Actions", 11, kOsd},
};

const CatalogueGroup* groupOf(std::string_view name, const CatalogueEntry** entry) {
  if (name.empty()) return nullptr;
  for (const auto& group : kGroups)
    for (const auto& e : group.entries)
      if (iequals(e.name, name)) {
        *entry = &e;
        return &group;
      }
  return nullptr;
}

}  // namespace

std::span<const CatalogueGroup> actionCatalogue() { return kGroups; }

const CatalogueEntry* findCatalogueEntry(std::string_view name) {
  const CatalogueEntry* entry = nullptr;
  return groupOf(name, &entry) ? entry : nullptr;
}

int catalogueTypeForEditor(std::string_view name) {
  const CatalogueEntry* e = findCatalogueEntry(name);
  return e ? e->type : -1;
}

int actionTypeOf(std::string_view name) {
  const CatalogueEntry* e = findCatalogueEntry(name);
  return e ? e->type : ActionType::kNone;
}

unsigned catalogueFlagsOf(std::string_view name) {
  const CatalogueEntry* e = findCatalogueEntry(name);
  return e ? e->flags : 0;
}

bool isLayoutSwitch(std::string_view typeName) {
  return (catalogueFlagsOf(typeName) & CatalogueFlag::kLayoutSwitch) == CatalogueFlag::kLayoutSwitch;
}

int catalogueIconOf(std::string_view name) {
  const CatalogueEntry* entry = nullptr;
  const CatalogueGroup* group = groupOf(name, &entry);
  return group ? group->icon : -1;
}

}  // namespace vexa
