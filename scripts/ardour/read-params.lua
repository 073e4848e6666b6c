-- Reopens a saved session and prints Tidepull's controls as Ardour restored
-- them (from the VST 3 state, or the LV2 port values it saved), one line
-- each: "param INDEX VALUE LABEL", INDEX as Ardour numbers them.
AudioEngine:set_backend("None (Dummy)", "", "")
local s = load_session(arg[1], arg[2])
assert(s, "no session")
for r in s:get_routes():iter() do
  local i = 0
  while true do
    local p = r:nth_plugin(i)
    if p:isnil() then break end
    if p:name() == "Tidepull" then
      local plug = p:to_insert():plugin(0)
      local n = 0
      for j = 0, plug:parameter_count() - 1 do
        if plug:parameter_is_control(j) then
          if plug:parameter_is_input(j) then
            print(string.format("param %d %.4f %s", n, ARDOUR.LuaAPI.get_processor_param(p, n, true),
                                plug:parameter_label(j)))
          end
          n = n + 1
        end
      end
    end
    i = i + 1
  end
end
close_session()
