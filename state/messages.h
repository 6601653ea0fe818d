// Every message the assembler core can put into ErrorText, in one place.
// The wording (German, cp1252) is part of the program's interface: editors,
// scripts and users match on it, so it never changes.
#pragma once

#include "state/literal.h"

namespace veltas::msg {

// Statement processing
inline constexpr Ansi DuplicateLabel{"deklariere Marken nicht zweimal!"};
inline constexpr Ansi LabelNotFound{"Marke nicht gefunden"};
inline constexpr Ansi PhaseError{"Phasenfehler. sorry..."};
inline constexpr Ansi IllegalOperation{"illegale Operation"};
inline constexpr Ansi OutOfRam{"Assembler out of RAM"};
inline constexpr Ansi WrongCore{"diesen Befehl kennt der gewählte PIC nicht"};
inline constexpr Ansi WordTakenPrefix{"Programmadresse "};
inline constexpr Ansi WordTakenSuffix{"h ist schon belegt"};

// Scanner and include files
inline constexpr Ansi OperandTooLong{"Ausdruck ist zu lang"};
inline constexpr Ansi StringTooLong{"Zeichenkette ist zu lang"};
inline constexpr Ansi StringNoEnd{"Zeichenkette hat kein Ende"};
inline constexpr Ansi CannotFindFilePrefix{"! kann Datei \""};
inline constexpr Ansi CannotFindFileSuffix{"\" nicht finden"};
inline constexpr Ansi IncludeTooDeep{"zu viele verschachtelte Include-Dateien"};

// Expressions
inline constexpr Ansi OperandExpected{"Operand erwartet"};
inline constexpr Ansi EndOfExpressionExpected{"Ende des Ausdruckes erwartet"};
inline constexpr Ansi IdentifierExpected{"Bezeichner erwartet"};
inline constexpr Ansi LeftParenExpected{"\"(\" erwartet"};
inline constexpr Ansi RightParenExpected{"\")\" erwartet"};
inline constexpr Ansi FloatNotAllowed{"Operation mit Floatzahlen nicht möglich"};
inline constexpr Ansi UnknownNamePrefix{"Bezeichner \""};
inline constexpr Ansi UnknownNameSuffix{"\" ist nicht bekannt"};
inline constexpr Ansi NotIntOrFloat{"der Bezeichner ist weder INT noch FLOAT!"};
inline constexpr Ansi BinaryNumberSyntax{"Binärzahlen schreibt man 010101B oder B'0101' "};
inline constexpr Ansi ExpressionError{"Fehler im Ausdruck"};
inline constexpr Ansi DivisionByZero{"Division durch Null"};
inline constexpr Ansi NumberOverflow{"Zahlenüberlauf"};
inline constexpr Ansi NestedTooDeep{"Ausdruck ist zu tief verschachtelt"};

// Operand encoders
inline constexpr Ansi ValueOutOfRange{"Wert außerhalb des zulässigen Bereiches"};
inline constexpr Ansi AccessSyntax{"richtig: \"MNEMO  name [,A]"};
inline constexpr Ansi DestinationSyntax{"richtig: \"MNEMO  name [,F oder ,W], (ohne:  \",F\")"};
inline constexpr Ansi BitImpossible{"Bit / Kondition geht so nicht"};
inline constexpr Ansi BitUnknown{"Bit / Kondition ist unbekannt"};
inline constexpr Ansi BitSyntax{"richtig: \"BIT  name,bit\""};
inline constexpr Ansi BraNotHere{"ähem, ruelps..."};
inline constexpr Ansi OperandNotExpected{"Operand nicht erwartet"};
inline constexpr Ansi OffsetRange{"Nur Werte -32 .. +31 sind erlaubt"};
inline constexpr Ansi FsrSyntax{"erwarte '[FSR0]' oder '[FSR1]'"};
inline constexpr Ansi UnderConstruction{"...Baustelle"};
inline constexpr Ansi LfsrSyntax{"richtig: \"LFSR  f,k\""};

// Directives
inline constexpr Ansi SegmentArgument{"falsches Argument: nur CODE oder RAM erlaubt"};
inline constexpr Ansi CodeSegmentOnly{"Diese Operation ist nur im CODE-Segment möglich"};
inline constexpr Ansi LabelExpected{"Marke erwartet"};
inline constexpr Ansi EndInInclude{"\"END\" ist in Include-Dateien nicht erlaubt"};
inline constexpr Ansi TooManyDataWords{"zu viele Datenworte (max. 128)"};
inline constexpr Ansi ConfigSyntax{"richtig: \"CONFIG  adresse,wert\""};

}  // namespace veltas::msg
