#pragma once
// The fixed list of action types a layout can hold, grouped for display.
#include <span>
#include <string_view>
#include <vector>

namespace vexa {

namespace CatalogueFlag {
inline constexpr unsigned kMarked = 0x01;          // shutdown, audio, window title
inline constexpr unsigned kApplication = 0x02;     // empty field 1 = the folder's application
inline constexpr unsigned kWindow = 0x04;          // empty field 1 = the folder's window name
inline constexpr unsigned kMousePosition = 0x08;   // browse opens the mouse position tool
inline constexpr unsigned kLayoutSwitch = 0x50;    // both bits: switches layouts
}  // namespace CatalogueFlag

// Where the drop-down choices of field 1 come from.
enum class ChoiceSource { None, Fixed, DisplayModes, MixerControls, DialUpEntries, Layouts };

struct CatalogueEntry {
  std::string_view name;
  int type;
  unsigned flags;
  std::string_view field1;  // empty: field disabled
  std::string_view field2;
  ChoiceSource choices = ChoiceSource::None;
  std::span<const std::string_view> fixedChoices = {};
};

struct CatalogueGroup {
  std::string_view name;
  int icon;
  std::span<const CatalogueEntry> entries;
};

std::span<const CatalogueGroup> actionCatalogue();

// The entry whose name equals `name` case-insensitively, first in stored order.
const CatalogueEntry* findCatalogueEntry(std::string_view name);
// The editor's form: -1 for an empty or unknown name.
int catalogueTypeForEditor(std::string_view name);
// The engine's form: 0 (no type) for an empty or unknown name.
int actionTypeOf(std::string_view name);
unsigned catalogueFlagsOf(std::string_view name);
bool isLayoutSwitch(std::string_view typeName);
// Icon of the group that holds the type; -1 when unknown.
int catalogueIconOf(std::string_view name);

// Type numbers the engine switches on.
namespace ActionType {
inline constexpr int kNone = 0;
inline constexpr int kExecute = 1;
inline constexpr int kClose = 2;
inline constexpr int kKeystrokeToApp = 3;
inline constexpr int kExecuteClose = 4;
inline constexpr int kSwitchLayout = 39;
}  // namespace ActionType

inline constexpr std::string_view kExecuteApplication = "Execute application";
inline constexpr std::string_view kExecuteCloseApplication = "Execute/Close application";

}  // namespace vexa
