-- Builds a session: one stereo track fed by Ardour's own noise generator,
-- then Tidepull as TIDEPULL_FORMAT says ("vst3" or "lv2"; none when unset),
-- set to AC Threshold 30, DC Threshold 6.
AudioEngine:set_backend("None (Dummy)", "", "")
local dir, name = arg[1], arg[2]
local s = create_session(dir, name, 48000)
assert(s, "no session")
local track = s:new_audio_track(2, 2, nil, 1, "T", ARDOUR.PresentationInfo.max_order,
                                ARDOUR.TrackMode.Normal, true):front()
local noise = ARDOUR.LuaAPI.new_luaproc(s, "ACE Noise")
assert(not noise:isnil(), "no noise generator")
track:add_processor_by_index(noise, 0, nil, true)

-- Ardour numbers a plug-in's controls its own way per format (a VST 3
-- bypass first, LV2 ports in index order), so settings go by label.
local function set_by_label(proc, label, value)
  local plug = proc:to_insert():plugin(0)
  local n = 0
  for j = 0, plug:parameter_count() - 1 do
    if plug:parameter_is_control(j) then
      if plug:parameter_label(j) == label then
        assert(ARDOUR.LuaAPI.set_processor_param(proc, n, value), "could not set " .. label)
        return
      end
      n = n + 1
    end
  end
  error("no control labelled " .. label)
end

local format = os.getenv("TIDEPULL_FORMAT") or ""
local kinds = {
  vst3 = { "Tidepull", ARDOUR.PluginType.VST3 },
  lv2 = { "https://quillmarch.example/lv2/tidepull", ARDOUR.PluginType.LV2 },
}
if format ~= "" then
  local kind = assert(kinds[format], "unknown format " .. format)
  local tp = ARDOUR.LuaAPI.new_plugin(s, kind[1], kind[2], "")
  assert(not tp:isnil(), "Ardour did not find Tidepull")
  track:add_processor_by_index(tp, 1, nil, true)
  set_by_label(tp, "AC Threshold", 30)
  set_by_label(tp, "DC Threshold", 6)
end
s:save_state("", false, false, false, false, false)
close_session()
print("session made")
