#!/usr/bin/env bash
# A sound input paced in real time, for window tests that need the program to
# record real audio: a private PulseAudio server with a null sink whose
# monitor is the default recording source. ALSA's default device reaches it
# through the PulseAudio plugin (libasound2-plugins), so PortAudio records
# whatever is played into the sink, at the pace it is played.
#
#   paced-audio.sh start DIR          start a server whose runtime folder is DIR
#   paced-audio.sh play DIR FILE ...  play FILE into the sink (paplay options
#                                     may follow); prints the player's pid
#   paced-audio.sh stop DIR           stop the server started in DIR, by its pid
#
# Clients find the server with XDG_RUNTIME_DIR=DIR (or PULSE_SERVER=unix:DIR/pulse/native).
# `start` exits non-zero, with a message, when no server can be started.
set -u

command=${1:-}
dir=${2:-}
if [ -z "$command" ] || [ -z "$dir" ]; then
    echo "usage: $0 start|play|stop DIR [FILE [paplay options]]" >&2
    exit 2
fi
export XDG_RUNTIME_DIR=$dir
# The server's cookie and state stay inside DIR too, away from the user's.
export HOME=$dir PULSE_STATE_PATH=$dir/state PULSE_RUNTIME_PATH=$dir/pulse
unset PULSE_SERVER

case "$command" in
start)
    for tool in pulseaudio pactl paplay; do
        command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
    done
    mkdir -p "$dir" && chmod 700 "$dir"
    # Root is allowed a per-user server when its runtime folder is private.
    if ! pulseaudio -n --daemonize=yes --exit-idle-time=-1 --disallow-exit --log-target=file:"$dir/server.log" \
        -L "module-native-protocol-unix auth-anonymous=1" -L "module-null-sink sink_name=vsink" 2>>"$dir/server.log"; then
        echo "the PulseAudio server did not start (see $dir/server.log)" >&2
        exit 1
    fi
    for _ in $(seq 50); do
        pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    if ! pactl set-default-source vsink.monitor; then
        echo "the PulseAudio server does not answer" >&2
        [ -f "$dir/pulse/pid" ] && kill "$(cat "$dir/pulse/pid")" 2>/dev/null
        exit 1
    fi
    ;;
play)
    file=${3:?a file to play}
    shift 3
    paplay --device=vsink "$@" "$file" </dev/null >/dev/null 2>>"$dir/player.log" &
    echo $!
    ;;
stop)
    if [ -f "$dir/pulse/pid" ]; then
        pid=$(cat "$dir/pulse/pid")
        kill "$pid" 2>/dev/null
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
    fi
    ;;
*)
    echo "unknown command $command" >&2
    exit 2
    ;;
esac
