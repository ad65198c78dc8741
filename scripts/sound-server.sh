# Sourced by the scripts: start_private_sound_server starts a PulseAudio
# server of our own with a null sink named "deck" in a private runtime
# folder; stop_private_sound_server stops it and removes the folder.

start_private_sound_server() {
  TV_SOUND_RUNTIME=$(mktemp -d)
  chmod 700 "$TV_SOUND_RUNTIME"
  export XDG_RUNTIME_DIR=$TV_SOUND_RUNTIME
  export PULSE_RUNTIME_PATH=$TV_SOUND_RUNTIME/pulse
  unset PULSE_SERVER
  pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit -n --use-pid-file=yes \
    --log-target=file:"$TV_SOUND_RUNTIME/pulse.log" \
    --load="module-null-sink sink_name=deck" \
    --load="module-native-protocol-unix" \
    --load="module-always-sink" >/dev/null 2>&1
  for _ in $(seq 50); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
  done
  if ! pactl info >/dev/null 2>&1; then
    echo "The private PulseAudio server did not start; its log:" >&2
    cat "$TV_SOUND_RUNTIME/pulse.log" >&2 || true
    return 1
  fi
  pactl set-default-sink deck
  # A null sink wakes only as often as its most demanding listener asks, up
  # to every two seconds; a sound card runs every few milliseconds. A
  # low-latency listener on its monitor makes it keep a sound card's pace.
  parec -d deck.monitor --latency-msec=10 >/dev/null 2>&1 &
  TV_SOUND_PACER=$!
  # The first stream after the server starts is held back about 1.5 s while
  # the null sink settles; let a short silence take that wait, not a test.
  head -c 17640 /dev/zero | pacat --raw --format=s16le --rate=44100 --channels=2 --latency-msec=20 >/dev/null 2>&1 || true
}

stop_private_sound_server() {
  if [[ -n "${TV_SOUND_PACER:-}" ]]; then
    kill "$TV_SOUND_PACER" 2>/dev/null || true
    wait "$TV_SOUND_PACER" 2>/dev/null || true
    TV_SOUND_PACER=
  fi
  if [[ -n "${TV_SOUND_RUNTIME:-}" ]]; then
    pulseaudio --kill >/dev/null 2>&1 || true
    rm -rf "$TV_SOUND_RUNTIME"
    TV_SOUND_RUNTIME=
  fi
}
