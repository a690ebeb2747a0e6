#!/bin/sh
# Runs a command on a private virtual X display of the given screen size.
# usage: with-xvfb.sh WxHxD command [args...]
screen=$1; shift
exec xvfb-run -a -s "-screen 0 $screen -nolisten tcp" "$@"
