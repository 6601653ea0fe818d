#include "isa/table.h"

#include <unordered_map>

#include "isa/handlers.h"
#include "source/lines.h"
#include "source/scanner.h"
#include "state/messages.h"
#include "state/state.h"

namespace veltas::isa {

std::uint8_t CoreKind = Core14;

// Name, pass-1 handler, pass-2 handler, core mask, base opcodes for the
// 12-, 14- and 16-bit cores, size in words. Opcodes of cores that the mask
// excludes are never used and read 0.
const std::array<TMnemonicEntry, MnemonicCount> Mnemonics = {{
    {"ADDWF",     CountInstruction,          RegisterDestinationForm,   0x0B, 0x01C0, 0x0700, 0x2400, 1},  // 1
    {"ADDWFC",    CountInstruction,          RegisterDestinationForm,   0x0E, 0x0000, 0x3D00, 0x2000, 1},  // 2
    {"ANDWF",     CountInstruction,          RegisterDestinationForm,   0x0B, 0x0140, 0x0500, 0x1400, 1},  // 3
    {"ASRF",      CountInstruction,          RegisterDestinationForm,   0x06, 0x0000, 0x3700, 0x0000, 1},  // 4
    {"LSLF",      CountInstruction,          RegisterDestinationForm,   0x06, 0x0000, 0x3500, 0x0000, 1},  // 5
    {"LSRF",      CountInstruction,          RegisterDestinationForm,   0x06, 0x0000, 0x3600, 0x0000, 1},  // 6
    {"CLRF",      CountInstruction,          RegisterForm,              0x0B, 0x0060, 0x0180, 0x6A00, 1},  // 7
    {"COMF",      CountInstruction,          RegisterDestinationForm,   0x0B, 0x0240, 0x0900, 0x1C00, 1},  // 8
    {"CPFSEQ",    CountInstruction,          RegisterForm,              0x08, 0x0000, 0x0000, 0x6200, 1},  // 9
    {"CPFSGT",    CountInstruction,          RegisterForm,              0x08, 0x0000, 0x0000, 0x6400, 1},  // 10
    {"CPFSLT",    CountInstruction,          RegisterForm,              0x08, 0x0000, 0x0000, 0x6000, 1},  // 11
    {"DECF",      CountInstruction,          RegisterDestinationForm,   0x0B, 0x00C0, 0x0300, 0x0400, 1},  // 12
    {"DECFSZ",    CountInstruction,          RegisterDestinationForm,   0x0B, 0x02C0, 0x0B00, 0x2C00, 1},  // 13
    {"DECFSNZ",   CountInstruction,          RegisterDestinationForm,   0x08, 0x0000, 0x0000, 0x4C00, 1},  // 14
    {"DCFSNZ",    CountInstruction,          RegisterDestinationForm,   0x08, 0x0000, 0x0000, 0x4C00, 1},  // 15
    {"INCF",      CountInstruction,          RegisterDestinationForm,   0x0B, 0x0280, 0x0A00, 0x2800, 1},  // 16
    {"INCFSZ",    CountInstruction,          RegisterDestinationForm,   0x0B, 0x03C0, 0x0F00, 0x3C00, 1},  // 17
    {"INFSNZ",    CountInstruction,          RegisterDestinationForm,   0x08, 0x0000, 0x0000, 0x4800, 1},  // 18
    {"IORWF",     CountInstruction,          RegisterDestinationForm,   0x0B, 0x0100, 0x0400, 0x1000, 1},  // 19
    {"MOVF",      CountInstruction,          RegisterDestinationForm,   0x0B, 0x0200, 0x0800, 0x5000, 1},  // 20
    {"MOVFF",     CountInstruction,          MovffForm,                 0x08, 0x0000, 0x0000, 0xC000, 2},  // 21
    {"MOVWF",     CountInstruction,          RegisterForm,              0x0B, 0x0020, 0x0080, 0x6E00, 1},  // 22
    {"MULWF",     CountInstruction,          RegisterForm,              0x08, 0x0000, 0x0000, 0x0200, 1},  // 23
    {"NEGF",      CountInstruction,          RegisterForm,              0x08, 0x0000, 0x0000, 0x6C00, 1},  // 24
    {"RLCF",      CountInstruction,          RegisterDestinationForm,   0x08, 0x0000, 0x0000, 0x3400, 1},  // 25
    {"RLNCF",     CountInstruction,          RegisterDestinationForm,   0x08, 0x0000, 0x0000, 0x4400, 1},  // 26
    {"RRCF",      CountInstruction,          RegisterDestinationForm,   0x08, 0x0000, 0x0000, 0x3000, 1},  // 27
    {"RRNCF",     CountInstruction,          RegisterDestinationForm,   0x08, 0x0000, 0x0000, 0x4000, 1},  // 28
    {"SETF",      CountInstruction,          RegisterForm,              0x08, 0x0000, 0x0000, 0x6800, 1},  // 29
    {"SUBFWB",    CountInstruction,          RegisterDestinationForm,   0x08, 0x0000, 0x0000, 0x5400, 1},  // 30
    {"SUBWF",     CountInstruction,          RegisterDestinationForm,   0x0B, 0x0080, 0x0200, 0x5C00, 1},  // 31
    {"SUBWFB",    CountInstruction,          RegisterDestinationForm,   0x0E, 0x0000, 0x3B00, 0x5800, 1},  // 32
    {"SWAPF",     CountInstruction,          RegisterDestinationForm,   0x0B, 0x0380, 0x0E00, 0x3800, 1},  // 33
    {"TSTFSZ",    CountInstruction,          RegisterForm,              0x08, 0x0000, 0x0000, 0x6600, 1},  // 34
    {"XORWF",     CountInstruction,          RegisterDestinationForm,   0x0B, 0x0180, 0x0600, 0x1800, 1},  // 35
    {"BCF",       CountInstruction,          BitForm,                   0x0B, 0x0400, 0x1000, 0x9000, 1},  // 36
    {"BSF",       CountInstruction,          BitForm,                   0x0B, 0x0500, 0x1400, 0x8000, 1},  // 37
    {"BTFSC",     CountInstruction,          BitForm,                   0x0B, 0x0600, 0x1800, 0xB000, 1},  // 38
    {"BTFSS",     CountInstruction,          BitForm,                   0x0B, 0x0700, 0x1C00, 0xA000, 1},  // 39
    {"BTG",       CountInstruction,          BitForm,                   0x08, 0x0000, 0x0000, 0x7000, 1},  // 40
    {"SKIP",      CountInstruction,          SkipForm,                  0x0B, 0x0600, 0x1800, 0xB000, 1},  // 41
    {"TOGGLE",    CountInstruction,          BitForm,                   0x08, 0x0000, 0x0000, 0x7000, 1},  // 42
    {"BC",        CountInstruction,          RelativeBranch,            0x08, 0x0000, 0x0000, 0xE200, 1},  // 43
    {"BN",        CountInstruction,          RelativeBranch,            0x08, 0x0000, 0x0000, 0xE600, 1},  // 44
    {"BNC",       CountInstruction,          RelativeBranch,            0x08, 0x0000, 0x0000, 0xE300, 1},  // 45
    {"BNN",       CountInstruction,          RelativeBranch,            0x08, 0x0000, 0x0000, 0xE700, 1},  // 46
    {"BNOV",      CountInstruction,          RelativeBranch,            0x08, 0x0000, 0x0000, 0xE500, 1},  // 47
    {"BNZ",       CountInstruction,          RelativeBranch,            0x08, 0x0000, 0x0000, 0xE100, 1},  // 48
    {"BOV",       CountInstruction,          RelativeBranch,            0x08, 0x0000, 0x0000, 0xE400, 1},  // 49
    {"BRA",       CountInstruction,          RelativeBranch,            0x0E, 0x0000, 0x3200, 0xD000, 1},  // 50
    {"BRW",       CountInstruction,          StartInstruction,          0x06, 0x0000, 0x000B, 0x0000, 1},  // 51
    {"BZ",        CountInstruction,          RelativeBranch,            0x08, 0x0000, 0x0000, 0xE000, 1},  // 52
    {"CALL",      CountTwoWordInstruction,   CallForm,                  0x0B, 0x0900, 0x2000, 0xEC00, 1},  // 53
    {"CALLW",     CountInstruction,          StartInstruction,          0x06, 0x0000, 0x000A, 0x0000, 1},  // 54
    {"CLRWDT",    CountInstruction,          StartInstruction,          0x0B, 0x0004, 0x0064, 0x0004, 1},  // 55
    {"DAW",       CountInstruction,          StartInstruction,          0x08, 0x0000, 0x0000, 0x0007, 1},  // 56
    {"GOTO",      CountTwoWordInstruction,   GotoForm,                  0x0B, 0x0A00, 0x2800, 0xEF00, 1},  // 57
    {"NOP",       CountInstruction,          StartInstruction,          0x0B, 0x0000, 0x0000, 0x0000, 1},  // 58
    {"POP",       CountInstruction,          StartInstruction,          0x08, 0x0000, 0x0000, 0x0006, 1},  // 59
    {"PUSH",      CountInstruction,          StartInstruction,          0x08, 0x0000, 0x0000, 0x0005, 1},  // 60
    {"RCALL",     CountInstruction,          RelativeBranch,            0x08, 0x0000, 0x0000, 0xD800, 1},  // 61
    {"RESET",     CountInstruction,          StartInstruction,          0x0E, 0x0000, 0x0001, 0x00FF, 1},  // 62
    {"RETFIE",    CountInstruction,          ReturnForm,                0x0A, 0x0000, 0x0009, 0x0010, 1},  // 63
    {"RETLW",     CountInstruction,          LiteralForm,               0x0B, 0x0800, 0x3400, 0x0C00, 1},  // 64
    {"RETURN",    CountInstruction,          ReturnForm,                0x0A, 0x0000, 0x0008, 0x0012, 1},  // 65
    {"SLEEP",     CountInstruction,          StartInstruction,          0x0B, 0x0003, 0x0063, 0x0003, 1},  // 66
    {"ADDLW",     CountInstruction,          LiteralForm,               0x0A, 0x0000, 0x3E00, 0x0F00, 1},  // 67
    {"ANDLW",     CountInstruction,          LiteralForm,               0x0B, 0x0E00, 0x3900, 0x0B00, 1},  // 68
    {"IORLW",     CountInstruction,          LiteralForm,               0x0B, 0x0D00, 0x3800, 0x0900, 1},  // 69
    {"LFSR",      CountTwoWordInstruction,   LfsrForm,                  0x08, 0x0000, 0x0000, 0xEE00, 2},  // 70
    {"MOVLB",     CountInstruction,          BankSelect,                0x0E, 0x0000, 0x0020, 0x0100, 1},  // 71
    {"MOVLP",     CountInstruction,          PageSelect,                0x06, 0x0000, 0x3180, 0x0000, 1},  // 72
    {"MOVLW",     CountInstruction,          LiteralForm,               0x0B, 0x0C00, 0x3000, 0x0E00, 1},  // 73
    {"MULLW",     CountInstruction,          LiteralForm,               0x08, 0x0000, 0x0000, 0x0D00, 1},  // 74
    {"SUBLW",     CountInstruction,          LiteralForm,               0x0A, 0x0000, 0x3C00, 0x0800, 1},  // 75
    {"XORLW",     CountInstruction,          LiteralForm,               0x0B, 0x0F00, 0x3A00, 0x0A00, 1},  // 76
    {"TBLRD*",    CountInstruction,          StartInstruction,          0x08, 0x0000, 0x0000, 0x0008, 1},  // 77
    {"TBLRD*+",   CountInstruction,          StartInstruction,          0x08, 0x0000, 0x0000, 0x0009, 1},  // 78
    {"TBLRD*-",   CountInstruction,          StartInstruction,          0x08, 0x0000, 0x0000, 0x000A, 1},  // 79
    {"TBLRD+*",   CountInstruction,          StartInstruction,          0x08, 0x0000, 0x0000, 0x000B, 1},  // 80
    {"TBLWT*",    CountInstruction,          StartInstruction,          0x08, 0x0000, 0x0000, 0x000C, 1},  // 81
    {"TBLWT*+",   CountInstruction,          StartInstruction,          0x08, 0x0000, 0x0000, 0x000D, 1},  // 82
    {"TBLWT*-",   CountInstruction,          StartInstruction,          0x08, 0x0000, 0x0000, 0x000E, 1},  // 83
    {"TBLWT+*",   CountInstruction,          StartInstruction,          0x08, 0x0000, 0x0000, 0x000F, 1},  // 84
    {"CLRW",      CountInstruction,          StartInstruction,          0x03, 0x0040, 0x0100, 0x0000, 1},  // 85
    {"OPTION",    CountInstruction,          StartInstruction,          0x03, 0x0002, 0x0062, 0x0000, 1},  // 86
    {"RLF",       CountInstruction,          RegisterDestinationForm,   0x03, 0x0340, 0x0D00, 0x0000, 1},  // 87
    {"RRF",       CountInstruction,          RegisterDestinationForm,   0x03, 0x0300, 0x0C00, 0x0000, 1},  // 88
    {"TRIS",      CountInstruction,          RegisterForm,              0x03, 0x0000, 0x0060, 0x0000, 1},  // 89
    {"ADDFSR0",   CountInstruction,          FsrOffset,                 0x06, 0x0000, 0x3100, 0x0000, 1},  // 90
    {"ADDFSR1",   CountInstruction,          FsrOffset,                 0x06, 0x0000, 0x3140, 0x0000, 1},  // 91
    {"MOVIW",     CountInstruction,          IndirectMove,              0x06, 0x0000, 0x0010, 0x0000, 1},  // 92
    {"MOVWI",     CountInstruction,          IndirectMove,              0x06, 0x0000, 0x0018, 0x0000, 1},  // 93
    {"BIT",       BitPass1,                  BitPass2,                  0x10, 0x0000, 0x0000, 0x0000, 0},  // 94
    {"CORE12",    Core12Directive,           Core12Directive,           0x10, 0x0000, 0x0000, 0x0000, 0},  // 95
    {"CORE14ENH", Core14EnhDirective,        Core14EnhDirective,        0x10, 0x0000, 0x0000, 0x0000, 0},  // 96
    {"CORE14",    Core14Directive,           Core14Directive,           0x10, 0x0000, 0x0000, 0x0000, 0},  // 97
    {"CORE16",    Core16Directive,           Core16Directive,           0x10, 0x0000, 0x0000, 0x0000, 0},  // 98
    {"DATA",      DataPass1,                 DataPass2,                 0x0B, 0x0000, 0x0000, 0x0000, 0},  // 99
    {"DS",        DsPass1,                   DsPass2,                   0x0B, 0x0000, 0x0000, 0x0000, 0},  // 100
    {"END",       EndDirective,              EndDirective,              0x10, 0x0000, 0x0000, 0x0000, 0},  // 101
    {"EQU",       EquPass1,                  EquPass2,                  0x10, 0x0000, 0x0000, 0x0000, 0},  // 102
    {"INCLUDE",   source::IncludeHandler,    source::IncludeHandler,    0x10, 0x0000, 0x0000, 0x0000, 0},  // 103
    {"ORG",       OrgDirective,              OrgDirective,              0x0B, 0x0000, 0x0000, 0x0000, 0},  // 104
    {"SEG",       SegDirective,              SegDirective,              0x10, 0x0000, 0x0000, 0x0000, 0},  // 105
    {"TITLE",     CountInstruction,          StartInstruction,          0x10, 0x0000, 0x0000, 0x0000, 0},  // 106
    {"CONFIG",    ConfigPass1,               ConfigPass2,               0x08, 0x0000, 0x0000, 0x0000, 0},  // 107
}};

int LookupMnemonic(std::string_view name) {
  static const std::unordered_map<std::string_view, int> index = [] {
    std::unordered_map<std::string_view, int> m;
    for (int i = 0; i < MnemonicCount; ++i) m.emplace(Mnemonics[static_cast<std::size_t>(i)].Name, i + 1);
    return m;
  }();
  auto it = index.find(name);
  return it == index.end() ? 0 : it->second;
}

const TMnemonicEntry& CurrentRow() { return Mnemonics[static_cast<std::size_t>(state::CurrentEntry - 1)]; }

bool CheckCore() {
  std::uint16_t mask = CurrentRow().CoreMask;
  if (mask == DirectiveMask || (static_cast<std::uint16_t>(CoreKind) & mask) != 0) return true;
  state::SetError(msg::WrongCore);
  return false;
}

void CountInstruction() {
  state::CodeLength = CurrentRow().Size;
  if (!CheckCore()) return;
  source::SkipBlanks();
  // An instruction in the RAM segment would lie in program memory at the
  // CODE counter while its label named a RAM cell.
  if (CurrentRow().Size != 0 && state::CurrentSegment != state::SegCode) state::SetError(msg::CodeSegmentOnly);
}

void CountTwoWordInstruction() {
  CountInstruction();
  if (!state::Failed() && CoreKind == Core16) state::CodeLength = 2;
}

void StartInstruction() {
  const TMnemonicEntry& row = CurrentRow();
  state::CodeLength = row.Size;
  if (!CheckCore()) return;
  switch (CoreKind) {
    case Core12: state::CodeWord() = row.Opcode12; break;
    case Core16: state::CodeWord() = row.Opcode16; break;
    default: state::CodeWord() = row.Opcode14; break;
  }
  source::SkipBlanks();
  state::ListingKind = state::ListCode;
}

int LargestRegister() {
  switch (CoreKind) {
    case Core12: return 0x1F;
    case Core16: return 0xFF;
    default: return 0x7F;
  }
}

bool IsCore16() { return CoreKind == Core16; }

// Directives occupy no word of their own and have no opcode.
bool IsDirective(const TMnemonicEntry& row) {
  return row.Size == 0 && row.Opcode12 == 0 && row.Opcode14 == 0 && row.Opcode16 == 0;
}

}  // namespace veltas::isa
