// The two passes over the source and the statement loop they share.
#pragma once

namespace veltas::passes {

// Assigns addresses and builds the symbol table. True when the source was
// read to its end, or to END, without error.
bool RunPass1();
// Encodes every statement with the complete symbol table, checks that each
// label kept its pass-1 address, and writes listing and HEX output.
bool RunPass2(bool withListing, bool withHex);

// Called by pass 2, when set, for every line that assembled program words,
// right after the HEX writer took them and before the counters advance: the
// words are the first CodeLength of CodeWords at CodeCounter. Null (the
// default) costs nothing; it lets a debug-file writer see the same words as
// the HEX file without the core knowing about it.
extern void (*CodeLineObserver)();

// Looks up Mnemonic in the mnemonic table and sets CurrentEntry;
// "illegale Operation" if it is not there.
bool FindMnemonic();

}  // namespace veltas::passes
