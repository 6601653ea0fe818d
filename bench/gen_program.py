#!/usr/bin/env python3
"""Writes one large PIC18 program twice: in Veltas syntax and in gpasm syntax.

Both versions have the same number of lines, the same comments on the same
lines, and assemble to the same program words, so that the two assemblers do
the same work and their HEX files can be compared.

    gen_program.py LINES OUTDIR

writes OUTDIR/veltas/prog.pic + OUTDIR/veltas/defs.inc and
OUTDIR/gpasm/prog.asm + OUTDIR/gpasm/defs.inc; LINES counts the lines of the
main file and the include file together.

The program is a chain of 100-line blocks. Each block has a comment header and
comment body, an EQU constant computed from the previous block's constant,
every eighth block a bit name, a code label, and 3 program words: a literal
load and a forward CALL, a banked ADDWF and a forward GOTO, a BSF on a bit
name and a DATA line, or MOVWF/BTFSC/RETURN. The register names and two bit
names come from the include file. Program memory (64K words on both sides)
bounds the code: 3 words per 100 lines keeps 2.1M lines within it, so most
lines are comments and blank lines, as in generated table sources.
"""

import os
import sys

BLOCK_LINES = 100
WORDS_PER_BLOCK = 3
MAX_WORDS = 65536  # Veltas's code counter is 16 bits; p18f8722 has 64K words
REGISTERS = 32  # R_00..R_1F at 0x20..0x3F, in the access bank

# Positions inside a block.
POS_EQU = 12
POS_BIT = 13
POS_LABEL = 40
POS_CODE = 41  # up to three instruction lines

PHRASES = [
    "keep W, then advance the table pointer",
    "the scale factor is applied by the caller",
    "flags: bit 0 = valid, bit 1 = last entry",
    "values are stored low byte first",
    "generated from the calibration table, do not edit",
    "the entry is skipped when the flag is clear",
    "carry is undefined after this step",
    "see the data sheet for the timing of this sequence",
]


