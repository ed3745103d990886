#include "vexa/model/tree_clipboard.h"

#include "vexa/model/cmd_tree.h"

namespace vexa {

void CTreeClipboard::forgetIfWithin(const CCmdItem& removed) {
  if (item_ && (item_ == &removed || removed.isAncestorOf(*item_))) clear();
}

}  // namespace vexa
