-- A session with one stereo track: a sine from Ardour's own SinGen, then the
-- ZQ3R Compressor. With "automated", a lane on the compressor's threshold
-- holds 0 dB for two seconds and falls to -40 dB in the third. Exports the
-- four seconds to <folder>/export/<name>.wav and saves the session, which
-- Ardour's window opens as it is.
--
--   ardour7-lua automation-session.lua <folder> <name> still|automated

local folder, name, kind = arg[1], arg[2], arg[3]
assert (folder and name and (kind == "still" or kind == "automated"), "usage: <folder> <name> still|automated")

local kThreshold = 2       -- the compressor's parameter index
local kSeconds = 4
local kWavPreset = "75969a1c-3133-4694-864b-a1fa50e43348"  -- Ardour's "WAV @ session-rate"

AudioEngine:set_backend ("JACK", "", "")
assert (AudioEngine:start (false) == 0, "JACK does not run")
local session = create_session (folder, name, 48000)
assert (session, "no session made in " .. folder)
local rate = session:nominal_sample_rate ()

local track = session:new_audio_track (2, 2, nil, 1, "Tone", ARDOUR.PresentationInfo.max_order,
                                       ARDOUR.TrackMode.Normal, true):front ()
local tone = ARDOUR.LuaAPI.new_luaproc (session, "SinGen")
assert (not tone:isnil (), "Ardour's SinGen is missing")
ARDOUR.LuaAPI.set_processor_param (tone, 0, 220)  -- Hz
ARDOUR.LuaAPI.set_processor_param (tone, 1, -3)   -- dB
track:add_processor_by_index (tone, 0, nil, true)

local compressor = ARDOUR.LuaAPI.new_plugin (session, "ZQ3R Compressor", ARDOUR.PluginType.LXVST, "")
assert (not compressor:isnil (), "Ardour does not list the ZQ3R Compressor")
track:add_processor_by_index (compressor, 1, nil, true)

local plugin = compressor:to_insert ():plugin (0)
print (string.format ("plug-in:   %s by %s, %d parameters", plugin:name (), plugin:maker (), plugin:parameter_count ()))
for i = 0, plugin:parameter_count () - 1 do
  print (string.format ("parameter: %d %s", i, plugin:parameter_label (i)))
end

if kind == "automated" then
  local list, events = ARDOUR.LuaAPI.plugin_automation (compressor, kThreshold)
  assert (not list:isnil (), "no automation lane for the threshold")
  events:add (Temporal.timepos_t (0), 1.0, false, true)
  events:add (Temporal.timepos_t (2 * rate), 1.0, false, true)
  events:add (Temporal.timepos_t (3 * rate), 0.0, false, true)
  events:add (Temporal.timepos_t (kSeconds * rate), 0.0, false, true)
  local control = compressor:to_automatable ():automation_control (
    Evoral.Parameter (ARDOUR.AutomationType.PluginAutomation, 0, kThreshold), false)
  control:set_automation_state (ARDOUR.AutoState.Play)
end

local export = session:simple_export ()
export:set_name (name)
export:set_folder (folder .. "/export")
export:set_range (0, kSeconds * rate)
assert (export:set_preset (kWavPreset), "Ardour's WAV export preset is missing")
assert (export:run_export (), "the export failed")
session:save_state ("", false, false, false, false, false)
close_session ()
