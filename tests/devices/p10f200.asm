; The words of p10f200.pic, written with the chip maker's header.
        list    p=10f200
        include "p10f200.inc"
        radix   dec
        movlw   (1 << NOT_GPPU) | (1 << PSA)
        option
        tris    GPIO
        bsf     GPIO,GP2
        btfsc   STATUS,GPWUF
        movwf   OSCCAL
        __config _WDT_OFF & _CP_OFF & _MCLRE_OFF
        end
