#!/usr/bin/env bash
# The services the tests use: a PulseAudio daemon with a null sink, so the player plays for real
# without a sound card, and a speech-dispatcher that speaks into it. Both are private to the tests:
# they live in a folder of their own, are found only through PULSE_SERVER and SPEECHD_ADDRESS,
# and a developer's own sound or speech server is neither used nor touched.
#
# CTest runs it as a fixture:    services.sh start DIR   /   services.sh stop DIR
# By hand, in the same shell:    source scripts/services.sh; start_services; ...; stop_services

# Starts both in DIR (made afresh). Returns non-zero when either does not come up.
services_start_in() {
  local dir="$1"
  services_stop_in "$dir"
  mkdir -p "$dir/runtime" "$dir/config" "$dir/state" "$dir/speechd-log" || return 1
  chmod 700 "$dir/runtime"
  command -v pulseaudio >/dev/null || { echo "pulseaudio is not installed" >&2; return 1; }
  command -v speech-dispatcher >/dev/null || { echo "speech-dispatcher is not installed" >&2; return 1; }

  # norewinds=1: otherwise the idle null sink holds a new stream for up to two seconds.
  # auth-anonymous=1: clients need no cookie of this daemon.
  (
    export XDG_RUNTIME_DIR="$dir/runtime" XDG_CONFIG_HOME="$dir/config" XDG_STATE_HOME="$dir/state"
    export PULSE_RUNTIME_PATH="$dir/runtime/pulse" PULSE_STATE_PATH="$dir/state/pulse"
    unset PULSE_SERVER
    pulseaudio --daemonize=yes --exit-idle-time=-1 -n --use-pid-file=yes --system=no \
      --load="module-null-sink sink_name=nullsink norewinds=1" \
      --load="module-native-protocol-unix auth-anonymous=1 socket=$dir/pulse.sock" \
      </dev/null >"$dir/pulse.log" 2>&1
  ) || { echo "pulseaudio did not start, see $dir/pulse.log" >&2; return 1; }
  local i
  for i in $(seq 1 50); do
    PULSE_SERVER="unix:$dir/pulse.sock" pactl info >/dev/null 2>&1 && break
    sleep 0.1
  done
  PULSE_SERVER="unix:$dir/pulse.sock" pactl set-default-sink nullsink >/dev/null 2>&1 \
    || { echo "pulseaudio does not answer" >&2; return 1; }

  # Daemonised (-d) it does not speak into PulseAudio; in its own session it does, and it stays
  # when the caller ends.
  XDG_RUNTIME_DIR="$dir/runtime" XDG_CONFIG_HOME="$dir/config" PULSE_SERVER="unix:$dir/pulse.sock" \
    setsid -f speech-dispatcher -s -t 0 -S "$dir/speechd.sock" -P "$dir/speechd.pid" -L "$dir/speechd-log" \
    </dev/null >/dev/null 2>&1
  for i in $(seq 1 50); do
    [ -S "$dir/speechd.sock" ] && [ -s "$dir/speechd.pid" ] && return 0
    sleep 0.1
  done
  echo "speech-dispatcher did not start" >&2
  return 1
}

# Ends what services_start_in started in DIR, by the process ids it left there, and removes DIR.
services_stop_in() {
  local dir="$1" pidfile pid i
  [ -d "$dir" ] || return 0
  local name
  for pidfile in "$dir/speechd.pid:speech-dispatch" "$dir/runtime/pulse/pid:pulseaudio"; do
    name="${pidfile##*:}"
    pid="$(cat "${pidfile%:*}" 2>/dev/null)" || continue
    [[ "$pid" =~ ^[0-9]+$ ]] || continue
    # A file left by an earlier run may name a process that is no longer ours.
    [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "$name" ] || continue
    kill "$pid" 2>/dev/null || continue
    for i in $(seq 1 30); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
  done
  rm -rf "$dir"
}

# For a shell that sources this file: the services in a temporary folder, exported to every
# program started from that shell afterwards.
services_dir=""
start_services() {
  services_dir="$(mktemp -d /tmp/zindara-services.XXXXXX)"
  if services_start_in "$services_dir"; then
    export PULSE_SERVER="unix:$services_dir/pulse.sock"
    export SPEECHD_ADDRESS="unix_socket:$services_dir/speechd.sock"
  fi
}

stop_services() {
  [ -n "$services_dir" ] && services_stop_in "$services_dir"
  unset PULSE_SERVER SPEECHD_ADDRESS
  services_dir=""
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  case "${1:-}" in
    start) services_start_in "${2:?folder missing}" ;;
    stop) services_stop_in "${2:?folder missing}" ;;
    *) echo "usage: $0 start|stop FOLDER" >&2; exit 2 ;;
  esac
fi
