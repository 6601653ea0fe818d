; The words of p16f877a.pic, written with the chip maker's header.
        list    p=16f877a
        include "p16f877a.inc"
        radix   dec
        errorlevel -302
        bsf     STATUS,RP0
        clrf    TRISB
        movlw   1 << 7
        movwf   OPTION_REG
        bcf     STATUS,RP0
        bsf     PORTB,RB0
        bsf     STATUS,RP1
        bsf     EECON1,RD
        movf    EEDATA,W
        btfss   PIR1,TXIF
        btfsc   INTCON,GIE
        __config _XT_OSC & _WDT_OFF & _PWRTE_ON & _LVP_OFF
        __idlocs 0x1234
        end
