#include "source/lines.h"

#include "source/host_hooks.h"
#include "source/scanner.h"
#include "state/messages.h"
#include "state/state.h"

namespace veltas::source {

THostHooks Hooks;
int IncludeDepth = 0;
std::array<bool, MaxSourceFiles> FileListed = [] {
  std::array<bool, MaxSourceFiles> all;
  all.fill(true);
  return all;
}();

std::string CurrentLine;
int LinePos = 1;
std::int32_t LineNumber = 1;

bool NextSourceLine() {
  bool got = Hooks.ReadSourceLine();
  while (!got && IncludeDepth >= 1) {
    LineNumber = Hooks.CloseInclude();
    got = Hooks.ReadSourceLine();
  }
  return got;
}

void IncludeHandler() {
  SkipBlanks();
  std::string name;
  ReadOperandText(name);
  if (state::Failed()) return;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  // The host's file stack has room for seven nested include files; an
  // eighth would overrun it, so the statement fails before anything opens.
  if (IncludeDepth >= MaxSourceFiles - 1) {
    state::SetError(msg::IncludeTooDeep);
    return;
  }
  if (!Hooks.OpenInclude(name, LineNumber)) {
    // The host named the file with its directory prefix; the user wants to
    // see the name as written.
    std::string text(msg::CannotFindFilePrefix.view());
    text += name;
    text += msg::CannotFindFileSuffix.view();
    state::SetError(text);
    return;
  }
  LineNumber = 0;  // the pass adds 1 after this line: the included file starts at 1
}

}  // namespace veltas::source
