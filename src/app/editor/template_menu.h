#pragma once
// File > "Import macro Template": the eight macro skeletons as menu items,
// and their insertion into the Macro editor at the caret.
#include <functional>
#include <string_view>

class QMenu;
class QsciScintilla;

namespace varnok::app {

// Adds the eight items (object names "MnTemplate1".."MnTemplate8") and their
// separators to `menu`; a click calls `chosen` with the item's tag 1..8.
void FillTemplateMenu(QMenu& menu, const std::function<void(int tag)>& chosen);

// Puts `templ` in place of the editor's selection (at the caret when there is
// none), on a line of its own, followed by a line break, as one step the
// editor can undo; the caret goes after it and the editor gets the focus.
void InsertTemplate(QsciScintilla& editor, std::string_view templ);

}  // namespace varnok::app
