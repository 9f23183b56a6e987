#!/bin/sh
# Starts the installed Koro in the user's own folder, so the files it writes at start and the
# files it reads beside itself are the same ones, and nothing lands in the folder the desktop
# started it from.
case "${XDG_DATA_HOME:-}" in
/*) folder="$XDG_DATA_HOME/koro" ;;
*) folder="$HOME/.local/share/koro" ;;
esac
# A playlist named relative to where the user was must still be found after the change of folder.
here=$(pwd)
for argument in "$@"; do
    shift
    case "$argument" in
    -* | /* | *://* | file:*) ;;
    *) [ -e "$argument" ] && argument="$here/$argument" ;;
    esac
    set -- "$@" "$argument"
done
mkdir -p "$folder" && cd "$folder" || exit 1
exec "$(dirname "$(readlink -f "$0")")/../lib/koro/koro" "$@"
