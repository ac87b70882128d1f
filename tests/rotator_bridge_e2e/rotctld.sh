#!/bin/sh
# Hamlib's rotctld with its dummy rotator (model 1) for the bridge's end-to-end tests. The Windows
# test program runs this under Wine, which starts Linux programs it is asked to start.
#   rotctld.sh start PORT PIDFILE   listens on 127.0.0.1:PORT; ends by itself after 5 minutes, in
#                                   case the test never stops it
#   rotctld.sh kill PIDFILE         kills it at once, as a crash would
set -u
PATH=/usr/bin:/bin
export PATH
case "$1" in
start)
    # The shell writes its own process id and becomes rotctld, which keeps it.
    timeout 300 /bin/sh -c 'echo $$ >"$0"; exec /usr/bin/rotctld -m 1 -T 127.0.0.1 -t "$1"' \
        "$3" "$2" </dev/null >/dev/null 2>&1 &
    ;;
kill)
    [ -f "$2" ] && kill -KILL "$(cat "$2")" 2>/dev/null
    rm -f "$2"
    ;;
esac
