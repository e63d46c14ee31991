# Services the tests use, started when they are not running and stopped afterwards.
# Sourced by test.sh.
started_pulse=""

# A PulseAudio daemon with a null sink, so the player plays for real without a sound card.
start_pulse() {
  if command -v pactl >/dev/null && pactl info >/dev/null 2>&1; then
    return 0
  fi
  if command -v pulseaudio >/dev/null; then
    pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
      --load="module-null-sink sink_name=nullsink" \
      --load=module-native-protocol-unix >/dev/null 2>&1 || true
    for _ in $(seq 1 50); do
      pactl info >/dev/null 2>&1 && { started_pulse=1; break; }
      sleep 0.1
    done
  fi
}

stop_pulse() {
  if [ -n "$started_pulse" ]; then
    pulseaudio --kill >/dev/null 2>&1 || true
  fi
}

# Speech for the screen reader tests.
start_speech() {
  :
}

stop_speech() {
  :
}

start_services() {
  start_pulse
  start_speech
}

stop_services() {
  stop_speech
  stop_pulse
}
