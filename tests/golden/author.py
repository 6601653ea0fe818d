#!/usr/bin/env python3
"""The golden cases as they were written by hand.

Every expected line below was worked out from the output rules: code words in
binary, addresses, values, record bytes and checksums. This script only lays
the hand-written lines out (31-character prefix, 7-character line number,
cp1252, CR LF) and checks the arithmetic it is given (record checksums,
prefix widths); it never runs the assembler. Run it to rewrite the case
directories after editing a case here:

    python3 tests/golden/author.py            # all cases
    python3 tests/golden/author.py CASE ...   # some

The expected files in the case directories are what the test compares.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
CASES = {}


# --- pieces of a listing line ----------------------------------------------

def field(n, inc=False):
    """Line number right-aligned in 7 characters; "+" first inside includes."""
    text = str(n).rjust(7)
    return ("+" + text[1:]) if inc else text


def pad31(prefix):
    assert len(prefix) <= 31, prefix
    return prefix.ljust(31)


def line(prefix, n, src, inc=False):
    return pad31(prefix) + field(n, inc) + "  " + src


def plain(n, src, inc=False):
    return line("", n, src, inc)


def code(addr, bits, n, src, inc=False):
    """addr like "CODE 0010", bits the hand-written BinaryWord (19 chars)."""
    assert len(addr) == 9 and len(bits) == 19, (addr, bits)
    prefix = addr + "  " + bits + " "
    assert len(prefix) == 31
    return prefix + field(n, inc) + "  " + src


def cont(addr, bits, n, inc=False):
    """Continuation line of a code line: no source text."""
    assert len(addr) == 9 and len(bits) == 19
    return addr + "  " + bits + " " + field(n, inc)


def addr(a, n, src, inc=False):
    return line(a + "  ", n, src, inc)


def const(hexword, n, src, inc=False):
    return line("       = " + hexword, n, src, inc)


def fconst(text23, n, src, inc=False):
    assert len(text23) == 23, text23
    return line("       =" + text23, n, src, inc)


def bit(value, n, src, inc=False):
    return line("       = " + value, n, src, inc)


def error(message):
    return "*** Fehler:          " + message


HEAD = ["", "RUZ-8 Assembler V2.13 (32bit)"]


def summary(end, fuses, id_words, fuses2=None):
    """The driver's lines after a successful pass 2, then its extra line end."""
    lines = ["RUZ-8 Assembler", "Code bis " + end + "h : Keine Fehler gefunden.", fuses]
    if fuses2:
        lines.append(fuses2)
    return lines + [id_words, ""]


# --- HEX records ------------------------------------------------------------

def record(text):
    """A record written by hand; its checksum is checked, not computed."""
    data = bytes.fromhex(text[1:])
    assert text[0] == ":" and sum(data) % 256 == 0, "bad checksum: " + text
    assert data[0] + 5 == len(data), "bad length: " + text
    return text


END_RECORD = ":00000001FF"


# --- status texts (readable form: line feed for the program's CR) ----------

def banner(name="main.pic", hex_name="main.HEX", prn_name="main.PRN"):
    return ("Veltas V2.13 (32bit) Assembler für MicroChip PIC-Controller (12+14 Bit Core)\n"
            "übersetze " + name + " nach " + hex_name + " (HEX-Datei)  +  " + prn_name + " (AssemblerListe)\n")


def status_ok(end, fuses, id_words, fuses2=None, **names):
    text = banner(**names) + "\nPass 1 ...done\nPass 2 ...done\n"
    text += "Code\tbis \t" + end + "h : Keine Fehler gefunden.\n" + fuses + "\n"
    if fuses2:
        text += fuses2 + "\n"
    return text + id_words + "\n"


def status_error(marked, message, file, line_no, pos, in_pass2=True, **names):
    text = banner(**names) + "\nPass 1"
    if in_pass2:
        text += " ...done\nPass 2\n .. übersetzt mit Fehlern."
    return (text + "\n" + marked + "\n\nFehler: " + message + " in\n\"" + file + "\"  Zeile " + str(line_no)
            + " bei Pos " + str(pos))


FUSES_2007_NO = "Fuses  @ 2007h : fehlen!"
FUSES_2007_YES = "Fuses  @ 2007h : gesetzt"
ID_2000_NO = "ID 2000..2003h : fehlen!"
ID_2000_YES = "ID 2000..2003h : gesetzt"


def case(name, readme, files, status, prn=None, hex_records=None, args=None, from_repo=None):
    CASES[name] = dict(readme=readme, files=files, status=status, prn=prn, hex=hex_records, args=args,
                       from_repo=from_repo)


def src(*lines):
    return "\n".join(lines) + "\n"


def comments(first, last):
    return [";"] * (last - first + 1)


# --- the cases ---------------------------------------------------------------

# Example rows of the listing: instruction 3055h at 0010h on line 12, a
# constant 1234h on line 14, bit name 3.5 on line 15, a label alone at 0020h
# on line 16.
S = ["; Listing example rows: an instruction at 0010h on line 12, a constant on",
     "; line 14, a bit name on line 15 and a label alone on line 16"] + comments(3, 10) + [
    "        ORG     0x10",
    "        MOVLW   0x55",
    "        ORG     0x20",
    "VALUE:  EQU     0x1234",
    "FLAG:   BIT     3,5",
    "HERE:"]
case("table_rows",
     "The example rows of the listing for an instruction (line 12), a constant (14), a bit name (15) "
     "and a label alone (16).",
     {"main.pic": src(*S)},
     status_ok("0010", FUSES_2007_NO, ID_2000_NO),
     HEAD + [plain(i + 1, S[i]) for i in range(10)] + [
         addr("CODE 0010", 11, S[10]),
         code("CODE 0010", "  11 0000 0101 0101", 12, S[11]),
         addr("CODE 0020", 13, S[12]),
         const("1234", 14, S[13]),
         bit("0003.5", 15, S[14]),
         addr("CODE 0020", 16, S[15]),
     ] + summary("0010", FUSES_2007_NO, ID_2000_NO),
     [record(":02002000553059"), END_RECORD])

S = ["; Listing example row under CORE12: the top four bits of a word are blank",
     "        CORE12"] + comments(3, 10) + [
    "        ORG     0x10",
    "        MOVLW   0x55"]
