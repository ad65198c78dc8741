#!/usr/bin/python3
"""reference_flutter.py DIR: speed and wow and flutter of each capture in DIR
(NAME.f32: float32 mono at 44.1 kHz, the deck check's signal as heard),
computed here another way than the program does, printed beside the
program's figures (NAME.txt) and the made-up deck's true values.

The other way: the speed tone is the longest stretch where the 2-4.5 kHz
band is loud; its analytic signal comes from an FFT of the stretch (negative
frequencies dropped), its instantaneous frequency from the unwrapped phase,
averaged over 44-sample blocks; the weighting is applied in the frequency
domain straight from the standard's table (zero phase), where the program
runs a fitted causal filter."""
import os
import sys

import numpy as np

RATE = 44100.0
NOMINAL = 3150.0
TABLE_HZ = np.array([0.1, 0.2, 0.315, 0.4, 0.63, 0.8, 1, 1.6, 2, 4, 6.3, 10, 20, 40, 63, 100, 200])
TABLE_DB = np.array([-48, -30.6, -19.7, -15, -8.4, -6, -4.2, -1.8, -0.9, 0, -0.9, -2.1, -5.9, -10.4, -14.2, -17.3, -23.0])


def band_analytic(x, low, high):
    spectrum = np.fft.fft(x)
    f = np.fft.fftfreq(len(x), 1.0 / RATE)
    keep = (f >= low) & (f <= high)
    return np.fft.ifft(np.where(keep, 2.0 * spectrum, 0.0))


def speed_tone(x):
    envelope = np.abs(band_analytic(x, 2000.0, 4500.0))
    block = 441
    levels = envelope[: len(envelope) // block * block].reshape(-1, block).mean(axis=1)
    loud = levels > 0.5 * levels.max()
    best, start, run_from = (0, 0), None, 0
    for i, on in enumerate(np.append(loud, False)):
        if on and start is None:
            start = i
        elif not on and start is not None:
            if i - start > best[1] - best[0]:
                best = (start, i)
            start = None
    trim = int(0.5 * RATE)
    return x[best[0] * block + trim: best[1] * block - trim]


def weighting_gain(f):
    f = np.maximum(np.abs(f), 1e-6)
    db = np.interp(np.log(f), np.log(TABLE_HZ), TABLE_DB)
    # Beyond the table: on with its end slopes (18 and 6 dB per octave).
    db = np.where(f < TABLE_HZ[0], TABLE_DB[0] - 18.0 * np.log2(TABLE_HZ[0] / f), db)
    db = np.where(f > TABLE_HZ[-1], TABLE_DB[-1] - 6.0 * np.log2(f / TABLE_HZ[-1]), db)
    return 10.0 ** (db / 20.0)


def measure(x):
    tone = speed_tone(x)
    analytic = band_analytic(tone, 2000.0, 4500.0)
    phase = np.unwrap(np.angle(analytic))
    # Ends of the FFT's circular stretch are let go.
    cut = int(0.2 * RATE)
    phase = phase[cut:-cut]
    t = np.arange(len(phase)) / RATE
    slope = np.polyfit(t, phase, 1)[0]
    mean_hz = slope / (2.0 * np.pi)
    inst = np.diff(phase) * RATE / (2.0 * np.pi)
    block = 44
    inst = inst[: len(inst) // block * block].reshape(-1, block).mean(axis=1)
    rate = RATE / block
    deviation = inst / mean_hz - 1.0
    k = np.arange(len(deviation))
    deviation = deviation - np.polyval(np.polyfit(k, deviation, 1), k)
    unweighted = np.sqrt(np.mean(deviation ** 2)) * 100.0
    weighted = np.fft.irfft(np.fft.rfft(deviation) * weighting_gain(np.fft.rfftfreq(len(deviation), 1.0 / rate)), len(deviation))
    edge = int(rate)  # the zero-phase weighting wraps at the ends
    weighted_peak = np.percentile(np.abs(weighted[edge:-edge]), 95) * 100.0
    return (mean_hz / NOMINAL - 1.0) * 100.0, weighted_peak, unweighted


def main():
    folder = sys.argv[1]
    names = sorted(n[:-4] for n in os.listdir(folder) if n.endswith(".f32"))
    print("%-8s | %9s %9s %9s | %9s %9s %9s | %9s %9s %9s" % (
        "deck", "speed %", "ref", "true", "W&F wtd", "ref", "true", "W&F rms", "ref", "true"))
    for name in names:
        x = np.fromfile(os.path.join(folder, name + ".f32"), dtype=np.float32).astype(np.float64)
        ours = [float(v) for v in open(os.path.join(folder, name + ".txt")).read().split()]
        ref = measure(x)
        print("%-8s | %+9.4f %+9.4f %+9.4f | %9.4f %9.4f %9.4f | %9.4f %9.4f %9.4f" % (
            name, ours[0], ref[0], ours[3], ours[1], ref[1], ours[4], ours[2], ref[2], ours[5]))


if __name__ == "__main__":
    main()
