-- Reopens a saved session and prints Tidepull's parameters as Ardour
-- restored them from the plug-in's saved state.
AudioEngine:set_backend("None (Dummy)", "", "")
local s = load_session(arg[1], arg[2])
assert(s, "no session")
for r in s:get_routes():iter() do
  local i = 0
  while true do
    local p = r:nth_plugin(i)
    if p:isnil() then break end
    if p:name() == "Tidepull" then
      for k = 0, 9 do
        print(string.format("param %d %.4f", k, ARDOUR.LuaAPI.get_processor_param(p, k, true)))
      end
    end
    i = i + 1
  end
end
close_session()
