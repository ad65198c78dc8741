# Sourced by the scripts: start_private_sound_server starts a sound server of
# our own with a null sink named "deck" in a private runtime folder, and
# stop_private_sound_server stops every process it started and removes the
# folder. TV_SOUND_SERVER picks the server: pulseaudio (the default) or
# pipewire (PipeWire with WirePlumber and its PulseAudio-compatible server,
# as Debian's desktop runs it). Either way programs reach it through the
# PulseAudio protocol, and $PULSE_RUNTIME_PATH/pid holds the process number
# of the server they talk to.

tv_sound_server_name() {
  echo "${TV_SOUND_SERVER:-pulseaudio}"
}

tv_start_pulseaudio() {
  pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit -n --use-pid-file=yes \
    --log-target=file:"$TV_SOUND_RUNTIME/pulse.log" \
    --load="module-null-sink sink_name=deck" \
    --load="module-native-protocol-unix" >/dev/null 2>&1
}

tv_start_pipewire() {
  mkdir -p "$PULSE_RUNTIME_PATH"
  # WirePlumber needs a session bus; a private one, so that nothing of the
  # machine's own session is touched.
  dbus-daemon --session --address="unix:path=$TV_SOUND_RUNTIME/bus" --nofork --nopidfile >"$TV_SOUND_RUNTIME/dbus.log" 2>&1 &
  TV_SOUND_PIDS+=($!)
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$TV_SOUND_RUNTIME/bus"
  for _ in $(seq 50); do [[ -S $TV_SOUND_RUNTIME/bus ]] && break; sleep 0.1; done
  pipewire >"$TV_SOUND_RUNTIME/pipewire.log" 2>&1 &
  TV_SOUND_PIDS+=($!)
  sleep 0.3
  wireplumber >"$TV_SOUND_RUNTIME/wireplumber.log" 2>&1 &
  TV_SOUND_PIDS+=($!)
  pipewire-pulse >"$TV_SOUND_RUNTIME/pulse.log" 2>&1 &
  TV_SOUND_PIDS+=($!)
  echo "$!" >"$PULSE_RUNTIME_PATH/pid"
  for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl load-module module-null-sink sink_name=deck >/dev/null 2>&1 || true
  for _ in $(seq 50); do pactl list short sinks 2>/dev/null | grep -q $'\tdeck\t' && break; sleep 0.1; done
}

start_private_sound_server() {
  TV_SOUND_RUNTIME=$(mktemp -d)
  chmod 700 "$TV_SOUND_RUNTIME"
  TV_SOUND_PIDS=()
  export XDG_RUNTIME_DIR=$TV_SOUND_RUNTIME
  export PULSE_RUNTIME_PATH=$TV_SOUND_RUNTIME/pulse
  unset PULSE_SERVER
  case "$(tv_sound_server_name)" in
    pulseaudio) tv_start_pulseaudio ;;
    pipewire) tv_start_pipewire ;;
    *)
      echo "TV_SOUND_SERVER must be pulseaudio or pipewire, not \"$TV_SOUND_SERVER\"" >&2
      return 1
      ;;
  esac
  for _ in $(seq 50); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
  done
  if ! pactl info >/dev/null 2>&1 || ! pactl list short sinks 2>/dev/null | grep -q $'\tdeck\t'; then
    echo "The private $(tv_sound_server_name) server did not start; its logs:" >&2
    cat "$TV_SOUND_RUNTIME"/*.log >&2 || true
    stop_private_sound_server
    return 1
  fi
  pactl set-default-sink deck
  # Nothing else: no listener on the monitor and no warm-up stream. A null
  # sink then wakes only as often as its clients ask, as a desktop sink with
  # timer-based scheduling may, and the program must work with that.
}

stop_private_sound_server() {
  if [[ -n "${TV_SOUND_RUNTIME:-}" ]]; then
    if [[ "$(tv_sound_server_name)" == pulseaudio && -f $PULSE_RUNTIME_PATH/pid ]]; then
      # It made itself a daemon: its number is in its pid file.
      local server
      server=$(cat "$PULSE_RUNTIME_PATH/pid")
      kill -CONT "$server" 2>/dev/null || true
      kill "$server" 2>/dev/null || true
      for _ in $(seq 50); do kill -0 "$server" 2>/dev/null || break; sleep 0.1; done
    fi
    # Every process this script started, by its own number; the last
    # started goes first.
    local i
    for ((i = ${#TV_SOUND_PIDS[@]} - 1; i >= 0; i--)); do
      kill -CONT "${TV_SOUND_PIDS[i]}" 2>/dev/null || true
      kill "${TV_SOUND_PIDS[i]}" 2>/dev/null || true
      wait "${TV_SOUND_PIDS[i]}" 2>/dev/null || true
    done
    TV_SOUND_PIDS=()
    rm -rf "$TV_SOUND_RUNTIME"
    TV_SOUND_RUNTIME=
  fi
}