case("table_row_core12",
     "The example row of an instruction under CORE12: word 0C55h shows 12 bits.",
     {"main.pic": src(*S)},
     status_ok("0010", FUSES_2007_NO, ID_2000_NO),
     HEAD + [plain(i + 1, S[i]) for i in range(10)] + [
         addr("CODE 0010", 11, S[10]),
         code("CODE 0010", "     1100 0101 0101", 12, S[11]),
     ] + summary("0010", FUSES_2007_NO, ID_2000_NO),
     [record(":02002000550C7D"), END_RECORD])

S = ["; Listing example row of DATA: three words, two continuation lines"] + comments(2, 11) + [
    "        ORG     0x20",
    '        DATA    "ABC"']
case("table_row_data",
     "The example row of DATA with three words at 0020h on line 13: continuation lines carry "
     "address, word and line number but no source text.",
     {"main.pic": src(*S)},
     status_ok("0022", FUSES_2007_NO, ID_2000_NO),
     HEAD + [plain(i + 1, S[i]) for i in range(11)] + [
         addr("CODE 0020", 12, S[11]),
         code("CODE 0020", "  00 0000 0100 0001", 13, S[12]),
         cont("CODE 0021", "  00 0000 0100 0010", 13),
         cont("CODE 0022", "  00 0000 0100 0011", 13),
     ] + summary("0022", FUSES_2007_NO, ID_2000_NO),
     [record(":06004000410042004300F4"), END_RECORD])

M = ['; Include marks: lines of included files carry "+", over two levels',
     "        INCLUDE level1.inc",
     "        NOP"]
L1 = ["; first level",
      "        NOP",
      "        INCLUDE level2.inc"] + comments(4, 16) + [
    "; line 17 of an include file"]
L2 = ["; second level",
      "INNER:  NOP"]
case("include_marks",
     "Include marks over two levels: each INCLUDE line shows +0 after its file was opened, the "
     "included lines count from 1 with the mark, the example row of a comment on line 17 of an "
     "include file, and the main source goes on unmarked; with -L.",
     {"main.pic": src(*M), "level1.inc": src(*L1), "level2.inc": src(*L2)},
     status_ok("0002", FUSES_2007_NO, ID_2000_NO),
     HEAD + [
         plain(1, M[0]),
         plain(0, M[1], True),
         plain(1, L1[0], True),
         code("CODE 0000", "  00 0000 0000 0000", 2, L1[1], True),
         plain(0, L1[2], True),
         plain(1, L2[0], True),
         code("CODE 0001", "  00 0000 0000 0000", 2, L2[1], True),
     ] + [plain(i + 1, L1[i], True) for i in range(3, 17)] + [
         code("CODE 0002", "  00 0000 0000 0000", 3, M[2]),
     ] + summary("0002", FUSES_2007_NO, ID_2000_NO) + [
         "Symbol-Liste:",
         "INNER = CSEG 0001H"],
     [record(":06000000000000000000FA"), END_RECORD],
     args=["-L", "main.pic"])

S = ["; The symbol list of the example: newest first, names padded to the longest",
     "COUNT:  EQU     1234H",
     "ZERO:   BIT     3,5",
     "        SEG     RAM",
     "        ORG     0x20",
     "VAR:    DS      1",
     "        SEG     CODE",
     "        ORG     0x20",
     "LOOP:   NOP"]
case("symlist_example",
     "The example of the symbol list: COUNT, ZERO, VAR (RAM 0020h) and LOOP (CODE 0020h), newest "
     "first, names padded to the longest, after an empty line.",
     {"main.pic": src(*S)},
     status_ok("0020", FUSES_2007_NO, ID_2000_NO),
     HEAD + [
         plain(1, S[0]),
         const("1234", 2, S[1]),
         bit("0003.5", 3, S[2]),
         addr("RAM  0000", 4, S[3]),
         addr("RAM  0020", 5, S[4]),
         addr("RAM  0020", 6, S[5]),
         addr("CODE 0000", 7, S[6]),
         addr("CODE 0020", 8, S[7]),
         code("CODE 0020", "  00 0000 0000 0000", 9, S[8]),
     ] + summary("0020", FUSES_2007_NO, ID_2000_NO) + [
         "Symbol-Liste:",
         "LOOP  = CSEG 0020H",
         "VAR   = RAM  0020H",
         "ZERO  = BIT  0003H.5",
         "COUNT = EQU  1234H"],
     [record(":020040000000BE"), END_RECORD],
     args=["-L", "main.pic"])

LONG = "A234567890123456789012345678901234567890123456789012345678901234"
assert len(LONG) == 64
S = ["; Symbol list values: the low 16 bits, rounded floating values, a bit name",
     "; with its bit number, and a name of 64 characters that widens every line",
     "BIG:    EQU     12345H",
     "HALF:   EQU     2.5",
     "NEG:    EQU     -1",
     "OUT:    BIT     0x7F,7",
     LONG + ":  NOP"]
case("symlist_values",
     "Symbol list values: a constant of 12345h shows 2345H, the floating 2.5 its rounded 3, -1 "
     "shows FFFFH, a bit name its bit; a 64-character name pads every name to 64.",
     {"main.pic": src(*S)},
     status_ok("0000", FUSES_2007_NO, ID_2000_NO),
     HEAD + [
         plain(1, S[0]),
         plain(2, S[1]),
         const("2345", 3, S[2]),
         fconst(" 2.50000000000000E+0000", 4, S[3]),
         const("FFFF", 5, S[4]),
         bit("007F.7", 6, S[5]),
         code("CODE 0000", "  00 0000 0000 0000", 7, S[6]),
     ] + summary("0000", FUSES_2007_NO, ID_2000_NO) + [
         "Symbol-Liste:",
         LONG + " = CSEG 0000H",
         "OUT".ljust(64) + " = BIT  007FH.7",
         "NEG".ljust(64) + " = EQU  FFFFH",
         "HALF".ljust(64) + " = EQU  0003H",
         "BIG".ljust(64) + " = EQU  2345H"],
     [record(":020000000000FE"), END_RECORD],
     args=["-L", "main.pic"])

S = ["; Floating-point constants: 15 significant digits, rounded, 23 characters",
     "PI:     EQU     3.14159",
     "ZERO:   EQU     0.0",
     "NEG:    EQU     -0.0015",
     "TINY:   EQU     1.0/1.0E300",
     "HUGE:   EQU     2147483647.0",
     "CARRY:  EQU     9.999999999999999",
     "MZERO:  EQU     -0.0",
     "THIRD:  EQU     2.0/3.0",
     "SUM:    EQU     0.1+0.2",
     "NEGBIG: EQU     -1234.5678",
     "INT:    EQU     7.0/2"]
