-- One headless Ardour session run for the Ardour host test, driven by a job file (arg[1]):
--   mode "create": new session on the dummy backend, a stereo track whose region is the bounced
--                  test signal, export "input", insert the plug-in, set parameters by index (the
--                  index that carries the wanted label), export "processed", save;
--   mode "reload": load that session, report the plug-in's parameters, export "reloaded".
-- Every result is one stdout line "vemlor-ardour <kind> <fields...>" for the test to read.

local job = dofile(arg[1])

local function say(...)
	print("vemlor-ardour " .. table.concat({ ... }, " "))
	io.stdout:flush()
end

local function num(x)
	return string.format("%.9g", x)
end

local TRACK = "Vemlor test"

local function find_plugin(route)
	local proc = route:nth_plugin(0)
	assert(not proc:isnil(), "the track has no plug-in")
	assert(proc:display_name() == job.plugin, "the track's plug-in is " .. proc:display_name())
	return proc
end

-- The input control parameters as (index, id) pairs.
local function controls(plugin)
	local list = {}
	for i = 0, plugin:parameter_count() - 1 do
		-- Reference arguments come back in a table, in argument order.
		local id, refs = plugin:nth_parameter(i, false)
		if refs[2] and plugin:parameter_is_input(id) and plugin:parameter_is_control(id) then
			list[#list + 1] = { index = i, id = id }
		end
	end
	return list
end

-- Lines "param <phase> <index> <value> <lower> <upper> <label>" for every input parameter.
local function report_params(proc, phase)
	local plugin = proc:to_insert():plugin(0)
	for _, c in ipairs(controls(plugin)) do
		local _, refs = plugin:get_parameter_descriptor(c.id, ARDOUR.ParameterDescriptor())
		local desc = refs[2]
		local value = ARDOUR.LuaAPI.get_processor_param(proc, c.index, false)
		say("param", phase, c.index, num(value), num(desc.lower), num(desc.upper), plugin:parameter_label(c.id))
	end
end

-- Every input parameter back to the default the plug-in declares. A new instance starts from a
-- starter patch picked at random, and some starters feed back chaotically: there the least
-- difference in the hosts' histories grows into a different waveform, which no sample comparison
-- survives. The cases that set parameters start from the one patch the defaults make instead.
local function apply_defaults(proc)
	local plugin = proc:to_insert():plugin(0)
	for _, c in ipairs(controls(plugin)) do
		local _, refs = plugin:get_parameter_descriptor(c.id, ARDOUR.ParameterDescriptor())
		local normal = refs[2].normal
		assert(ARDOUR.LuaAPI.set_processor_param(proc, c.index, normal),
			"setting parameter " .. c.index .. " to its default " .. num(normal) .. " failed")
	end
end

-- Sets each job setting through the parameter index that carries its label.
local function apply_settings(proc)
	local plugin = proc:to_insert():plugin(0)
	local index_of = {}
	for _, c in ipairs(controls(plugin)) do
		local label = plugin:parameter_label(c.id)
		index_of[label] = index_of[label] == nil and c.index or false
	end
	for _, s in ipairs(job.settings) do
		local index = index_of[s.label]
		assert(index ~= nil, "no parameter is labelled " .. s.label)
		assert(index ~= false, "more than one parameter is labelled " .. s.label)
		assert(ARDOUR.LuaAPI.set_processor_param(proc, index, s.value),
			"setting parameter " .. index .. " (" .. s.label .. ") to " .. num(s.value) .. " failed")
	end
end

local function export(name)
	local e = Session:simple_export()
	e:set_folder(job.export_dir)
	e:set_name(name)
	e:set_range(0, job.frames)
	assert(e:set_preset(job.export_preset), "the export preset is unknown")
	assert(e:check_outputs(), "the export has no outputs")
	assert(e:run_export(), "the export of " .. name .. " failed")
	say("export", name)
end

-- The signal comes from a generator bounced onto the track, so that every export plays the same
-- samples from disk.
local function add_signal(track)
	local gen = ARDOUR.LuaAPI.new_luaproc(Session, job.signal)
	assert(not gen:isnil(), "the test signal generator is missing")
	assert(track:add_processor_by_index(gen, 0, nil, true) == 0, "the generator was not added")
	local region = track:to_track():bounce_range(0, job.frames, ARDOUR.InterThreadInfo(), gen, true, "signal")
	assert(not region:isnil(), "bouncing the test signal failed")
	assert(track:remove_processor(gen, nil, true) == 0, "the generator was not removed")
	local audio = region:to_audioregion()
	audio:set_fade_in_active(false)
	audio:set_fade_out_active(false)
	track:to_track():playlist():add_region(region, Temporal.timepos_t(0), 1, false, 0, 0, false)
end

local function create()
	assert(create_session(job.session_dir, job.session_name, job.rate), "creating the session failed")
	local tracks = Session:new_audio_track(2, 2, nil, 1, TRACK, ARDOUR.PresentationInfo.max_order,
		ARDOUR.TrackMode.Normal, true)
	assert(tracks:size() == 1, "creating the track failed")
	local track = tracks:front()
	add_signal(track)
	export("input")

	local proc = ARDOUR.LuaAPI.new_plugin(Session, job.plugin, ARDOUR.PluginType.VST3, "")
	assert(not proc:isnil(), "Ardour does not know the plug-in " .. job.plugin)
	assert(track:add_processor_by_index(proc, 0, nil, true) == 0, "inserting the plug-in failed")
	local insert = proc:to_insert()
	local ins, outs = insert:natural_input_streams(), insert:natural_output_streams()
	say("io", ins:n_audio(), outs:n_audio(), ins:n_midi())

	if #job.settings > 0 then
		apply_defaults(proc)
	end
	report_params(proc, "inserted")
	apply_settings(proc)
	-- Let the changes reach the plug-in before the export locates.
	ARDOUR.LuaAPI.wait_for_process_callback(4, 5000)
	-- Headless Ardour gives no run loop: the plug-in's idle work (a morph switch-off is committed
	-- there) runs from these main-thread reads. Let its result reach the audio thread too, as it
	-- would in a session where time passes between a change and an export.
	report_params(proc, "set")
	ARDOUR.LuaAPI.wait_for_process_callback(4, 5000)
	export("processed")
	assert(Session:save_state("", false, false, false, false, false) == 0, "saving the session failed")
	say("saved")
end

local function reload()
	assert(load_session(job.session_dir, job.session_name), "loading the session failed")
	local route = Session:route_by_name(TRACK)
	assert(not route:isnil(), "the reloaded session has no track " .. TRACK)
	local proc = find_plugin(route)
	report_params(proc, "reloaded")
	export("reloaded")
end

assert(AudioEngine:set_backend("None (Dummy)", "", ""), "the dummy backend is not available")
local ok, err = pcall(job.mode == "create" and create or reload)
if not ok then
	say("error", tostring(err))
end
-- Drop every reference into the session before closing it.
collectgarbage()
if Session then
	close_session()
end
if ok then
	say("done", job.mode)
end
