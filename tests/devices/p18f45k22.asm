; The words of p18f45k22.pic, written with the chip maker's header.
        list    p=18f45k22
        include "p18f45k22.inc"
        radix   dec
        clrf    TRISB
        bsf     PORTB,RB0
        clrf    ANSELB,BANKED
        movlw   1 << ANSB1
        bsf     TXSTA1,TXEN
        btfss   STATUS,Z
        movwf   SLRCON
        end