case("float_equ",
     "Floating-point EQU values in the listing: 3.14159, 0, a negative and tiny value, the largest "
     "value that still rounds to an integer, 9.999999999999999 carrying into the exponent, -0.0 "
     "with the blank sign, 2/3 and 0.1+0.2 rounded to 15 digits; the symbol list shows the rounded "
     "integer values.",
     {"main.pic": src(*S)},
     status_ok("0000", FUSES_2007_NO, ID_2000_NO),
     HEAD + [
         plain(1, S[0]),
         fconst(" 3.14159000000000E+0000", 2, S[1]),
         fconst(" 0.00000000000000E+0000", 3, S[2]),
         fconst("-1.50000000000000E-0003", 4, S[3]),
         fconst(" 1.00000000000000E-0300", 5, S[4]),
         fconst(" 2.14748364700000E+0009", 6, S[5]),
         fconst(" 1.00000000000000E+0001", 7, S[6]),
         fconst(" 0.00000000000000E+0000", 8, S[7]),
         fconst(" 6.66666666666667E-0001", 9, S[8]),
         fconst(" 3.00000000000000E-0001", 10, S[9]),
         fconst("-1.23456780000000E+0003", 11, S[10]),
         fconst(" 3.50000000000000E+0000", 12, S[11]),
     ] + summary("0000", FUSES_2007_NO, ID_2000_NO) + [
         "Symbol-Liste:",
         "INT    = EQU  0004H",
         "NEGBIG = EQU  FB2DH",
         "SUM    = EQU  0000H",
         "THIRD  = EQU  0001H",
         "MZERO  = EQU  0000H",
         "CARRY  = EQU  000AH",
         "HUGE   = EQU  FFFFH",
         "TINY   = EQU  0000H",
         "NEG    = EQU  0000H",
         "ZERO   = EQU  0000H",
         "PI     = EQU  0003H"],
     [END_RECORD],
     args=["-L", "main.pic"])

S = ["; The same two words under each core: bits a core lacks are blank",
     "        CORE12",
     "        DATA    0xFFFF, 0x8421",
     "        CORE14",
     "        DATA    0xFFFF, 0x8421",
     "        CORE14ENH",
     "        DATA    0xFFFF, 0x8421",
     "        CORE16",
     "        DATA    0xFFFF, 0x8421"]
case("core_binary_words",
     "BinaryWord under each core: 12 bits under CORE12, 14 under CORE14, all 16 under CORE14ENH "
     "and CORE16, on first and continuation lines. Code under CORE14ENH moves the configuration "
     "area to 8000h for the summary; no Fuses2 line since CORE16 is selected at the end.",
     {"main.pic": src(*S)},
     status_ok("0007", "Fuses  @ 8007h : fehlen!", "ID 8000..8003h : fehlen!"),
     HEAD + [
         plain(1, S[0]),
         plain(2, S[1]),
         code("CODE 0000", "     1111 1111 1111", 3, S[2]),
         cont("CODE 0001", "     0100 0010 0001", 3),
         plain(4, S[3]),
         code("CODE 0002", "  11 1111 1111 1111", 5, S[4]),
         cont("CODE 0003", "  00 0100 0010 0001", 5),
         plain(6, S[5]),
         code("CODE 0004", "1111 1111 1111 1111", 7, S[6]),
         cont("CODE 0005", "1000 0100 0010 0001", 7),
         plain(8, S[7]),
         code("CODE 0006", "1111 1111 1111 1111", 9, S[8]),
         cont("CODE 0007", "1000 0100 0010 0001", 9),
     ] + summary("0007", "Fuses  @ 8007h : fehlen!", "ID 8000..8003h : fehlen!"),
     [record(":10000000FFFF2184FFFF2184FFFF2184FFFF218464"), END_RECORD])

S = ["; TITLE is listed in the code layout with the word 0 and occupies nothing",
     "        MOVLW   0xFF",
     "        TITLE   Blinker für PORTB",
     "        CLRW"]
case("title_line",
     "TITLE in the code layout with the word 0 (not the word of the line before) at the current "
     "address, occupying no word; its "
     "free text (with a cp1252 letter) is copied unchanged.",
     {"main.pic": src(*S)},
     status_ok("0001", FUSES_2007_NO, ID_2000_NO),
     HEAD + [
         plain(1, S[0]),
         code("CODE 0000", "  11 0000 1111 1111", 2, S[1]),
         code("CODE 0001", "  00 0000 0000 0000", 3, S[2]),
         code("CODE 0001", "  00 0001 0000 0000", 4, S[3]),
     ] + summary("0001", FUSES_2007_NO, ID_2000_NO),
     [record(":04000000FF300001CC"), END_RECORD])

L86 = "; this comment is exactly eighty-six characters long, so its listing line is 128 long."
L87 = L86 + "X"
DATA_LINE = "        DATA    1, 2    ; a code line whose comment runs past the cut................|cut off here"
DATA_CUT = "        DATA    1, 2    ; a code line whose comment runs past the cut................|"
TABS = "\tNOP\t\t; tabs stay as they are"
S = ["; Source text is cut so that a listing line with CR LF has 128 characters",
     L86, L87, DATA_LINE, TABS]
assert len(L86) == 86 and len(DATA_CUT) == 86 and DATA_LINE.startswith(DATA_CUT)
case("long_line_cut",
     "The 128-character cut: a source line of 86 characters fits exactly, one of 87 loses its last "
     "character, a code line is cut while its continuation line is not; tabs are copied unchanged.",
     {"main.pic": src(*S)},
     status_ok("0002", FUSES_2007_NO, ID_2000_NO),
     HEAD + [
         plain(1, S[0]),
         plain(2, L86),
         plain(3, L86),
         code("CODE 0000", "  00 0000 0000 0001", 4, DATA_CUT),
         cont("CODE 0001", "  00 0000 0000 0010", 4),
         code("CODE 0002", "  00 0000 0000 0000", 5, TABS),
     ] + summary("0002", FUSES_2007_NO, ID_2000_NO),
     [record(":06000000010002000000F7"), END_RECORD])

S = ["; Lines without an address: comments, empty lines, core directives, END",
     "",
     "        CORE14",
     " \t ",
     "        NOP     ; one word",
     "        END",
     "        lines after END are never read"]
