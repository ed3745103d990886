#pragma once
// Shows a command tree in a tree-view control.
#include "vexa/winlib/tree_view.h"

namespace vexa {
class CCmdTree;
}

namespace vexa::shell {

// Replaces the control's items with the tree's remotes and everything below them;
// the remotes are expanded so that their commands show at once.
void fillCommandTree(win::CTreeView& view, const CCmdTree& tree);

}  // namespace vexa::shell
