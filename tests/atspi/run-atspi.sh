#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the AT-SPI test on a private session bus, or says why it cannot.
# usage: run-atspi.sh dorvane=PATH skelvin=PATH quillet=PATH
here="$(cd "$(dirname "$0")" && pwd)"
for tool in dbus-run-session Xvfb xdpyinfo xprop openbox xdotool /usr/bin/python3; do
    command -v "$tool" > /dev/null || { echo "SKIP   : $tool is not installed"; exit 0; }
done
/usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0"); import pyatspi' 2> /dev/null ||
    { echo "SKIP   : python3-pyatspi (AT-SPI client) is not installed"; exit 0; }
[ -e /usr/share/dbus-1/services/org.a11y.Bus.service ] ||
    { echo "SKIP   : at-spi2-core (the AT-SPI registry) is not installed"; exit 0; }
exec dbus-run-session -- /usr/bin/python3 "$here/tst_atspi.py" "$@"
