// The operand form and the German one-line description of every row of the
// mnemonic table, from editors/forms.txt (built in), the same data the
// editors' files and the language reference show.
#pragma once

#include <string>
#include <string_view>

namespace veltas::lsp {

struct TForm {
  std::string Form, Description;
};

// The row's form, or nullptr for a name the data does not list.
const TForm* FormOf(std::string_view name);

// The data file's text, built in.
extern const char* const FormsText;

}  // namespace veltas::lsp
