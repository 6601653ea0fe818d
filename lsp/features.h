// The answers to the editor's questions, each from a snapshot and the
// request's place: no JSON, no transport, no core globals (but the
// evaluator, for a number under the cursor).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "lsp/analysis.h"
#include "lsp/protocol.h"
#include "lsp/text.h"

namespace veltas::lsp {

// Converts between the protocol's positions and the assembler's places in
// the files of one snapshot.
struct TView {
  const TSnapshot& Snap;
  TEncoding Encoding;
  // line and column 1-based (cp1252 bytes), length in characters
  TRange RangeOf(const std::string& file, int line, int column, int length) const;
  // The 1-based column of a position
  int ColumnOf(const std::string& file, const TPosition& position) const;
  const std::string& LineText(const std::string& file, int line) const;  // UTF-8
};

std::map<std::string, std::vector<TDiagnostic>> Diagnostics(const TView& view);
std::optional<THover> Hover(const TView& view, const std::string& file, const TPosition& position);
std::vector<TLocation> Definition(const TView& view, const std::string& file, const TPosition& position);
std::vector<TLocation> References(const TView& view, const std::string& file, const TPosition& position,
                                  bool includeDeclaration);
std::vector<TRange> Highlights(const TView& view, const std::string& file, const TPosition& position);
// The edits, or the reason it is refused (German).
std::optional<std::map<std::string, std::vector<TTextEdit>>> Rename(const TView& view, const std::string& file,
                                                                    const TPosition& position,
                                                                    const std::string& newName, std::string& refusal);
std::vector<TDocumentSymbol> DocumentSymbols(const TView& view, const std::string& file);
void WorkspaceSymbols(const TView& view, const std::string& query, std::vector<TSymbolInformation>& out);
std::vector<TCompletionItem> Completion(const TView& view, const std::string& file, const TPosition& position,
                                        const std::vector<std::string>& includeDirs);
std::vector<std::uint32_t> SemanticTokens(const TView& view, const std::string& file);
std::vector<TInlayHint> InlayHints(const TView& view, const std::string& file);

// The semantic token legend.
const std::vector<std::string>& TokenTypes();
const std::vector<std::string>& TokenModifiers();

}  // namespace veltas::lsp
