#!/usr/bin/env bash
# Remakes the installed icon sizes and the Windows icon from res/icon.png
# (64 x 64); larger sizes are not made, since they would only be blown up.
# Needs ImageMagick. Run after changing res/icon.png and commit the result.
set -euo pipefail
cd "$(dirname "$0")/../.."
for size in 16 22 24 32 48; do
  mkdir -p "packaging/icons/hicolor/${size}x${size}"
  convert res/icon.png -filter Lanczos -resize "${size}x${size}" -strip \
    -define png:exclude-chunks=date,time "PNG32:packaging/icons/hicolor/${size}x${size}/zt6100-console.png"
done
mkdir -p packaging/icons/hicolor/64x64
cp res/icon.png packaging/icons/hicolor/64x64/zt6100-console.png
convert packaging/icons/hicolor/{16x16,24x24,32x32,48x48,64x64}/zt6100-console.png \
  packaging/windows/zt6100-console.ico
