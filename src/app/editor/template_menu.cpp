#include "editor/template_menu.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QMenu>
#include <string>

#include "editor/text_change_notices.h"
#include "properties/macro_templates.h"

namespace varnok::app {

void FillTemplateMenu(QMenu& menu, const std::function<void(int tag)>& chosen) {
  for (const properties::MacroTemplate& entry : properties::MacroTemplates()) {
    QAction* item = menu.addAction(
        QString::fromLatin1(entry.caption.data(), static_cast<qsizetype>(entry.caption.size())));
    item->setObjectName(QStringLiteral("MnTemplate%1").arg(entry.tag));
    item->setData(entry.tag);
    QObject::connect(item, &QAction::triggered, &menu, [chosen, tag = entry.tag] { chosen(tag); });
    if (entry.separator_after) menu.addSeparator();
  }
}

void InsertTemplate(QsciScintilla& editor, std::string_view templ) {
  // The editor holds UTF-8; its positions count bytes, as the rule does.
  const std::string text = editor.text().toStdString();
  const auto from = static_cast<std::size_t>(editor.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART));
  const auto to = static_cast<std::size_t>(editor.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND));
  const long caret = editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
  const long column =
      editor.SendScintilla(QsciScintillaBase::SCI_GETCOLUMN, static_cast<unsigned long>(caret));
  const std::string result = properties::InsertMacroTemplate(text, from, to - from, column == 0, templ);
  // Only the selection changes: the text before and after it stays, so the
  // replacement is one step of the editor's undo.
  const std::size_t keptAfter = text.size() - std::min(to, text.size());
  const std::string inserted = result.substr(from, result.size() - from - keptAfter);
  editor.SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, static_cast<unsigned long>(from),
                       static_cast<long>(to));
  editor.SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, inserted.size(), inserted.c_str());
  editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(from + inserted.size()));
  FlushTextChanges(editor);
}

}  // namespace varnok::app
