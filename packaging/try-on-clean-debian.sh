#!/usr/bin/env bash
# Installs a built Debian package on a clean Debian 12 root with apt, as a
# technician would, and runs the programs from it. Needs root, debootstrap and
# Debian's mirror; takes minutes, so it is not part of ./dev test.
#   packaging/try-on-clean-debian.sh PACKAGE.deb [CLEAN_ROOT]
# CLEAN_ROOT, made once with `debootstrap bookworm CLEAN_ROOT`, is copied and
# left untouched; without it a fresh root is made first.
set -euo pipefail
deb=$(realpath "$1")
work=$(mktemp -d /var/tmp/zt6100-clean-debian.XXXXXX)
root=$work/root
mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount "${mounted[i]}" || true; done
  rm -rf "$work"
}
trap cleanup EXIT

if [ -n "${2:-}" ]; then
  cp -a "$2" "$root"
else
  debootstrap bookworm "$root"
fi
mount_into() {
  mount "$@"
  mounted+=("${*: -1}")
}
mount_into -t proc proc "$root/proc"
mount_into --bind /dev/pts "$root/dev/pts"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"

in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "/tmp/$(basename "$deb")" \
  >"$work/apt.log" || { cat "$work/apt.log"; exit 1; }
echo "Installed $(basename "$deb") and $(grep -c '^Setting up' "$work/apt.log") packages with it."
# The captions' font came with the package's dependencies.
cjk_font=$(in_root dpkg-query -W -f='${db:Status-Status} ${Package}\n' fonts-wqy-microhei \
  fonts-noto-cjk 2>/dev/null | sed -n 's/^installed //p')
[ -n "$cjk_font" ] || { echo "no CJK font installed"; exit 1; }
echo "CJK font: $cjk_font"
for program in zt6100-console zt6100ctl zt6100-sim; do
  in_root env QT_QPA_PLATFORM=offscreen "$program" --version
done
echo "$ zt6100ctl --simulate poll --count 2"
in_root zt6100ctl --simulate poll --count 2
echo "Clean Debian 12: the package installs and polls the simulated meter."
