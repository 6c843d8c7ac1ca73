-- Opens the session and saves it again, as reopening a song does.
AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:start(false)
local s = load_session(arg[1], "lv2test")
assert(s, "no session")
s:save_state("", false, false, false, false, false)
close_session()
print("session saved again")
