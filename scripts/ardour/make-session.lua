-- Builds a session: one stereo track fed by Ardour's own noise generator,
-- then Tidepull when WITH_TIDEPULL=1 (AC Threshold 30, DC Threshold 6).
AudioEngine:set_backend("None (Dummy)", "", "")
local dir, name = arg[1], arg[2]
local s = create_session(dir, name, 48000)
assert(s, "no session")
local track = s:new_audio_track(2, 2, nil, 1, "T", ARDOUR.PresentationInfo.max_order,
                                ARDOUR.TrackMode.Normal, true):front()
local noise = ARDOUR.LuaAPI.new_luaproc(s, "ACE Noise")
assert(not noise:isnil(), "no noise generator")
track:add_processor_by_index(noise, 0, nil, true)
if os.getenv("WITH_TIDEPULL") == "1" then
  local tp = ARDOUR.LuaAPI.new_plugin(s, "Tidepull", ARDOUR.PluginType.VST3, "")
  assert(not tp:isnil(), "Ardour did not find Tidepull")
  track:add_processor_by_index(tp, 1, nil, true)
  assert(ARDOUR.LuaAPI.set_processor_param(tp, 3, 30))
  assert(ARDOUR.LuaAPI.set_processor_param(tp, 4, 6))
end
s:save_state("", false, false, false, false, false)
close_session()
print("session made")
