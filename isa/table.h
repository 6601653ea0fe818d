// The mnemonic table: every instruction and directive of the four cores, one
// constant row each, with its core mask, base opcodes, size and handlers.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace veltas::isa {

using THandler = void (*)();

struct TMnemonicEntry {
  std::string_view Name;  // upper case, as the folded source word must read
  THandler Pass1;
  THandler Pass2;
  std::uint16_t CoreMask;
  std::uint16_t Opcode12;
  std::uint16_t Opcode14;
  std::uint16_t Opcode16;
  std::uint16_t Size;
};

// CoreMask bits; DirectiveMask alone marks a directive valid under every core.
inline constexpr std::uint16_t Mask12 = 0x01;
inline constexpr std::uint16_t Mask14 = 0x02;
inline constexpr std::uint16_t MaskEnh = 0x04;
inline constexpr std::uint16_t Mask16 = 0x08;
inline constexpr std::uint16_t DirectiveMask = 0x10;

// CoreKind values.
enum TCore : std::uint8_t { Core12 = 1, Core14 = 2, Core14Enh = 6, Core16 = 8 };

inline constexpr int MnemonicCount = 107;
extern const std::array<TMnemonicEntry, MnemonicCount> Mnemonics;

// The selected core; every pass starts with CORE14.
extern std::uint8_t CoreKind;

// Row number (1-based) of a folded mnemonic, or 0.
int LookupMnemonic(std::string_view name);
const TMnemonicEntry& CurrentRow();

bool CheckCore();
void CountInstruction();
void CountTwoWordInstruction();
void StartInstruction();

// Whether a row is a directive rather than an instruction.
bool IsDirective(const TMnemonicEntry& row);
// The words SKIP takes for the status flags, and NOT, for tools that
// describe the language.
std::vector<std::string_view> SkipConditionWords();

// Field limits of the selected core.
int LargestRegister();
bool IsCore16();

}  // namespace veltas::isa
