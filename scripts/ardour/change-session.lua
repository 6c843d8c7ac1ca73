-- Opens the session, chooses a factory program through the host's preset
-- menu and turns the threshold, as a person would in the generic controls,
-- then saves.
AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:start(false)
local s = load_session(arg[1], "lv2test")
assert(s, "no session")
local track = s:route_by_name("Music")
local zq3r = track:nth_plugin(1)
local plugin = zq3r:to_insert():plugin(0)
local preset = plugin:preset_by_label("Limiter -12dB")
assert(preset, "no preset")
assert(plugin:load_preset(preset), "preset not loaded")
ARDOUR.LuaAPI.set_processor_param(zq3r, 2, -30)
s:save_state("", false, false, false, false, false)
close_session()
print("session changed")
