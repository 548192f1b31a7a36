-- A stereo test signal for the Ardour host test: a sawtooth chord, slightly detuned on the right,
-- faded in over 50 ms, with a burst of white noise from 0.5 s to 0.75 s. The input is ignored.
ardour {
	["type"]    = "dsp",
	name        = "Vemlor Test Signal",
	category    = "Utility",
	license     = "GPL-3.0-or-later",
	author      = "Vemlor",
	description = [[Deterministic stereo test signal]]
}

function dsp_ioconfig ()
	return { { audio_in = 2, audio_out = 2 } }
end

local NOTES = { 110.0, 164.81, 277.18 }
local rate = 48000
local frame = 0
local noise = 0x2545F491

function dsp_init (sample_rate)
	rate = sample_rate
end

function dsp_run (ins, outs, n_samples)
	local left, right = outs[1]:array(), outs[2]:array()
	for i = 1, n_samples do
		local t = (frame + i - 1) / rate
		local l, r = 0, 0
		for _, note in ipairs(NOTES) do
			local pl, pr = t * note, t * note * 1.003
			l = l + 0.2 * (2 * (pl - math.floor(pl)) - 1)
			r = r + 0.2 * (2 * (pr - math.floor(pr)) - 1)
		end
		if t >= 0.5 and t < 0.75 then
			noise = (noise * 1664525 + 1013904223) & 0xFFFFFFFF
			local n = 0.3 * (noise / 2147483648.0 - 1)
			l, r = l + n, r - n
		end
		if t < 0.05 then
			local fade = 0.5 * (1 - math.cos(math.pi * t / 0.05))
			l, r = l * fade, r * fade
		end
		left[i], right[i] = l, r
	end
	frame = frame + n_samples
end
