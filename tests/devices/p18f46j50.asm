; The words of p18f46j50.pic, written with the chip maker's header; the
; configuration words at byte addresses FFF8h to FFFFh (gpasm warns: beyond MAXROM).
        list    p=18f46j50
        include "p18f46j50.inc"
        radix   dec
        clrf    TRISB
        bsf     PORTB,RB0
        movlb   15
        clrf    ANCON0,BANKED
        bsf     TXSTA1,TXEN
        org     0xFFF8
        dw      0xF7AE, 0xFF9F
        org     0xFFFC
        dw      0xFFFF, 0xF1FF
        end
