// veltas-words: fills an editor file's template with the language's words,
// taken from the assembler itself, so that grammars and syntax files cannot
// drift from what it reads. Usage: veltas-words TEMPLATE OUTPUT [FORMS]
// With FORMS (editors/forms.txt) it fails unless that file describes every
// row of the table, and nothing else.
//
// Placeholders, for MNEMONICS, DIRECTIVES, CONDITIONS (SKIP's), FUNCTIONS
// and OPERATORS (the evaluator's words):
//   @NAME@       a regular expression alternation, longest words first, with
//                "*" and "+" escaped (PCRE, and Vim's \v)
//   @NAME_JSON@  the same inside a JSON string (backslashes doubled)
//   @NAME_LIST@  the words separated by blanks
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "expr/expr.h"
#include "isa/table.h"

namespace {

std::vector<std::string> Words(std::vector<std::string_view> list) {
  std::vector<std::string> words(list.begin(), list.end());
  std::stable_sort(words.begin(), words.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  return words;
}

std::string Join(const std::vector<std::string>& words, const char* separator, bool regex, bool json) {
  std::string out;
  for (const std::string& w : words) {
    if (!out.empty()) out += separator;
    for (char c : w) {
      if (regex && (c == '*' || c == '+')) out += json ? "\\\\" : "\\";
      out += c;
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "Benutzung: veltas-words VORLAGE AUSGABE [FORMEN]\n");
    return 2;
  }
  if (argc == 4) {
    std::ifstream forms(argv[3]);
    std::vector<std::string> described, rows;
    for (std::string line; std::getline(forms, line);)
      if (!line.empty() && line[0] != '#') described.push_back(line.substr(0, line.find('\t')));
    for (const veltas::isa::TMnemonicEntry& row : veltas::isa::Mnemonics) rows.emplace_back(row.Name);
    std::sort(described.begin(), described.end());
    std::sort(rows.begin(), rows.end());
    if (described != rows) {
      std::fprintf(stderr, "veltas-words: %s beschreibt nicht genau die Zeilen der Befehlstabelle\n", argv[3]);
      return 1;
    }
  }
  std::vector<std::string_view> mnemonics, directives;
  for (const veltas::isa::TMnemonicEntry& row : veltas::isa::Mnemonics)
    (veltas::isa::IsDirective(row) ? directives : mnemonics).push_back(row.Name);
  const std::map<std::string, std::vector<std::string>> lists = {
      {"MNEMONICS", Words(mnemonics)},
      {"DIRECTIVES", Words(directives)},
      {"CONDITIONS", Words(veltas::isa::SkipConditionWords())},
      {"FUNCTIONS", Words(veltas::expr::FunctionWords())},
      {"OPERATORS", Words(veltas::expr::OperatorWords())},
  };
  std::ifstream in(argv[1], std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string out = text.str();
  if (!in) {
    std::fprintf(stderr, "veltas-words: kann %s nicht lesen\n", argv[1]);
    return 1;
  }
  for (const auto& [name, words] : lists) {
    const std::pair<std::string, std::string> forms[] = {
        {"@" + name + "_JSON@", Join(words, "|", true, true)},
        {"@" + name + "_LIST@", Join(words, " ", false, false)},
        {"@" + name + "@", Join(words, "|", true, false)},
    };
    for (const auto& [placeholder, value] : forms)
      for (std::size_t p; (p = out.find(placeholder)) != std::string::npos;) out.replace(p, placeholder.size(), value);
  }
  std::ofstream(argv[2], std::ios::binary) << out;
  return 0;
}
