#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "vexa/model/command_editor.h"

namespace vexa {
namespace {

using Names = std::vector<std::string>;

class CommandEditorTest : public ::testing::Test {
 protected:
  static void fill(CCmdArray& layout, std::initializer_list<const char*> names, const char* type = "Mute") {
    for (const char* n : names) {
      auto a = std::make_unique<CMD>();
      a->name = n;
      a->typeName = type;
      layout.appendAction(std::move(a));
    }
  }
  static Names names(const CCmdArray& layout) {
    Names out;
    for (size_t i = 0; i < layout.actions().size(); ++i) {
      EXPECT_EQ(layout.actions()[i]->index, static_cast<int32_t>(i));
      out.push_back(layout.actions()[i]->name);
    }
    return out;
  }

  CCmdArray command{"Play"};
  int modified = 0;
  CCommandEditor editor{command, [this] { ++modified; }};
};

TEST_F(CommandEditorTest, MoveEnablingRespectsLayoutSwitches) {
  EXPECT_FALSE(editor.canMoveUp({}));
  fill(command, {"a"});
  EXPECT_FALSE(editor.canMoveUp({0}));
  EXPECT_FALSE(editor.canMoveDown({0}));
  fill(command, {"b", "c"});
  fill(command, {"sw"}, "switch LAYOUT");  // catalogue flags 0x50, any case

  for (Selection up : {Selection{0}, {0, 1}, {3}, {2, 3}}) EXPECT_FALSE(editor.canMoveUp(up)) << up.size();
  EXPECT_TRUE(editor.canMoveUp({1, 2}));
  EXPECT_TRUE(editor.canMoveDown({0, 1}));
  EXPECT_FALSE(editor.canMoveDown({2}));  // the action below switches layouts
  EXPECT_FALSE(editor.canMoveDown({3}));

  EXPECT_TRUE(editor.canDelete({3}) && !editor.canDelete({}));
  EXPECT_TRUE(editor.canEdit({1}) && !editor.canEdit({1, 2}));
}

TEST_F(CommandEditorTest, MovesKeepTheSelection) {
  fill(command, {"a", "b", "c", "d", "e"});
  EXPECT_EQ(editor.moveUp({1, 3}), (Selection{0, 2}));
  EXPECT_EQ(names(command), (Names{"b", "a", "d", "c", "e"}));
  EXPECT_EQ(editor.moveUp({1, 2}), (Selection{0, 1}));
  EXPECT_EQ(names(command), (Names{"a", "d", "b", "c", "e"}));
  EXPECT_EQ(editor.moveDown({0, 1}), (Selection{1, 2}));
  EXPECT_EQ(names(command), (Names{"b", "a", "d", "c", "e"}));
  EXPECT_EQ(editor.moveDown({0, 3}), (Selection{1, 4}));
  EXPECT_EQ(names(command), (Names{"a", "b", "d", "e", "c"}));
  EXPECT_EQ(modified, 4);
  EXPECT_EQ(editor.moveUp({0, 1}), (Selection{0, 1}));  // refused: unchanged
  EXPECT_EQ(editor.moveDown({4}), (Selection{4}));
  EXPECT_EQ(names(command), (Names{"a", "b", "d", "e", "c"}));
  EXPECT_EQ(modified, 4);
}

TEST_F(CommandEditorTest, DeleteDropsActionsFromTheClipboard) {
  fill(command, {"a", "b", "c", "d"});
  ASSERT_TRUE(editor.cut({1, 2, 3}));
  CMD* c = command.actions()[2].get();
  editor.deleteActions({1, 3});
  EXPECT_EQ(names(command), (Names{"a", "c"}));
  EXPECT_EQ(editor.clipboard().actions(), (std::vector<CMD*>{c}));
  editor.deleteActions({1});
  EXPECT_TRUE(editor.clipboard().empty());
  EXPECT_EQ(editor.clipboard().source(), nullptr);
  EXPECT_EQ(editor.clipboard().mode(), CActionClipboard::Mode::Empty);
}

TEST_F(CommandEditorTest, AddedAndEditedActionsGetUniqueNames) {
  for (const char* n : {"Run", "run", "RUN"}) {
    auto a = std::make_unique<CMD>();
    a->name = n;
    editor.addAction(std::move(a));
  }
  EXPECT_EQ(names(command), (Names{"Run", "run_1", "RUN_2"}));
  EXPECT_EQ(modified, 3);

  command.actions()[0]->typeName = "Switch Layout";
  command.actions()[0]->name = "Run_2";
  EXPECT_EQ(editor.actionEdited(0), 2u);  // a layout switch goes last
  EXPECT_EQ(names(command), (Names{"run_1", "RUN_2", "Run_2_1"}));
  command.actions()[0]->name = "RUN_1";  // its own name in other case
  EXPECT_EQ(editor.actionEdited(0), 0u);
  EXPECT_EQ(command.actions()[0]->name, "RUN_1");
}

TEST_F(CommandEditorTest, CopyAndPaste) {
  EXPECT_FALSE(editor.copy({}) || editor.cut({}) || editor.paste());  // each beeps
  fill(command, {"a", "b"});
  command.actions()[1]->param = "p";

  ASSERT_TRUE(editor.cut({0}));
  EXPECT_TRUE(editor.clipboard().isCut(command.actions()[0].get()));
  ASSERT_TRUE(editor.copy({0, 1}));  // clears the cut marks
  EXPECT_FALSE(editor.clipboard().isCut(command.actions()[0].get()));
  EXPECT_EQ(editor.clipboard().source(), &command);

  ASSERT_TRUE(editor.paste());
  ASSERT_TRUE(editor.paste());
  EXPECT_EQ(names(command), (Names{"a", "b", "a_1", "b_1", "a_2", "b_2"}));
  EXPECT_EQ(command.actions()[3]->param, "p");
  EXPECT_EQ(editor.clipboard().actions().size(), 2u);
  EXPECT_EQ(modified, 2);
}

TEST_F(CommandEditorTest, CutPasteMovesThenHoldsACopy) {
  fill(command, {"a", "b", "c"});
  ASSERT_TRUE(editor.cut({0, 2}));
  EXPECT_FALSE(editor.paste());  // cut and pasted onto its own source
  EXPECT_EQ(names(command), (Names{"a", "b", "c"}));

  CMD* a = command.actions()[0].get();
  CCmdArray& second = editor.addLayout();
  EXPECT_EQ(&editor.currentLayout(), &second);
  fill(second, {"c"});
  ASSERT_TRUE(editor.paste());
  EXPECT_EQ(names(command), (Names{"b"}));
  EXPECT_EQ(names(second), (Names{"c", "a", "c_1"}));
  EXPECT_EQ(second.actions()[1].get(), a);  // moved, not copied
  EXPECT_EQ(editor.clipboard().mode(), CActionClipboard::Mode::Copy);
  EXPECT_EQ(editor.clipboard().source(), &second);
  EXPECT_EQ(editor.clipboard().actions(), (std::vector<CMD*>{second.actions()[1].get(), second.actions()[2].get()}));

  ASSERT_TRUE(editor.paste());  // now a copy onto the same layout
  EXPECT_EQ(names(second), (Names{"c", "a", "c_1", "a_1", "c_1_1"}));
}

TEST_F(CommandEditorTest, RemovingALayoutForgetsItsClipboardActions) {
  fill(command, {"a"});
  CCmdArray& second = editor.addLayout();
  fill(second, {"b"});
  ASSERT_TRUE(editor.copy({0}));
  ASSERT_TRUE(editor.removeCurrentLayout());
  EXPECT_TRUE(editor.clipboard().empty());
  EXPECT_EQ(&editor.currentLayout(), &command);
  EXPECT_FALSE(editor.paste());  // would read a destroyed action otherwise
  EXPECT_EQ(names(command), (Names{"a"}));

  // Cut, pasted into a layout that is then removed.
  ASSERT_TRUE(editor.cut({0}));
  CCmdArray& third = editor.addLayout();
  ASSERT_TRUE(editor.paste());
  EXPECT_EQ(editor.clipboard().source(), &third);
  command.switchToLayout(1);
  ASSERT_TRUE(editor.removeCurrentLayout());
  EXPECT_TRUE(editor.clipboard().empty());
  EXPECT_EQ(command.activeLayout(), &command);  // the removed one was active
  EXPECT_EQ(command.layoutCount(), 1u);

  // Actions of another layout stay held.
  fill(command, {"x"});
  ASSERT_TRUE(editor.copy({0}));
  editor.addLayout();
  ASSERT_TRUE(editor.removeCurrentLayout());
  EXPECT_EQ(editor.clipboard().actions().size(), 1u);
  EXPECT_TRUE(editor.paste());

  EXPECT_FALSE(editor.removeCurrentLayout());  // the first stays
  EXPECT_EQ(command.layoutCount(), 1u);
}

TEST_F(CommandEditorTest, LayoutNamesAndPages) {
  CCmdArray& second = editor.addLayout();
  EXPECT_EQ(second.layoutName(), "Layout 2");
  EXPECT_EQ(editor.addLayout().layoutName(), "Layout 3");
  EXPECT_EQ(command.layoutCount(), 3u);
  EXPECT_EQ(modified, 2);

  editor.selectLayout(second);
  using R = CCommandEditor::LayoutNameResult;
  EXPECT_TRUE(editor.renameLayout("") == R::Ignored && editor.renameLayout("Layout 2") == R::Ignored);
  for (char c : std::string_view("\\#[]@=|"))
    EXPECT_EQ(editor.renameLayout(std::string("L") + c), R::ReservedChar) << c;
  EXPECT_EQ(second.layoutName(), "Layout 2");
  EXPECT_EQ(modified, 2);
  EXPECT_EQ(editor.renameLayout("layout 3"), R::Renamed);
  EXPECT_EQ(second.layoutName(), "layout 3_1");
  EXPECT_EQ(editor.renameLayout("LAYOUT 3_1"), R::Renamed);
  EXPECT_EQ(second.layoutName(), "LAYOUT 3_1");
  EXPECT_EQ(modified, 4);

  ASSERT_TRUE(editor.removeCurrentLayout());  // the page before becomes current
  EXPECT_EQ(&editor.currentLayout(), &command);
  EXPECT_EQ(command.next()->layoutName(), "Layout 3");
}

TEST_F(CommandEditorTest, HotKeyAndTitle) {
  command.addLayout();
  editor.setHotKey(0x2 | 0x4, 0x41);
  EXPECT_EQ(command.next()->hotKey(), 0x60041u);
  EXPECT_EQ(modified, 1);
  EXPECT_EQ(editor.title(), "Command Definition -  Play");
  // An editor opened on a later layout edits the whole command.
  CCommandEditor other(*command.next());
  EXPECT_EQ(&other.command(), &command);
}

}  // namespace
}  // namespace vexa
