" veltas-cli's error lines "file:line:col: error: message"; its status text
" and "veltas-cli: nach N Fehlern abgebrochen" are left out. The program is
" left to makeprg, so that a Makefile that calls veltas-cli works as well.
if exists('current_compiler')
  finish
endif
let current_compiler = 'veltas'

if exists(':CompilerSet') != 2
  command -nargs=* CompilerSet setlocal <args>
endif
CompilerSet errorformat=%E%f:%l:%c:\ error:\ %m,%-G%.%#
