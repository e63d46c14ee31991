# Services the tests use, started when they are not running and stopped afterwards.
# Sourced by test.sh.
started_pulse=""
pulse_runtime=""

# A PulseAudio daemon with a null sink, so the player plays for real without a sound card.
# Without a usable runtime folder one is made, and exported so every test finds the daemon.
# norewinds=1: otherwise the idle null sink holds a new stream for up to two seconds.
start_pulse() {
  if command -v pactl >/dev/null && pactl info >/dev/null 2>&1; then
    return 0
  fi
  command -v pulseaudio >/dev/null || return 0
  if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "$XDG_RUNTIME_DIR" ] || [ ! -w "$XDG_RUNTIME_DIR" ]; then
    pulse_runtime="$(mktemp -d /tmp/zindara-runtime.XXXXXX)"
    export XDG_RUNTIME_DIR="$pulse_runtime"
  fi
  pulseaudio --daemonize=yes --exit-idle-time=-1 -n --use-pid-file=yes \
    --load="module-null-sink sink_name=nullsink norewinds=1" \
    --load=module-native-protocol-unix >/dev/null 2>&1 || true
  for _ in $(seq 1 50); do
    if pactl info >/dev/null 2>&1; then
      started_pulse="$(cat "$XDG_RUNTIME_DIR/pulse/pid" 2>/dev/null || echo unknown)"
      pactl set-default-sink nullsink >/dev/null 2>&1 || true
      break
    fi
    sleep 0.1
  done
}

stop_pulse() {
  if [ "$started_pulse" = unknown ]; then
    pulseaudio --kill >/dev/null 2>&1 || true
  elif [ -n "$started_pulse" ]; then
    kill "$started_pulse" >/dev/null 2>&1 || true
    for _ in $(seq 1 30); do
      kill -0 "$started_pulse" 2>/dev/null || break
      sleep 0.1
    done
  fi
  started_pulse=""
  if [ -n "$pulse_runtime" ]; then
    rm -rf "$pulse_runtime"
    pulse_runtime=""
  fi
}

# A speech-dispatcher of the tests' own (its espeak-ng module speaks into the null sink above),
# found by every libspeechd client through SPEECHD_ADDRESS; a user's own server stays untouched.
started_speech=""
speech_dir=""
start_speech() {
  command -v speech-dispatcher >/dev/null || return 0
  speech_dir="$(mktemp -d /tmp/zindara-speech.XXXXXX)"
  mkdir -p "$speech_dir/log"
  # Daemonised (-d) it does not speak into PulseAudio here; in the background it does.
  speech-dispatcher -s -t 0 -S "$speech_dir/speechd.sock" -P "$speech_dir/speechd.pid" \
    -L "$speech_dir/log" >/dev/null 2>&1 &
  started_speech=$!
  for _ in $(seq 1 50); do
    if [ -S "$speech_dir/speechd.sock" ]; then
      export SPEECHD_ADDRESS="unix_socket:$speech_dir/speechd.sock"
      return 0
    fi
    sleep 0.1
  done
  stop_speech
}

stop_speech() {
  if [ -n "$started_speech" ]; then
    kill "$started_speech" >/dev/null 2>&1 || true
    for _ in $(seq 1 30); do
      kill -0 "$started_speech" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$started_speech" >/dev/null 2>&1 || true
    unset SPEECHD_ADDRESS
  fi
  started_speech=""
  if [ -n "$speech_dir" ]; then
    rm -rf "$speech_dir"
    speech_dir=""
  fi
}

start_services() {
  start_pulse
  start_speech
}

stop_services() {
  stop_speech
  stop_pulse
}
