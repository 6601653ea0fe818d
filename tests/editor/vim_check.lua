-- The Vim files in Neovim 0.7 (runtime path set by 65-vim.sh), in a scratch
-- folder: filetypes, syntax groups, and :make with the compiler's format.
local ok, err = pcall(function()
  local function check(cond, what) if not cond then error(what, 0) end end
  vim.cmd('filetype plugin on | syntax on')
  vim.fn.writefile({'; Kopf', 'X: EQU 1'}, 'a.inc')
  vim.fn.writefile({'; Kopf', '        NOP'}, 'b.inc')
  vim.fn.writefile({'; Kommentar', 'loop:   MOVLW   1', '        FOO'}, 't.pic')
  local function ft(name) vim.cmd('edit ' .. name) return vim.bo.filetype end
  check(ft('a.inc') == 'veltas' and ft('b.inc') ~= 'veltas' and ft('t.pic') == 'veltas', 'filetypes')
  local groups = {}
  for _, at in ipairs({{1, 3}, {2, 2}, {2, 10}, {2, 17}}) do
    groups[#groups + 1] = vim.fn.synIDattr(vim.fn.synID(at[1], at[2], 1), 'name')
  end
  check(table.concat(groups, ' ') == 'veltasComment veltasLabel veltasMnemonic veltasNumber', 'syntax: ' .. table.concat(groups, ' '))
  vim.cmd('silent make!')
  local qf = vim.fn.getqflist()
  check(#qf == 1 and vim.fn.bufname(qf[1].bufnr) == 't.pic' and qf[1].lnum == 3 and qf[1].col == 12
    and qf[1].type == 'E' and qf[1].text == 'illegale Operation', 'quickfix: ' .. vim.inspect(qf))
end)
io.stdout:write(ok and 'PASS\n' or 'FAIL: ' .. tostring(err) .. '\n')
vim.cmd(ok and 'qall!' or 'cquit')
