#!/bin/sh
# Runs a command against a throw-away database cluster of its own: pg_virtualenv with a
# temporary cluster folder (-t, also as root) on a port nobody listens on, so that test runs
# side by side (two test programs, or two checkouts on one machine) never meet.
#   throwaway-cluster.sh PG_VIRTUALENV COMMAND...
set -eu
pg_virtualenv=$1
shift
port=$(python3 -c 'import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])')
PGPORT=$port exec "$pg_virtualenv" -t -o "datestyle=ISO, MDY" "$@"