case("plain_layouts",
     "The plain layout: a comment, an empty line, a core directive, a line of blanks and a tab, "
     "END; the line after END is neither assembled nor listed.",
     {"main.pic": src(*S)},
     status_ok("0000", FUSES_2007_NO, ID_2000_NO),
     HEAD + [
         plain(1, S[0]),
         plain(2, S[1]),
         plain(3, S[2]),
         plain(4, S[3]),
         code("CODE 0000", "  00 0000 0000 0000", 5, S[4]),
         plain(6, S[5]),
     ] + summary("0000", FUSES_2007_NO, ID_2000_NO),
     [record(":020000000000FE"), END_RECORD])

S = ["; Address layout: SEG, ORG and DS show the segment and its counter; a DS in",
     "; the CODE segment leaves a gap in the HEX file",
     "        SEG     RAM",
     "        ORG     0x20",
     "BUF:    DS      16",
     "FLAGS:  DS      1",
     "        SEG     CODE",
     "START:  NOP",
     "TABLE:  DS      3",
     "AFTER:  ; a label followed by a comment",
     "        CLRW",
     "        ORG     0x10",
     "LAST:",
     "        NOP"]
case("address_layouts",
     "The address layout of SEG, ORG (the new origin), DS in RAM (RAM and its counter) and in CODE "
     "(a gap: no HEX bytes, no code end), and labels alone or with a comment; with -L.",
     {"main.pic": src(*S)},
     status_ok("0010", FUSES_2007_NO, ID_2000_NO),
     HEAD + [
         plain(1, S[0]),
         plain(2, S[1]),
         addr("RAM  0000", 3, S[2]),
         addr("RAM  0020", 4, S[3]),
         addr("RAM  0020", 5, S[4]),
         addr("RAM  0030", 6, S[5]),
         addr("CODE 0000", 7, S[6]),
         code("CODE 0000", "  00 0000 0000 0000", 8, S[7]),
         addr("CODE 0001", 9, S[8]),
         addr("CODE 0004", 10, S[9]),
         code("CODE 0004", "  00 0001 0000 0000", 11, S[10]),
         addr("CODE 0010", 12, S[11]),
         addr("CODE 0010", 13, S[12]),
         code("CODE 0010", "  00 0000 0000 0000", 14, S[13]),
     ] + summary("0010", FUSES_2007_NO, ID_2000_NO) + [
         "Symbol-Liste:",
         "LAST  = CSEG 0010H",
         "AFTER = CSEG 0004H",
         "TABLE = CSEG 0001H",
         "START = CSEG 0000H",
         "FLAGS = RAM  0030H",
         "BUF   = RAM  0020H"],
     [record(":020000000000FE"), record(":020008000001F5"), record(":020020000000DE"), END_RECORD],
     args=["-L", "main.pic"])

S = ["; An operand error in pass 2: the failing line in the code layout with what the",
     "; handler had assembled, the error line, then the symbol list",
     "START:  NOP",
     "        ADDWF   0x20,X",
     "        NOP"]
DEST = 'richtig: "MNEMO  name [,F oder ,W], (ohne:  ",F")'
case("error_pass2_code",
     "A pass-2 operand error: the line in the code layout shows the word assembled so far (07A0h), "
     "the error line gets its line end from the driver, the symbol list follows at once (-L); the "
     "HEX file holds nothing, since the open record is never written.",
     {"main.pic": src(*S)},
     status_error("        ADDWF   0x20,X?", DEST, "main.pic", 4, 23),
     HEAD + [
         plain(1, S[0]),
         plain(2, S[1]),
         code("CODE 0000", "  00 0000 0000 0000", 3, S[2]),
         code("CODE 0001", "  00 0111 1010 0000", 4, S[3]),
         error(DEST),
         "Symbol-Liste:",
         "START = CSEG 0000H"],
     [],
     args=["-L", "main.pic"])

P1 = ["; A label that moved between the passes: the source changed while it was",
      "; assembled. The label line fails in the address layout.",
      "        NOP",
      "MOVED:  NOP"]
P2 = P1[:3] + ["        NOP", "MOVED:  NOP"]
case("error_pass2_phase",
     "A phase error in pass 2 (main.pic.pass2 is what the second pass reads: the source was "
     "edited between the passes): the label line in the address layout, the error line, the "
     "symbol list with the pass-1 value (-L).",
     {"main.pic": src(*P1), "main.pic.pass2": src(*P2)},
     status_error("MOVED:?  NOP", "Phasenfehler. sorry...", "main.pic", 5, 7),
     HEAD + [
         plain(1, P2[0]),
         plain(2, P2[1]),
         code("CODE 0000", "  00 0000 0000 0000", 3, P2[2]),
         code("CODE 0001", "  00 0000 0000 0000", 4, P2[3]),
         addr("CODE 0002", 5, P2[4]),
         error("Phasenfehler. sorry..."),
         "Symbol-Liste:",
         "MOVED = CSEG 0001H"],
     [],
     args=["-L", "main.pic"])

P1 = ["; A label that pass 1 never saw (the source changed between the passes)",
      "        NOP",
      "        NOP"]
P2 = P1[:2] + ["NEW:    NOP"]
case("error_pass2_unknown_label",
     "A label unknown in pass 2 (main.pic.pass2 is what the second pass reads): the line in the "
     "address layout and the error line, which ends the listing without -L.",
     {"main.pic": src(*P1), "main.pic.pass2": src(*P2)},
     status_error("NEW:?    NOP", "Marke nicht gefunden", "main.pic", 3, 5),
     HEAD + [
         plain(1, P2[0]),
         code("CODE 0000", "  00 0000 0000 0000", 2, P2[1]),
         addr("CODE 0001", 3, P2[2]),
         error("Marke nicht gefunden")],
     [])

M = ["; An error in pass 1: no HEX file and no listing are created",
     "START:  NOP",
     "        INCLUDE defs.inc"]
D = ["; definitions",
     "START:  EQU     5"]
case("error_pass1_in_include",
     "An error in pass 1 inside an include file: no output file is created; the report names the "
     "include file and the line there.",
     {"main.pic": src(*M), "defs.inc": src(*D)},
     status_error("START:?  EQU     5", "deklariere Marken nicht zweimal!", "defs.inc", 2, 7, in_pass2=False))

S = ["; A single word at address 0",
     "        MOVLW   0x55"]
