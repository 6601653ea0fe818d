// The pass handlers that the mnemonic table refers to. Each reads its
// operands at LinePos with the scanner and the expression evaluator, and
// reports failure only through ErrorText.
#pragma once

namespace veltas::isa {

// File-register and literal operands
void RegisterDestinationForm();
void RegisterForm();
void LiteralForm();

// Bit, skip, branch, call, goto and return operands
void BitForm();
void SkipForm();
void RelativeBranch();
void CallForm();
void GotoForm();
void ReturnForm();

// Enhanced-core and 16-bit-core special operands
void IndirectMove();
void FsrOffset();
void BankSelect();
void PageSelect();
void LfsrForm();
void MovffForm();

// Directives
void Core12Directive();
void Core14Directive();
void Core14EnhDirective();
void Core16Directive();
void SegDirective();
void OrgDirective();
void DsPass1();
void DsPass2();
void DataPass1();
void DataPass2();
void EquPass1();
void EquPass2();
void BitPass1();
void BitPass2();
void EndDirective();
void ConfigPass1();
void ConfigPass2();

}  // namespace veltas::isa
