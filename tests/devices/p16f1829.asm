; The words of p16f1829.pic, written with the chip maker's header.
        list    p=16f1829
        include "p16f1829.inc"
        radix   dec
        errorlevel -302
        bcf     TRISC,TRISC2
        clrf    ANSELA
        btfsc   INTCON,TMR0IF
        movf    IOCBF,W
        __config _CONFIG1, _FOSC_INTOSC & _WDTE_OFF
        __config _CONFIG2, _LVP_OFF
        end
