#!/usr/bin/env bash
# wine-run.sh PROGRAM [ARGS...]: runs a Windows program (or a script, which then calls wine itself)
# in the session that tools/wine-session.sh prepared at $WINE_SESSION.
set -euo pipefail
# shellcheck disable=SC1091
. "${WINE_SESSION:?WINE_SESSION names the session folder}/env"
export WINE_SESSION
case $1 in
*.exe) exec wine "$@" ;;
*) exec "$@" ;;
esac
