#include "lsp/forms.h"

#include <map>
#include <sstream>

namespace veltas::lsp {

const TForm* FormOf(std::string_view name) {
  static const std::map<std::string, TForm, std::less<>> kForms = [] {
    std::map<std::string, TForm, std::less<>> forms;
    std::istringstream in(FormsText);
    for (std::string line; std::getline(in, line);) {
      if (line.empty() || line[0] == '#') continue;
      std::size_t a = line.find('\t'), b = line.find('\t', a + 1);
      if (b == std::string::npos) continue;
      forms[line.substr(0, a)] = {line.substr(a + 1, b - a - 1), line.substr(b + 1)};
    }
    return forms;
  }();
  auto it = kForms.find(name);
  return it == kForms.end() ? nullptr : &it->second;
}

}  // namespace veltas::lsp
