// The two passes over the source and the statement loop they share.
#pragma once

namespace veltas::passes {

// Assigns addresses and builds the symbol table. True when the source was
// read to its end, or to END, without stopping at an error.
bool RunPass1();
// Encodes every statement with the complete symbol table, checks that each
// label kept its pass-1 address, and writes listing and HEX output. True
// when no line failed.
bool RunPass2(bool withListing, bool withHex);

// Called by pass 2, when set, for every line that assembled program words,
// right after the HEX writer took them and before the counters advance: the
// words are the first CodeLength of CodeWords at CodeCounter. Null (the
// default) costs nothing; it lets a debug-file writer see the same words as
// the HEX file without the core knowing about it.
extern void (*CodeLineObserver)();

// Called, when set, for every line either pass goes past, right before the
// counters advance: the line's statement state is intact (PendingSymbol in
// pass 1; CodeWords, ListingKind and ErrorText in pass 2). For tools that
// want to know where names are defined and what each line became.
extern void (*LineObserver)(bool pass2);

// Errors. Each pass calls ErrorObserver, when set, for every error it
// reports, with the failing line's state intact (CurrentLine, LinePos,
// LineNumber, ErrorText, TokenStart), and counts it. A pass stops at once
// when ErrorLimit is reached (StoppedAtLimit) or an INCLUDE fails; with
// ErrorLimit 1 that is the first error. Otherwise pass 1 goes on with the
// next line and pass 2 may run after it: a line that failed in pass 1 is
// shown again, not processed; a statement that fails in pass 2 writes no
// words. Errors that only follow from a failed definition are not reported.
extern void (*ErrorObserver)();
extern int ErrorsReported;
extern bool StoppedAtLimit;

// Looks up Mnemonic in the mnemonic table and sets CurrentEntry;
// "illegale Operation" if it is not there.
bool FindMnemonic();

}  // namespace veltas::passes
