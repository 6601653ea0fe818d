; The bytes of p18f452.pic, written with the chip maker's header.
        list    p=18f452
        include "p18f452.inc"
        radix   dec
        __CONFIG _CONFIG1H, _HS_OSC_1H & _OSCS_OFF_1H
        __CONFIG _CONFIG2L, _PWRT_ON_2L
        __CONFIG _CONFIG2H, _WDT_OFF_2H
        __idlocs _IDLOC0, 0x12
count   equ     0x20
        movf    PORTB,W
        addwf   count,F
loop:   decfsz  count,F
        bra     loop
        rcall   sub
        bz      loop
sub:    return
        org     0x2000
        bra     $+2048
        bra     $-2046
        rcall   $+2048
        rcall   $-2046
        bc      $+256
        bc      $-254
        bn      $+256
        bn      $-254
        bnc     $+256
        bnc     $-254
        bnn     $+256
        bnn     $-254
        bnov    $+256
        bnov    $-254
        bnz     $+256
        bnz     $-254
        bov     $+256
        bov     $-254
        bz      $+256
        bz      $-254
        end
