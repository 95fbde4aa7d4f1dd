#!/usr/bin/env bash
# The report's screenshot of a 1280x1024 screen (capture, octree reduction,
# PNG at deflate level 9) next to PIL's fast-octree quantize and PNG save
# (compress level 9) of the same captured pixels, in the same run.
#   screenshot_bench.sh WINE_RUN SCREENSHOT_BENCH.exe
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$1" "$2" "Z:$work/capture.rgb" | tr -d '\r'
/usr/bin/python3 - "$work" <<'PY'
import io, sys, time
from PIL import Image
data = open(sys.argv[1] + "/capture.rgb", "rb").read()
image = Image.frombytes("RGB", (1280, 1024), data, "raw", "BGR")
runs, total, size = 5, 0.0, 0
for _ in range(runs):
    start = time.perf_counter()
    out = io.BytesIO()
    image.quantize(256, method=Image.Quantize.FASTOCTREE).save(out, "PNG", compress_level=9)
    total += time.perf_counter() - start
    size = out.tell()
print(f"PIL quantize (fast octree) and PNG save (level 9) of the same pixels: {total / runs * 1000:.1f} ms, {size} bytes")
PY
