" Veltas assembler sources: every .pic file, and the .inc files that show the
" language in their first 50 lines (a "NAME: EQU" or "NAME: BIT", or a core
" directive). "set filetype" rather than "setfiletype": Vim's own rules have
" already named .inc files by then.
function! s:VeltasInclude() abort
  let name = '[^;:[:space:]]+:\s*'
  if match(getline(1, 50), '\c\v^\s*(' . name . '(equ|bit)|(' . name . ')?core(12|14|14enh|16))(\s|;|$)') >= 0
    set filetype=veltas
  endif
endfunction
autocmd BufNewFile,BufRead *.pic,*.PIC set filetype=veltas
autocmd BufNewFile,BufRead *.inc,*.INC call s:VeltasInclude()
