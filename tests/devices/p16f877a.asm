; The words of p16f877a.pic, written with the chip maker's header.
        list    p=16f877a
        include "p16f877a.inc"
        radix   dec
        errorlevel -302
        bsf     STATUS,RP0
        clrf    TRISB
        bsf     EECON1,RD
        movf    EEDATA,W
        btfss   PIR1,TXIF
        __config _XT_OSC & _WDT_OFF & _PWRTE_ON & _LVP_OFF
        __idlocs 0x1234
        end
