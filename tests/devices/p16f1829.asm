; The words of p16f1829.pic, written with the chip maker's header.
        list    p=16f1829
        include "p16f1829.inc"
        radix   dec
        errorlevel -302
        movlb   1
        clrf    TRISA
        bcf     TRISC,TRISC2
        movlb   3
        clrf    ANSELA
        movlb   2
        bsf     LATA,LATA0
        btfsc   INTCON,TMR0IF
        movlb   7
        movf    IOCBF,W
        __config _CONFIG1, _FOSC_INTOSC & _WDTE_OFF
        __config _CONFIG2, _LVP_OFF
        end
