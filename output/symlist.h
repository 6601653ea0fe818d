// The symbol list at the end of the listing, written with -L.
#pragma once

namespace veltas::output {

// Set by the -L switch; without it no symbol list is written.
extern bool ListAddresses;

// Writes "Symbol-Liste:" and one line per symbol, newest first.
void WriteSymbolList();

}  // namespace veltas::output
