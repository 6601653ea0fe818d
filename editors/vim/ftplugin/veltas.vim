" Veltas assembler sources: ";" comments, and :make runs veltas-cli on the
" file, reporting every error at once.
if exists('b:did_ftplugin')
  finish
endif
let b:did_ftplugin = 1

setlocal commentstring=;\ %s comments=:;
setlocal makeprg=veltas-cli\ --max-errors=0\ %
compiler veltas
let b:undo_ftplugin = 'setlocal commentstring< comments< makeprg< errorformat<'