def comment_line(b, pos, seed):
    """A comment or blank line; varied in form and length, cheap to build."""
    k = (seed >> 3) % 97
    form = seed % 11
    if form == 0:
        return ""
    if form == 1:
        return ";"
    if form in (2, 3):
        return "        ; step %d: %s" % (k, PHRASES[(seed >> 5) % len(PHRASES)])
    if form in (4, 5, 6):
        return "; table row %3d: offset 0x%04X, scale %d, flags %d" % (
            pos, (seed * 40503) & 0xFFFF, k, seed & 7)
    if form in (7, 8):
        return ";   %-12s%-12s%s" % ("col%d" % (seed & 15), "x%03d" % k, "block %d" % b)
    return "; " + PHRASES[(seed >> 7) % len(PHRASES)]


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: gen_program.py LINES OUTDIR")
    total = int(sys.argv[1])
    out = sys.argv[2]

    # Include file: register names and two bit names.
    inc_v = ["; Register and bit names of the generated benchmark program"]
    inc_g = list(inc_v)
    for i in range(REGISTERS):
        inc_v.append("R_%02X:   EQU 0x%02X" % (i, 0x20 + i))
        inc_g.append("R_%02X    equ 0x%02X" % (i, 0x20 + i))
    inc_v += ["READY:  BIT R_00,0", "DONE:   BIT R_00,7"]
    inc_g += ["#define READY R_00, 0", "#define DONE R_00, 7"]

    head_v = [
        "; Generated benchmark program (%d lines with the include file)" % total,
        "        CORE16",
        "        INCLUDE defs.inc",
    ]
    head_g = [
        head_v[0],
        "        list p=18f8722, r=dec",
        '        #include "defs.inc"',
    ]
    tail_v = ["; end of the generated program", "L_END:", "        GOTO    L_END", "        END"]
    tail_g = ["; end of the generated program", "L_END:", "        goto    L_END", "        end"]

    fixed = len(inc_v) + len(head_v) + len(tail_v)
    if total < fixed + BLOCK_LINES:
        sys.exit("gen_program.py: at least %d lines" % (fixed + BLOCK_LINES))
    blocks = (total - fixed) // BLOCK_LINES
    padding = total - fixed - blocks * BLOCK_LINES  # comment lines before the tail
    words = blocks * WORDS_PER_BLOCK + 2
    if words > MAX_WORDS:
        sys.exit("gen_program.py: %d lines need %d program words, more than %d" % (total, words, MAX_WORDS))

    def target(n):
        return "L_%d" % n if n < blocks else "L_END"

    os.makedirs(os.path.join(out, "veltas"), exist_ok=True)
    os.makedirs(os.path.join(out, "gpasm"), exist_ok=True)
    for d, inc in (("veltas", inc_v), ("gpasm", inc_g)):
        with open(os.path.join(out, d, "defs.inc"), "w", newline="\r\n") as f:
            f.write("\n".join(inc) + "\n")

    fv = open(os.path.join(out, "veltas", "prog.pic"), "w", newline="\r\n", buffering=1 << 20)
    fg = open(os.path.join(out, "gpasm", "prog.asm"), "w", newline="\r\n", buffering=1 << 20)
    fv.write("\n".join(head_v) + "\n")
    fg.write("\n".join(head_g) + "\n")

    last_bit = "READY"
    for b in range(blocks):
        v = []
        g = []
        # Fixed statements of the block, by position.
        stmt_v = {}
        stmt_g = {}
        inc = (b * 37 + 11) & 0xFF
        if b == 0:
            stmt_v[POS_EQU] = "K_0:    EQU 0x%02X" % inc
            stmt_g[POS_EQU] = "K_0     equ 0x%02X" % inc
        else:
            stmt_v[POS_EQU] = "K_%d: EQU (K_%d + 0x%02X) AND 0xFF   ; next constant" % (b, b - 1, inc)
            stmt_g[POS_EQU] = "K_%d equ (K_%d + 0x%02X) & 0xFF   ; next constant" % (b, b - 1, inc)
        if b % 8 == 0:
            reg, bit = (b >> 3) % REGISTERS, b % 7
            stmt_v[POS_BIT] = "F_%d: BIT R_%02X,%d" % (b, reg, bit)
            stmt_g[POS_BIT] = "#define F_%d R_%02X, %d" % (b, reg, bit)
            last_bit = "F_%d" % b
        stmt_v[POS_LABEL] = stmt_g[POS_LABEL] = "L_%d:" % b
        r1, r2 = "R_%02X" % (b % REGISTERS), "R_%02X" % ((b * 7 + 3) % REGISTERS)
        kind = b % 4
        if kind == 0:
            code_v = ["        MOVLW   K_%d           ; load the block constant" % b,
                      "        CALL    %s          ; forward call" % target(b + 1)]
            code_g = ["        movlw   K_%d           ; load the block constant" % b,
                      "        call    %s, 0          ; forward call" % target(b + 1)]
        elif kind == 1:
            code_v = ["        ADDWF   %s,A,W        ; banked add into W" % r1,
                      "        GOTO    %s" % target(b + 2)]
            code_g = ["        addwf   %s, 0, 1      ; banked add into W" % r1,
                      "        goto    %s" % target(b + 2)]
        elif kind == 2:
            code_v = ["        BSF     %s" % last_bit,
                      "        DATA    K_%d, 0x%04X    ; table entry" % (b, (b * 40503) & 0xFFFF)]
            code_g = ["        bsf     %s, 0" % last_bit,
                      "        data    K_%d, 0x%04X    ; table entry" % (b, (b * 40503) & 0xFFFF)]
        else:
            code_v = ["        MOVWF   %s" % r1, "        BTFSC   %s,%d" % (r2, b % 8), "        RETURN"]
            code_g = ["        movwf   %s, 0" % r1, "        btfsc   %s, %d, 0" % (r2, b % 8),
                      "        return  0"]
        for i, (cv, cg) in enumerate(zip(code_v, code_g)):
            stmt_v[POS_CODE + i] = cv
            stmt_g[POS_CODE + i] = cg

        seed = b * 7919
        for pos in range(BLOCK_LINES):
            s = stmt_v.get(pos)
            if s is not None:
                v.append(s)
                g.append(stmt_g[pos])
                continue
            if pos == 0:
                line = ";" + "-" * 70
            elif pos == 1:
                line = "; block %d: %s" % (b, PHRASES[b % len(PHRASES)])
            else:
                line = comment_line(b, pos, (seed + pos * 2654435761) >> 7)
            v.append(line)
            g.append(line)
        fv.write("\n".join(v) + "\n")
        fg.write("\n".join(g) + "\n")

    pad = ["; padding line %d" % i for i in range(padding)]
    fv.write("\n".join(pad + tail_v) + "\n")
    fg.write("\n".join(pad + tail_g) + "\n")
    fv.close()
    fg.close()


if __name__ == "__main__":
    main()