case("hex_single_word",
     "The HEX file of a single word 3055h at address 0.",
     {"main.pic": src(*S)},
     status_ok("0000", FUSES_2007_NO, ID_2000_NO),
     HEAD + [
         plain(1, S[0]),
         code("CODE 0000", "  11 0000 0101 0101", 2, S[1]),
     ] + summary("0000", FUSES_2007_NO, ID_2000_NO),
     [record(":02000000553079"), END_RECORD])

S = ["; ID words at 2000h to 2003h and the configuration word at 2007h",
     "        NOP",
     "        ORG     0x2000",
     "        DATA    1, 2, 3, 4",
     "        ORG     0x2007",
     "        DATA    0x3FFF"]
case("hex_config_words",
     "ID words at 2000h..2003h and the configuration word 3FFFh at 2007h (record :02400E00FF3F72); "
     "the summary reports both as set and the code end stays 0000h.",
     {"main.pic": src(*S)},
     status_ok("0000", FUSES_2007_YES, ID_2000_YES),
     HEAD + [
         plain(1, S[0]),
         code("CODE 0000", "  00 0000 0000 0000", 2, S[1]),
         addr("CODE 2000", 3, S[2]),
         code("CODE 2000", "  00 0000 0000 0001", 4, S[3]),
         cont("CODE 2001", "  00 0000 0000 0010", 4),
         cont("CODE 2002", "  00 0000 0000 0011", 4),
         cont("CODE 2003", "  00 0000 0000 0100", 4),
         addr("CODE 2007", 5, S[4]),
         code("CODE 2007", "  11 1111 1111 1111", 6, S[5]),
     ] + summary("0000", FUSES_2007_YES, ID_2000_YES),
     [record(":020000000000FE"), record(":084000000100020003000400AE"), record(":02400E00FF3F72"), END_RECORD])

S = ["; Nine words from address 0 in three lines: one full record of 16 bytes and",
     "; one of 2 bytes; the records run across line boundaries",
     "        DATA    1, 2, 3",
     "        DATA    4, 5, 6",
     "        DATA    7, 8, 9"]
case("hex_nine_words",
     "Nine consecutive words in three lines: a record of 16 bytes at 0000 and one of 2 bytes at 0010.",
     {"main.pic": src(*S)},
     status_ok("0008", FUSES_2007_NO, ID_2000_NO),
     HEAD + [
         plain(1, S[0]),
         plain(2, S[1]),
         code("CODE 0000", "  00 0000 0000 0001", 3, S[2]),
         cont("CODE 0001", "  00 0000 0000 0010", 3),
         cont("CODE 0002", "  00 0000 0000 0011", 3),
         code("CODE 0003", "  00 0000 0000 0100", 4, S[3]),
         cont("CODE 0004", "  00 0000 0000 0101", 4),
         cont("CODE 0005", "  00 0000 0000 0110", 4),
         code("CODE 0006", "  00 0000 0000 0111", 5, S[4]),
         cont("CODE 0007", "  00 0000 0000 1000", 5),
         cont("CODE 0008", "  00 0000 0000 1001", 5),
     ] + summary("0008", FUSES_2007_NO, ID_2000_NO),
     [record(":1000000001000200030004000500060007000800CC"), record(":020010000900E5"), END_RECORD])

S = ["; An ORG that leaves a gap closes the open record although it has room left;",
     "; an ORG back to lower addresses writes its records later in the file",
     "        NOP",
     "        CLRW",
     "        ORG     0x10",
     "        SLEEP",
     "        ORG     0",
     "        CLRWDT"]
case("hex_org_gap",
     "An ORG gap closes a record that has room left; an ORG back to 0 writes its record later, "
     "in source order, without merging.",
     {"main.pic": src(*S)},
     status_ok("0010", FUSES_2007_NO, ID_2000_NO),
     HEAD + [
         plain(1, S[0]),
         plain(2, S[1]),
         code("CODE 0000", "  00 0000 0000 0000", 3, S[2]),
         code("CODE 0001", "  00 0001 0000 0000", 4, S[3]),
         addr("CODE 0010", 5, S[4]),
         code("CODE 0010", "  00 0000 0110 0011", 6, S[5]),
         addr("CODE 0000", 7, S[6]),
         code("CODE 0000", "  00 0000 0110 0100", 8, S[7]),
     ] + summary("0010", FUSES_2007_NO, ID_2000_NO),
     [record(":0400000000000001FB"), record(":0200200063007B"), record(":0200000064009A"), END_RECORD])

S = ["; Code at word address 8000h and above lies at byte address 10000h and above:",
     "; an extended linear address record goes before it, and another one before",
     "; code below it that follows",
     "        NOP",
     "        ORG     0x8000",
     "        DATA    0x1234",
     "        ORG     0x10",
     "        NOP"]
case("hex_above_8000h",
     "Type-04 records: :020000040001F9 before code at word 8000h, :020000040000FA before the code "
     "below it that follows.",
     {"main.pic": src(*S)},
     status_ok("0010", FUSES_2007_NO, ID_2000_NO),
     HEAD + [
         plain(1, S[0]),
         plain(2, S[1]),
         plain(3, S[2]),
         code("CODE 0000", "  00 0000 0000 0000", 4, S[3]),
         addr("CODE 8000", 5, S[4]),
         code("CODE 8000", "  01 0010 0011 0100", 6, S[5]),
         addr("CODE 0010", 7, S[6]),
         code("CODE 0010", "  00 0000 0000 0000", 8, S[7]),
     ] + summary("0010", FUSES_2007_NO, ID_2000_NO),
     [record(":020000000000FE"), record(":020000040001F9"), record(":020000003412B8"),
      record(":020000040000FA"), record(":020020000000DE"), END_RECORD])

S = ["; Records are not aligned: one that starts at byte address 0002 covers 0002",
     "; to 0011",
     "        ORG     1",
     "        DATA    1, 2, 3, 4, 5, 6, 7, 8, 9"]
