#include "output/symlist.h"

#include <string>

#include "output/listing.h"
#include "source/host_hooks.h"
#include "symbols/symbols.h"

namespace veltas::output {

bool ListAddresses = false;

namespace {

std::string_view KindWord(std::uint8_t segment) {
  switch (segment) {
    case symbols::SymCode: return "CSEG ";
    case symbols::SymRam: return "RAM  ";
    case symbols::SymConstant: return "EQU  ";
    case symbols::SymBit: return "BIT  ";
    default: return "";
  }
}

}  // namespace

void WriteSymbolList() {
  if (!ListAddresses) return;
  source::Hooks.WriteListing("Symbol-Liste:\r\n");
  std::string line;
  for (std::size_t i = 0, n = symbols::SymbolCount(); i < n; ++i) {
    const symbols::TSymbol& s = symbols::SymbolNewestFirst(i);
    if (s.Failed) continue;  // no value to show
    line = s.Name;
    if (line.size() < symbols::MaxNameLength) line.resize(symbols::MaxNameLength, ' ');
    line += " = ";
    line += KindWord(s.Segment);
    line += HexWord(s.Value);
    line += 'H';
    if (s.ValueType & symbols::TypeBitNumber) {
      line += '.';
      line += HexDigit(s.BitNumber);
    }
    line += "\r\n";
    source::Hooks.WriteListing(line);
  }
}

}  // namespace veltas::output
