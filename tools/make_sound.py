#!/usr/bin/env python3
"""Makes the launch sound: a rising whoosh as the rocket flies up, with a few sparkle pings.

Writes resources/Zumaro.wav, about 0.75 s of 16-bit mono PCM at 22050 Hz, peaking at 70% of full
scale. Run it again only to change the sound; the .wav is committed."""
import math
import os
import struct
import sys
import wave

RATE = 22050
LENGTH = 0.75  # seconds
PEAK = 0.7  # of full scale; leaves headroom for the mixer

SWEEP_FROM, SWEEP_TO = 320.0, 1500.0  # Hz, rising with the sprite
SWEEP_END = 0.62  # seconds; the sweep then holds while the tail fades
# (start in seconds, Hz): three quick high pings near the top of the climb.
SPARKLES = [(0.40, 2093.0), (0.50, 2637.0), (0.60, 3136.0)]
FADE_IN, FADE_OUT = 0.025, 0.18  # seconds; no clicks at either end


def noise():
    """A fixed linear congruential generator, so the file is the same on every run."""
    state = 12345
    while True:
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        yield state / 0x3FFFFFFF - 1.0


def render():
    n = int(RATE * LENGTH)
    out = []
    phase = 0.0
    hiss = noise()
    low1 = low2 = 0.0  # two one-pole low-passes in a row, for a soft whoosh
    for i in range(n):
        t = i / RATE
        # An exponential sweep sounds like an even rise in pitch.
        k = min(t / SWEEP_END, 1.0)
        freq = SWEEP_FROM * (SWEEP_TO / SWEEP_FROM) ** k
        phase += 2 * math.pi * freq / RATE
        tone = math.sin(phase) + 0.25 * math.sin(2 * phase) + 0.1 * math.sin(3 * phase)
        tone *= 0.55

        # The whoosh: noise through a low-pass whose corner follows the sweep, swelling mid-way.
        cutoff = freq * 1.5
        a = 1 - math.exp(-2 * math.pi * cutoff / RATE)
        low1 += a * (next(hiss) - low1)
        low2 += a * (low1 - low2)
        swell = math.sin(math.pi * min(t / (LENGTH * 0.85), 1.0))
        whoosh = 0.9 * low2 * swell

        sparkle = 0.0
        for start, f in SPARKLES:
            dt = t - start
            if dt >= 0:
                ring = math.exp(-dt * 18.0)
                # A slight inharmonic partial makes it bell-like rather than a beep.
                sparkle += 0.3 * ring * (math.sin(2 * math.pi * f * dt)
                                         + 0.35 * math.sin(2 * math.pi * f * 2.76 * dt))

        env = min(1.0, t / FADE_IN, (LENGTH - t) / FADE_OUT)
        env = max(0.0, env) ** 1.5
        out.append((tone + whoosh + sparkle) * env)
    scale = PEAK / max(abs(s) for s in out)
    return [round(s * scale * 32767) for s in out]


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'resources', 'Zumaro.wav')
    samples = render()
    with wave.open(path, 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(struct.pack('<%dh' % len(samples), *samples))


if __name__ == '__main__':
    main()