case("hex_unaligned",
     "Records are not aligned: 16 bytes from byte address 0002 to 0011, then 2 bytes at 0012.",
     {"main.pic": src(*S)},
     status_ok("0009", FUSES_2007_NO, ID_2000_NO),
     HEAD + [
         plain(1, S[0]),
         plain(2, S[1]),
         addr("CODE 0001", 3, S[2]),
         code("CODE 0001", "  00 0000 0000 0001", 4, S[3]),
         cont("CODE 0002", "  00 0000 0000 0010", 4),
         cont("CODE 0003", "  00 0000 0000 0011", 4),
         cont("CODE 0004", "  00 0000 0000 0100", 4),
         cont("CODE 0005", "  00 0000 0000 0101", 4),
         cont("CODE 0006", "  00 0000 0000 0110", 4),
         cont("CODE 0007", "  00 0000 0000 0111", 4),
         cont("CODE 0008", "  00 0000 0000 1000", 4),
         cont("CODE 0009", "  00 0000 0000 1001", 4),
     ] + summary("0009", FUSES_2007_NO, ID_2000_NO),
     [record(":1000020001000200030004000500060007000800CA"), record(":020012000900E3"), END_RECORD])

S = ["; A record that starts just below byte address 10000h is not split there",
     "        ORG     0x7FFC",
     "        DATA    1, 2, 3, 4, 5, 6, 7, 8"]
case("hex_no_split_at_64k",
     "A record that starts at byte address FFF8 runs to 10007 without a type-04 record: the upper "
     "address bits are compared only when a record starts. The code lies above 2000h, so the code "
     "end stays 0000h.",
     {"main.pic": src(*S)},
     status_ok("0000", FUSES_2007_NO, ID_2000_NO),
     HEAD + [
         plain(1, S[0]),
         addr("CODE 7FFC", 2, S[1]),
         code("CODE 7FFC", "  00 0000 0000 0001", 3, S[2]),
         cont("CODE 7FFD", "  00 0000 0000 0010", 3),
         cont("CODE 7FFE", "  00 0000 0000 0011", 3),
         cont("CODE 7FFF", "  00 0000 0000 0100", 3),
         cont("CODE 8000", "  00 0000 0000 0101", 3),
         cont("CODE 8001", "  00 0000 0000 0110", 3),
         cont("CODE 8002", "  00 0000 0000 0111", 3),
         cont("CODE 8003", "  00 0000 0000 1000", 3),
     ] + summary("0000", FUSES_2007_NO, ID_2000_NO),
     [record(":10FFF80001000200030004000500060007000800D5"), END_RECORD])

S = ["; A pass-2 error: the full record before it is written, the bytes of the open",
     "; record and the end record are missing",
     "        DATA    1, 2, 3, 4, 5, 6, 7, 8, 9",
     "        MOVLW   256"]
RANGE = "Wert außerhalb des zulässigen Bereiches"
case("hex_error_unfinished",
     "A pass-2 error after nine words: the HEX file keeps the full 16-byte record but not the open "
     "one and has no end record; the failing line shows the base opcode 3000h.",
     {"main.pic": src(*S)},
     status_error("        MOVLW   256?", RANGE, "main.pic", 4, 20),
     HEAD + [
         plain(1, S[0]),
         plain(2, S[1]),
         code("CODE 0000", "  00 0000 0000 0001", 3, S[2]),
         cont("CODE 0001", "  00 0000 0000 0010", 3),
         cont("CODE 0002", "  00 0000 0000 0011", 3),
         cont("CODE 0003", "  00 0000 0000 0100", 3),
         cont("CODE 0004", "  00 0000 0000 0101", 3),
         cont("CODE 0005", "  00 0000 0000 0110", 3),
         cont("CODE 0006", "  00 0000 0000 0111", 3),
         cont("CODE 0007", "  00 0000 0000 1000", 3),
         cont("CODE 0008", "  00 0000 0000 1001", 3),
         code("CODE 0009", "  11 0000 0000 0000", 4, S[3]),
         error(RANGE)],
     [record(":1000000001000200030004000500060007000800CC")])

S = ["; CORE14ENH: configuration words at 8007h and 8008h give the Fuses2 line",
     "        CORE14ENH",
     "        NOP",
     "        ORG     0x8007",
     "        DATA    0x3FFF",
     "        DATA    0x3FFF"]
F8007 = "Fuses  @ 8007h : gesetzt"
F8008 = "Fuses2 @ 8008h : gesetzt"
ID8000 = "ID 8000..8003h : fehlen!"
case("core14enh_config",
     "CORE14ENH: words at 8007h and 8008h set Fuses and Fuses2, the ID line covers 8000h..8003h; all "
     "16 bits of a word are shown; the configuration words lie above byte address 10000h.",
     {"main.pic": src(*S)},
     status_ok("0000", F8007, ID8000, fuses2=F8008),
     HEAD + [
         plain(1, S[0]),
         plain(2, S[1]),
         code("CODE 0000", "0000 0000 0000 0000", 3, S[2]),
         addr("CODE 8007", 4, S[3]),
         code("CODE 8007", "0011 1111 1111 1111", 5, S[4]),
         code("CODE 8008", "0011 1111 1111 1111", 6, S[5]),
     ] + summary("0000", F8007, ID8000, fuses2=F8008),
     [record(":020000000000FE"), record(":020000040001F9"), record(":04000E00FF3FFF3F72"), END_RECORD])

case("empty_source",
     "An empty source: the listing holds the head and the summary (code to 0000h, Fuses and ID "
     "missing), the HEX file only the end record.",
     {"main.pic": ""},
     status_ok("0000", FUSES_2007_NO, ID_2000_NO),
     HEAD + summary("0000", FUSES_2007_NO, ID_2000_NO),
     [END_RECORD])

S = ["; With -L and no symbols the list is its head line alone",
     "        NOP"]
case("symlist_head_only",
     "With -L and a source without symbols the symbol list is the head line alone.",
     {"main.pic": src(*S)},
     status_ok("0000", FUSES_2007_NO, ID_2000_NO),
     HEAD + [
         plain(1, S[0]),
         code("CODE 0000", "  00 0000 0000 0000", 2, S[1]),
     ] + summary("0000", FUSES_2007_NO, ID_2000_NO) + ["Symbol-Liste:"],
     [record(":020000000000FE"), END_RECORD],
     args=["-L", "main.pic"])


S = ["; The CODE counter wraps after FFFFh: continuation addresses wrap, the bytes do not",
     "        ORG     0xFFFF",
     "        DATA    1, 2",
     "        NOP"]
