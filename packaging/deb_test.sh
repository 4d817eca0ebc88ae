#!/usr/bin/env bash
# The Linux package: deb_test.sh TREE [DEB]. Without DEB, packs the built
# native tree TREE with cpack into a temporary directory first. Checks the
# package's fields and exact file list, unpacks it into a scratch root with
# dpkg -x, and runs the three programs from there.
set -uo pipefail
tree=$1
deb=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if [[ -z $deb ]]; then
  (cd "$work" && cpack --config "$tree/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
  deb=$(ls "$work"/out/plotara_*.deb 2>/dev/null | head -n 1)
  [[ -n $deb ]] || { echo "FAIL: cpack wrote no .deb"; exit 1; }
fi

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == plotara ]] || fail "Package is $(field Package)"
[[ $(field Architecture) == "$(dpkg --print-architecture)" ]] || fail "Architecture is $(field Architecture)"
for lib in librsvg2-2 libcairo2 libc6; do
  [[ $(field Depends) == *"$lib"* ]] || fail "Depends does not name $lib: $(field Depends)"
done

dpkg-deb -e "$deb" "$work/control" || fail "dpkg-deb -e failed"
grep -q 'udevadm trigger' "$work/control/postinst" 2>/dev/null || fail "no postinst that applies the udev rule"

expected="./usr/bin/cutter-emu
./usr/bin/plotmark
./usr/bin/plotsend
./usr/lib/udev/rules.d/60-plotara-cutter.rules
./usr/share/doc/plotara/README.md
./usr/share/doc/plotara/plotmark.md"
listed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $NF}' | LC_ALL=C sort)
[[ $listed == "$expected" ]] || fail "the package holds:
$listed
expected:
$expected"

root="$work/root"
dpkg -x "$deb" "$root" || fail "dpkg -x failed"
for program in plotsend plotmark cutter-emu; do
  exe="$root/usr/bin/$program"
  [[ -x $exe ]] || { fail "$program is not an executable in the package"; continue; }
  [[ $(head -c 4 "$exe" | tail -c 3) == ELF ]] || fail "$program is not an ELF program"
  "$exe" --help >"$work/$program.help" 2>&1 || fail "$program --help exited $?"
  grep -qi usage "$work/$program.help" || fail "$program --help printed no usage"
done

# The unpacked plotmark makes a job.
printf '<svg xmlns="http://www.w3.org/2000/svg" width="50mm" height="30mm" viewBox="0 0 50 30"><rect x="5" y="5" width="40" height="20"/></svg>' >"$work/d.svg"
"$root/usr/bin/plotmark" --workdir "$work/job" "$work/d.svg" >/dev/null || fail "the packaged plotmark made no job"
[[ $(cat "$work/job/markref.kv" 2>/dev/null) == "1600,800,400,1,1" ]] || fail "the packaged plotmark wrote markref.kv $(cat "$work/job/markref.kv" 2>/dev/null)"

rules="$root/usr/lib/udev/rules.d/60-plotara-cutter.rules"
for match in 'SUBSYSTEM=="usbmisc", KERNEL=="lp[0-9]*", ATTRS{idVendor}=="0483", ATTRS{idProduct}=="5448", GROUP="plugdev"' \
    'SUBSYSTEM=="usb", ENV{DEVTYPE}=="usb_device", ATTR{idVendor}=="0483", ATTR{idProduct}=="5448", GROUP="plugdev"'; do
  grep -qF -- "$match" "$rules" || fail "the udev rule lacks: $match"
done

if ((failures)); then
  echo "$failures failure(s)"
  exit 1
fi
echo "deb package: ok ($(basename "$deb"))"
