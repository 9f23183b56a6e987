#!/usr/bin/env python3
"""Writes the sample alarm sound: an alarm-clock ring of two short bursts, 16-bit mono PCM.
Run once; the result is kept in resources/sounds/COCK.wav."""
import math
import struct
import sys
import wave

RATE = 22050


def burst(duration, tones):
    samples = []
    for i in range(int(RATE * duration)):
        t = i / RATE
        # The clapper: the bell is struck 25 times a second, each strike dying away.
        envelope = math.exp(-((t * 25) % 1.0) * 3.0) * min(1.0, (duration - t) * 40)
        value = sum(math.sin(2 * math.pi * f * t) for f in tones) / len(tones)
        samples.append(int(value * envelope * 0.6 * 32767))
    return samples


def main(path):
    samples = burst(0.6, (1760, 2640)) + [0] * int(RATE * 0.15) + burst(0.6, (1760, 2640))
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(struct.pack(f"<{len(samples)}h", *samples))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/sounds/COCK.wav")