case("wrap_at_ffff",
     "Two words at FFFFh: the continuation line shows 0000, the bytes go to 1FFFE..20001 in one "
     "record, and the next line follows at 0001 (type-04 records both ways).",
     {"main.pic": src(*S)},
     status_ok("0001", FUSES_2007_NO, ID_2000_NO),
     HEAD + [
         plain(1, S[0]),
         addr("CODE FFFF", 2, S[1]),
         code("CODE FFFF", "  00 0000 0000 0001", 3, S[2]),
         cont("CODE 0000", "  00 0000 0000 0010", 3),
         code("CODE 0001", "  00 0000 0000 0000", 4, S[3]),
     ] + summary("0001", FUSES_2007_NO, ID_2000_NO),
     [record(":020000040001F9"), record(":04FFFE0001000200FC"), record(":020000040000FA"),
      record(":020002000000FC"), END_RECORD])

NAME64 = "Undefined_name_of_exactly_sixty_four_characters_in_an_operand_xy"
assert len(NAME64) == 64
S = ["; An error text longer than 80 characters is cut in the listing and the report",
     "        MOVLW   " + NAME64]
CUT = 'Bezeichner "' + NAME64 + '" is'
assert len(CUT) == 80
case("error_long_message",
     "An error text of 95 characters (an unknown name of 64 characters) is cut at 80 in the error "
     "line and in the report.",
     {"main.pic": src(*S)},
     status_error(S[1] + "?", CUT, "main.pic", 2, 81),
     HEAD + [
         plain(1, S[0]),
         code("CODE 0000", "  11 0000 0000 0000", 2, S[1]),
         error(CUT)],
     [])

S = ["; DATA that fails at its third value: the words stored before are listed",
     "        DATA    1, 2, 65536"]
case("error_pass2_data_partial",
     "DATA failing at its third value in pass 2: the line shows the two words stored before the "
     "error, on the first and a continuation line, then the error line.",
     {"main.pic": src(*S)},
     status_error(S[1] + "?", RANGE, "main.pic", 2, 28),
     HEAD + [
         plain(1, S[0]),
         code("CODE 0000", "  00 0000 0000 0001", 2, S[1]),
         cont("CODE 0001", "  00 0000 0000 0010", 2),
         error(RANGE)],
     [])

S = ["; CORE16: two-word instructions list their second word on a continuation line",
     "        CORE16",
     "        CALL    0x12345,S",
     "        GOTO    0x100"]
case("core16_two_words",
     "CORE16 CALL and GOTO: two words each, the second on a continuation line, all 16 bits shown.",
     {"main.pic": src(*S)},
     status_ok("0003", FUSES_2007_NO, ID_2000_NO),
     HEAD + [
         plain(1, S[0]),
         plain(2, S[1]),
         code("CODE 0000", "1110 1101 0100 0101", 3, S[2]),
         cont("CODE 0001", "1111 0001 0010 0011", 3),
         code("CODE 0002", "1110 1111 0000 0000", 4, S[3]),
         cont("CODE 0003", "1111 0000 0000 0001", 4),
     ] + summary("0003", FUSES_2007_NO, ID_2000_NO),
     [record(":0800000045ED23F100EF01F0D2"), END_RECORD])


DEMO = ["; Blinks an LED on RB0 of a 14-bit PIC (PIC16F84 class).",
        "; The assembler knows no register names: the program defines its own.",
        "",
        "        TITLE   Blinker",
        "        CORE14",
        "        INCLUDE demo.inc        ; register and bit names",
        "",
        "LED:    BIT     PORTB,0",
        "DELAYS: EQU     250             ; outer loop count, about 250 ms at 4 MHz",
        "",
        "        SEG     RAM",
        "        ORG     0x0C",
        "COUNT1: DS      1",
        "COUNT2: DS      1",
        "",
        "        SEG     CODE",
        "        ORG     0",
        "reset:  GOTO    main",
        "",
        "        ORG     4",
        "isr:    RETFIE",
        "",
        "main:   BSF     RP0             ; bank 1",
        "        CLRF    TRISB AND 0x7F  ; PORTB all outputs",
        "        BCF     RP0             ; bank 0",
        "loop:   MOVLW   1 SHL 0         ; LED bit mask",
        "        XORWF   PORTB,F",
        "        CALL    delay",
        "        GOTO    loop",
        "",
        "delay:  MOVLW   DELAYS",
        "        MOVWF   COUNT1",
        "outer:  MOVLW   HIGH(0x1F4) + 0xF9",
        "        MOVWF   COUNT2",
        "inner:  NOP",
        "        DECFSZ  COUNT2,F",
        "        GOTO    inner",
        "        DECFSZ  COUNT1,F",
        "        GOTO    outer",
        "        RETLW   0",
        "",
        'message: DATA   "Veltas", 0',
        "",
        "        ORG     0x2007",
        "        DATA    0x3FF1          ; configuration word: XT oscillator, no watchdog",
        "        END"]
INC = ["; Special-function registers of the 14-bit core used by demo.pic",
       "STATUS: EQU     0x03",
       "PORTB:  EQU     0x06",
       "TRISB:  EQU     0x86",
       "RP0:    BIT     STATUS,5",
       "Z:      BIT     STATUS,2"]


def d(n):
    return DEMO[n - 1]


