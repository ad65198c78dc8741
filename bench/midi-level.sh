#!/usr/bin/env bash
# midi-level.sh [FILE.mid...]: the loudness of MIDI songs as TapeVantrel
# renders them (tvrender, one song per side) beside FluidSynth's own renderer
# at its default gain (the fluidsynth program, same SoundFont), both
# measured by ffmpeg's EBU R 128 meter: integrated loudness (LUFS) and true
# peak (dBTP) per file, then the spread. Without arguments it takes the MIDI
# files of the Debian packages planetblupi-music-midi, openttd-openmsx and
# pianobooster (installed first when missing).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tvrender=$root/build/bin/tvrender
[[ -x $tvrender ]] || "$root/scripts/build.sh" "$root/build" >/dev/null
soundfont=/usr/share/sounds/sf2/TimGM6mb.sf2
if (($# == 0)); then
  packages=(planetblupi-music-midi openttd-openmsx pianobooster fluidsynth)
  missing=()
  for p in "${packages[@]}"; do dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p"); done
  if ((${#missing[@]})); then
    sudo_cmd=(); ((EUID == 0)) || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get install -y "${missing[@]}" >/dev/null
  fi
  mapfile -t files < <(dpkg -L planetblupi-music-midi openttd-openmsx pianobooster | grep -iE '\.(mid|midi)$' | sort)
else
  files=("$@")
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# "I: -16.3 LUFS" and "Peak: -1.2 dBFS" from the meter's summary.
meter() {
  ffmpeg -nostdin -hide_banner -i "$1" -af ebur128=peak=true -f null - 2>&1 |
    awk '/Integrated loudness:/ {f=1} f && /I:/ {i=$2} /True peak:/ {t=1} t && /Peak:/ {p=$2} END {print i, p}'
}

printf '%-44s %22s %22s\n' "" "TapeVantrel" "fluidsynth -g 0.2"
printf '%-44s %11s %10s %11s %10s\n' "file" "LUFS" "dBTP" "LUFS" "dBTP"
ours=() theirs=() peaks=()
for f in "${files[@]}"; do
  [[ -f $f ]] || continue
  tpl=$work/side.tpl
  printf '60\r\n000\r\n0\r\nplaylista\r\n 1 \r\n%s (00:01)\r\nplaylistend\r\n' "$f" >"$tpl"
  "$tvrender" "$tpl" --side A "$work/ours.wav" >/dev/null 2>&1 || { echo "$(basename "$f"): tvrender failed" >&2; continue; }
  fluidsynth -ni -q -g 0.2 -r 44100 -F "$work/theirs.wav" "$soundfont" "$f" >/dev/null 2>&1 || true
  read -r oi op < <(meter "$work/ours.wav")
  read -r ti tp < <(meter "$work/theirs.wav" 2>/dev/null || echo "- -")
  printf '%-44s %11s %10s %11s %10s\n' "$(basename "$f")" "$oi" "$op" "$ti" "$tp"
  ours+=("$oi") theirs+=("$ti") peaks+=("$op")
done
spread() { printf '%s\n' "$@" | grep -E '^-?[0-9.]+$' | sort -g | awk '{a[NR]=$1} END {if (NR) printf "min %s, median %s, max %s (%d files)", a[1], a[int((NR+1)/2)], a[NR], NR}'; }
echo
echo "TapeVantrel loudness:       $(spread "${ours[@]}")"
echo "TapeVantrel true peak:      $(spread "${peaks[@]}")"
echo "fluidsynth -g 0.2 loudness: $(spread "${theirs[@]}")"
echo "target: loudness between -20 and -10 LUFS for typical files, true peak at most -1 dBTP"
