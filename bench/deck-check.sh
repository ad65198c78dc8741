#!/usr/bin/env bash
# deck-check.sh: the deck check on made-up decks of known faults (fast,
# slow with wow, flutter, all at once and rolled off) through a private
# sound server's null sink, its monitor standing for the line in
# (TV_SOUND_SERVER picks PulseAudio or PipeWire). Prints our speed and
# wow-and-flutter figures beside a reference computed offline from the same
# captures with numpy (bench/deck/reference_flutter.py) and the true values.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" "$root/build" >/dev/null
work=$(mktemp -d)
source "$root/scripts/sound-server.sh"
cleanup() { stop_private_sound_server; rm -rf "$work"; }
trap cleanup EXIT
start_private_sound_server
echo "sound server: $(tv_sound_server_name)"
"$root/build/bin/bench_deck_check" "$work" >/dev/null
/usr/bin/python3 "$root/bench/deck/reference_flutter.py" "$work"
