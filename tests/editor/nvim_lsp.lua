-- Neovim 0.7 with veltas-lsp (VELTAS_LSP), run in a copy of this folder:
-- the error of the include file, hover, definition, then the fix clears it.
local ok, err = pcall(function()
  local dir, t = vim.loop.cwd(), 30000
  local function check(cond, what) if not cond then error(what, 0) end end
  vim.cmd('set hidden | edit part.inc')
  local inc = vim.api.nvim_get_current_buf()
  vim.cmd('edit main.pic')
  local main = vim.api.nvim_get_current_buf()
  local id = vim.lsp.start_client({name = 'veltas', cmd = {os.getenv('VELTAS_LSP')}, root_dir = dir})
  check(id, 'veltas-lsp did not start')
  vim.lsp.buf_attach_client(main, id)
  vim.lsp.buf_attach_client(inc, id)
  check(vim.wait(t, function() return #vim.diagnostic.get(inc) > 0 end, 50), 'no diagnostic for part.inc')
  local d = vim.diagnostic.get(inc)
  check(#d == 1 and d[1].lnum == 2 and d[1].col == 8 and d[1].end_lnum == 2 and d[1].end_col == 11
    and d[1].message == 'illegale Operation', 'part.inc diagnostics: ' .. vim.inspect(d))
  check(#vim.diagnostic.get(main) == 0, 'main.pic diagnostics: ' .. vim.inspect(vim.diagnostic.get(main)))
  local function ask(method, line, character)
    local params = {textDocument = {uri = vim.uri_from_bufnr(main)}, position = {line = line, character = character}}
    local replies = vim.lsp.buf_request_sync(main, method, params, t)
    local reply = replies and replies[id]
    check(reply and reply.result, method .. ' gave no result: ' .. vim.inspect(replies))
    return reply.result
  end
  -- LIMIT in "loop:   MOVLW   LIMIT", READY in "        BSF     READY"
  local hover = ask('textDocument/hover', 2, 18).contents.value
  check(hover:find('EQU-Konstante, 002Ah = 42', 1, true), 'hover: ' .. hover)
  local def = ask('textDocument/definition', 3, 18)
  def = def[1] or def
  check(def.uri == vim.uri_from_bufnr(inc) and def.range.start.line == 1 and def.range.start.character == 0,
    'definition: ' .. vim.inspect(def))
  vim.api.nvim_buf_set_lines(inc, 2, 3, false, {'        NOP'})
  check(vim.wait(t, function() return #vim.diagnostic.get(inc) == 0 end, 50),
    'part.inc diagnostics after the fix: ' .. vim.inspect(vim.diagnostic.get(inc)))
end)
io.stdout:write(ok and 'PASS\n' or 'FAIL: ' .. tostring(err) .. '\n')
vim.cmd(ok and 'qall!' or 'cquit')
