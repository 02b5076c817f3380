#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: check-statics.sh LIBRARY...
# The runtime keeps its state in objects: what a window waits to repaint is the window's,
# what a lesson holds is its form's. A variable at namespace scope or a static local that
# can change (in .bss or .data, not the read-only data or .data.rel.ro) fails this check
# unless it is one of the few below, each kept for the reason given beside it.
set -euo pipefail

allowed=(
    # Once-guards for what Qt keeps once per process: its font database, its list of
    # accessibility factories.
    'forms::installFontMapping()::installed'
    'forms::installAccessibility()::installed'
    # A message handler is a bare function: what it needs lives beside it, and only while
    # the application is made.
    'forms::(anonymous namespace)::passOn'
    'forms::(anonymous namespace)::held'
    'forms::(anonymous namespace)::startingProgram'
    # Caches: the glyph pictures kept across captions, and what was learnt of each face.
    'forms::(anonymous namespace)::keptPictures()::pictures'
    'forms::TextShaper::TextShaper(QFont)::{lambda()#1}::operator()() const::known'
)

status=0
for library in "$@"; do
    # System V format names each symbol's section. Weak and unique symbols (the exception
    # personality, Qt's meta-type interfaces) are the compiler's and Qt's, not ours; names
    # beginning with an underscore or a dot are the sanitizers'.
    while IFS='|' read -r name _ class _ _ _ section; do
        name="${name%"${name##*[![:space:]]}"}"
        class="${class//[[:space:]]/}"
        section="${section//[[:space:]]/}"
        [[ "$class" =~ ^[bBdD]$ ]] || continue
        [[ "$section" =~ ^\.(bss|data)(\.|$) && ! "$section" =~ rel\.ro ]] || continue
        [[ "$name" =~ ^[_.] ]] && continue
        owner="${name#guard variable for }"
        for entry in "${allowed[@]}"; do
            [[ "$owner" == "$entry" ]] && continue 2
        done
        echo "$(basename "$library"): mutable static state: $name ($section)"
        status=1
    done < <(nm -C -f sysv --defined-only "$library" 2>/dev/null)
done
exit $status
