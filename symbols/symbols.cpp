#include "symbols/symbols.h"

#include <deque>
#include <new>
#include <unordered_map>

#include "state/messages.h"
#include "state/state.h"

namespace veltas::symbols {

TSymbol PendingSymbol;
const TSymbol* FoundSymbol = nullptr;
std::size_t MaxNameLength = 0;

namespace {

// Records in order of definition; a deque keeps FoundSymbol valid while the
// table grows. The index makes lookup independent of the table's size, which
// matters for generated sources with tens of thousands of names.
std::deque<TSymbol> Records;
std::unordered_map<std::string_view, const TSymbol*> Index;

}  // namespace

void ClearSymbols() {
  Index.clear();
  Records.clear();
  FoundSymbol = nullptr;
  MaxNameLength = 0;
}

bool FindSymbol(std::string_view name) {
  auto it = Index.find(name);
  if (it == Index.end()) {
    FoundSymbol = nullptr;
    state::SetError(msg::LabelNotFound);
    return false;
  }
  FoundSymbol = it->second;
  return true;
}

bool AddSymbol() {
  try {
    Records.push_back(PendingSymbol);
    try {
      Index.emplace(Records.back().Name, &Records.back());
    } catch (const std::bad_alloc&) {
      Records.pop_back();
      throw;
    }
  } catch (const std::bad_alloc&) {
    state::SetError(msg::OutOfRam);
    return false;
  }
  FoundSymbol = &Records.back();
  if (FoundSymbol->Name.size() > MaxNameLength) MaxNameLength = FoundSymbol->Name.size();
  return true;
}

std::size_t SymbolCount() { return Records.size(); }

const TSymbol& SymbolNewestFirst(std::size_t index) { return Records[Records.size() - 1 - index]; }

}  // namespace veltas::symbols