# Code words of the demo (CORE14), worked out one by one:
#   GOTO main      2800h | 0005h                  = 2805h
#   RETFIE                                         0009h
#   BSF RP0        1400h | 3 | 5 << 7             = 1683h
#   CLRF 86h AND 7Fh  0180h | 06h                 = 0186h
#   BCF RP0        1000h | 3 | 5 << 7             = 1283h
#   MOVLW 1 SHL 0  3000h | 01h                    = 3001h
#   XORWF PORTB,F  0600h | 06h | 80h              = 0686h
#   CALL delay     2000h | 000Ch                  = 200Ch
#   GOTO loop      2800h | 0008h                  = 2808h
#   MOVLW DELAYS   3000h | FAh                    = 30FAh
#   MOVWF COUNT1   0080h | 0Ch                    = 008Ch
#   MOVLW HIGH(1F4h) + F9h = 1 + F9h              = 30FAh
#   MOVWF COUNT2   0080h | 0Dh                    = 008Dh
#   DECFSZ COUNT2,F  0B00h | 0Dh | 80h            = 0B8Dh
#   GOTO inner     2800h | 0010h                  = 2810h
#   DECFSZ COUNT1,F                               = 0B8Ch
#   GOTO outer     2800h | 000Eh                  = 280Eh
#   RETLW 0                                        3400h
#   DATA "Veltas", 0   0056h 0065h 006Ch 0074h 0061h 0073h 0000h
#   DATA 3FF1h at 2007h
case("demo",
     "examples/demo.pic with examples/demo.inc and -L (taken from the repository, see from-repo). "
     "Worked out by hand line by line (the code words were also compared with gpasm's output for an "
     "equivalent PIC16F84 program); kept as a regression golden for the demo.",
     {},
     status_ok("001C", FUSES_2007_YES, ID_2000_NO, name="demo.pic", hex_name="demo.HEX",
               prn_name="demo.PRN"),
     HEAD + [
         plain(1, d(1)),
         plain(2, d(2)),
         plain(3, d(3)),
         code("CODE 0000", "  00 0000 0000 0000", 4, d(4)),
         plain(5, d(5)),
         plain(0, d(6), True),
         plain(1, INC[0], True),
         const("0003", 2, INC[1], True),
         const("0006", 3, INC[2], True),
         const("0086", 4, INC[3], True),
         bit("0003.5", 5, INC[4], True),
         bit("0003.2", 6, INC[5], True),
         plain(7, d(7)),
         bit("0006.0", 8, d(8)),
         const("00FA", 9, d(9)),
         plain(10, d(10)),
         addr("RAM  0000", 11, d(11)),
         addr("RAM  000C", 12, d(12)),
         addr("RAM  000C", 13, d(13)),
         addr("RAM  000D", 14, d(14)),
         plain(15, d(15)),
         addr("CODE 0000", 16, d(16)),
         addr("CODE 0000", 17, d(17)),
         code("CODE 0000", "  10 1000 0000 0101", 18, d(18)),
         plain(19, d(19)),
         addr("CODE 0004", 20, d(20)),
         code("CODE 0004", "  00 0000 0000 1001", 21, d(21)),
         plain(22, d(22)),
         code("CODE 0005", "  01 0110 1000 0011", 23, d(23)),
         code("CODE 0006", "  00 0001 1000 0110", 24, d(24)),
         code("CODE 0007", "  01 0010 1000 0011", 25, d(25)),
         code("CODE 0008", "  11 0000 0000 0001", 26, d(26)),
         code("CODE 0009", "  00 0110 1000 0110", 27, d(27)),
         code("CODE 000A", "  10 0000 0000 1100", 28, d(28)),
         code("CODE 000B", "  10 1000 0000 1000", 29, d(29)),
         plain(30, d(30)),
         code("CODE 000C", "  11 0000 1111 1010", 31, d(31)),
         code("CODE 000D", "  00 0000 1000 1100", 32, d(32)),
         code("CODE 000E", "  11 0000 1111 1010", 33, d(33)),
         code("CODE 000F", "  00 0000 1000 1101", 34, d(34)),
         code("CODE 0010", "  00 0000 0000 0000", 35, d(35)),
         code("CODE 0011", "  00 1011 1000 1101", 36, d(36)),
         code("CODE 0012", "  10 1000 0001 0000", 37, d(37)),
         code("CODE 0013", "  00 1011 1000 1100", 38, d(38)),
         code("CODE 0014", "  10 1000 0000 1110", 39, d(39)),
         code("CODE 0015", "  11 0100 0000 0000", 40, d(40)),
         plain(41, d(41)),
         code("CODE 0016", "  00 0000 0101 0110", 42, d(42)),
         cont("CODE 0017", "  00 0000 0110 0101", 42),
         cont("CODE 0018", "  00 0000 0110 1100", 42),
         cont("CODE 0019", "  00 0000 0111 0100", 42),
         cont("CODE 001A", "  00 0000 0110 0001", 42),
         cont("CODE 001B", "  00 0000 0111 0011", 42),
         cont("CODE 001C", "  00 0000 0000 0000", 42),
         plain(43, d(43)),
         addr("CODE 2007", 44, d(44)),
         code("CODE 2007", "  11 1111 1111 0001", 45, d(45)),
         plain(46, d(46)),
     ] + summary("001C", FUSES_2007_YES, ID_2000_NO) + [
         "Symbol-Liste:",
         "message = CSEG 0016H",
         "inner   = CSEG 0010H",
         "outer   = CSEG 000EH",
         "delay   = CSEG 000CH",
         "loop    = CSEG 0008H",
         "main    = CSEG 0005H",
         "isr     = CSEG 0004H",
         "reset   = CSEG 0000H",
         "COUNT2  = RAM  000DH",
         "COUNT1  = RAM  000CH",
         "DELAYS  = EQU  00FAH",
         "LED     = BIT  0006H.0",
         "Z       = BIT  0003H.2",
         "RP0     = BIT  0003H.5",
         "TRISB   = EQU  0086H",
         "PORTB   = EQU  0006H",
         "STATUS  = EQU  0003H"],
     [record(":020000000528D1"),
      record(":100008000900831686018312013086060C20082811"),
      record(":10001800FA308C00FA308D0000008D0B10288C0B04"),
      record(":100028000E280034560065006C00740061007300EF"),
      record(":020038000000C6"),
      record(":02400E00F13F80"),
      END_RECORD],
     args=["-L", "demo.pic"],
     from_repo=["examples/demo.pic", "examples/demo.inc"])


# --- writing -------------------------------------------------------------------

def crlf(lines):
    return "".join(l + "\r\n" for l in lines).encode("cp1252")


def write(name, c):
    d = os.path.join(HERE, name)
    os.makedirs(d, exist_ok=True)
    for old in os.listdir(d):
        os.remove(os.path.join(d, old))
    for fname, text in c["files"].items():
        with open(os.path.join(d, fname), "wb") as f:
            f.write(text.encode("cp1252"))
    with open(os.path.join(d, "README"), "w", encoding="utf-8") as f:
        f.write(c["readme"] + "\n")
    with open(os.path.join(d, "expected.status"), "w", encoding="utf-8", newline="\n") as f:
        f.write(c["status"])
    if c["from_repo"] is not None:
        with open(os.path.join(d, "from-repo"), "w") as f:
            f.write("".join(p + "\n" for p in c["from_repo"]))
    if c["args"] is not None:
        with open(os.path.join(d, "args"), "w") as f:
            f.write("".join(a + "\n" for a in c["args"]))
    if c["prn"] is not None:
        with open(os.path.join(d, "expected.PRN"), "wb") as f:
            f.write(crlf(c["prn"]))
    if c["hex"] is not None:
        with open(os.path.join(d, "expected.HEX"), "wb") as f:
            f.write(crlf(c["hex"]))


if __name__ == "__main__":
    wanted = sys.argv[1:] or sorted(CASES)
    for n in wanted:
        write(n, CASES[n])
