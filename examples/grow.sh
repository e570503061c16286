#!/bin/sh
# Writes a trace the way a running test rig does: a header, then one sample every 0.2 s.
# Open the trace in gvz-studio and turn on File > Auto Reload to watch it grow.
#   sh examples/grow.sh /tmp/live.gvz &
#   build/bin/gvz-studio /tmp/live.gvz
out=${1:-/tmp/live.gvz}
printf 'step\tsine\tsaw\n' > "$out"
i=0
while :; do
    awk -v i="$i" 'BEGIN { printf "%d\t%.4f\t%d\n", i, sin(i / 10), i % 25 }' >> "$out"
    i=$((i + 1))
    sleep 0.2
done
