# Sourced by scripts/session.sh: decides how this session runs 32-bit
# Windows programs, and sets that up.
#
#   native    the kernel runs 32-bit x86 code: nothing to do.
#   emulated  it does not (or TALVORI_32BIT=emulate asks for it): Wine's
#             32-bit loader runs under qemu-i386 (10 or later; 7.x needs a
#             minute of CPU to start each process) through a binfmt_misc
#             entry of this session's, with a small library preloaded into
#             every emulated process that gives Wine back the trap numbers
#             QEMU leaves out (scripts/emu32/trap_shim.c).
#   not run   neither is possible (or TALVORI_32BIT=off asks for it): the
#             64-bit programs and tests run; the 32-bit tests are shown as
#             not run, with the reason.
#
# Afterwards TALVORI_32BIT_MODE is native, emulated or "not run" and
# TALVORI_32BIT_REASON says why it is not run; talvori_emu32_end removes
# what the set-up registered. qemu-i386 and the library are kept in
# $TALVORI_EMU32_CACHE between sessions.

TALVORI_EMU32_CACHE=${TALVORI_EMU32_CACHE:-/var/cache/talvori-emu32}
TALVORI_32BIT_MODE=""
TALVORI_32BIT_REASON=""
TALVORI_32BIT_QEMU_VERSION=""
talvori_binfmt_entry=""
talvori_binfmt_mounted=""
talvori_binfmt_dir=/proc/sys/fs/binfmt_misc
talvori_wine32=${TALVORI_WINE32:-/usr/lib/wine/wine}

talvori_32bit_not_run() {
  TALVORI_32BIT_MODE="not run"
  TALVORI_32BIT_REASON=$1
}

# Does the kernel run the 32-bit loader? Time-limited: a broken set-up must
# not hang the session.
talvori_32bit_native() {
  timeout 10 "$talvori_wine32" --version >/dev/null 2>&1
}

# The version of a qemu-i386 binary, "" when it does not run.
talvori_qemu_version() {
  timeout 10 "$1" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9][0-9.]*\).*/\1/p'
}

talvori_qemu_usable() {
  local v
  v=$(talvori_qemu_version "$1")
  [ -n "$v" ] && [ "${v%%.*}" -ge 10 ]
}

# The Debian archive this machine installs from, read from its apt sources.
talvori_debian_mirror() {
  local codename=$1
  {
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      awk -v c="$codename" '$1 == "deb" { for (i = 2; i < NF; i++) if ($i !~ /^\[/ && $(i + 1) == c) { print $i; exit } }'
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      awk -v c="$codename" '
        /^$/ { if (ok && uri) { print uri; exit } ok = 0; uri = "" }
        /^URIs:/ { uri = $2 }
        /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == c) ok = 1 }
        END { if (ok && uri) print uri }' "$f"
    done
  } | head -n 1
}

# Brings qemu-i386 >= 10 into the cache: from Debian's packages, the
# machine's own suite when it has one that new, else a newer suite of the
# same archive through a temporary apt configuration (the machine's sources
# and installed packages stay as they are). Only the static binary is
# taken from the package; nothing is installed.
talvori_qemu_fetch() {
  local codename tmp mirror suite deb ok=""
  # shellcheck disable=SC1091
  codename=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
  tmp=$(mktemp -d) || return 1
  mirror=$(talvori_debian_mirror "$codename")
  local -a suites=("")
  if [ -n "$mirror" ] && [ -n "$codename" ]; then
    suites+=("$codename-backports")
    [ "$codename" = bookworm ] && suites+=(trixie)
  fi
  for suite in "${suites[@]}"; do
    local -a apt=()
    if [ -n "$suite" ]; then
      mkdir -p "$tmp/$suite/lists/partial" "$tmp/$suite/cache/archives/partial"
      echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $suite main" \
        >"$tmp/$suite/sources.list"
      apt=(-o "Dir::Etc::SourceList=$tmp/$suite/sources.list" -o Dir::Etc::SourceParts=/nonexistent
           -o "Dir::State::Lists=$tmp/$suite/lists" -o "Dir::Cache=$tmp/$suite/cache"
           -o APT::Architectures::=amd64 -o Acquire::Languages=none)
      timeout 300 apt-get -qq "${apt[@]}" update >/dev/null 2>&1 || continue
    fi
    for pkg in qemu-user qemu-user-static; do
      # Only a package of version 10 or later is worth its 70 MB.
      local v
      v=$(apt-cache "${apt[@]}" show --no-all-versions "$pkg" 2>/dev/null | sed -n 's/^Version: \(.*:\)\{0,1\}\([0-9]*\).*/\2/p' | head -n 1)
      [ -n "$v" ] && [ "$v" -ge 10 ] || continue
      rm -f "$tmp"/*.deb
      (cd "$tmp" && timeout 600 apt-get -qq "${apt[@]}" download "$pkg" >/dev/null 2>&1) || continue
      deb=$(ls "$tmp"/*.deb 2>/dev/null | head -n 1)
      [ -n "$deb" ] || continue
      rm -rf "$tmp/x" && mkdir -p "$tmp/x"
      dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$tmp/x" --wildcards './usr/bin/qemu-i386*' 2>/dev/null
      local bin
      for bin in "$tmp/x/usr/bin/qemu-i386-static" "$tmp/x/usr/bin/qemu-i386"; do
        if [ -f "$bin" ] && talvori_qemu_usable "$bin"; then
          install -m 755 "$bin" "$TALVORI_EMU32_CACHE/qemu-i386" && ok=1
          break 3
        fi
      done
    done
  done
  rm -rf "$tmp"
  [ -n "$ok" ]
}

# The fault-trap library, rebuilt when its source changes. gcc and ld of
# the machine build it against the i386 C library (all three installed by
# scripts/deps.sh: gcc, binutils, libc6:i386).
talvori_trap_shim() {
  local src=$talvori_root/scripts/emu32/trap_shim.c
  local lib=$TALVORI_EMU32_CACHE/trap_shim.so sum
  sum=$(sha256sum "$src" | cut -d' ' -f1)
  [ -f "$lib" ] && [ "$(cat "$lib.sum" 2>/dev/null)" = "$sum" ] && return 0
  local libc
  libc=$(ls /lib/i386-linux-gnu/libc.so.6 /usr/lib/i386-linux-gnu/libc.so.6 2>/dev/null | head -n 1)
  [ -n "$libc" ] || return 1
  gcc -m32 -O2 -fPIC -fno-stack-protector -ffreestanding -fno-builtin -c "$src" \
      -o "$lib.o" &&
    ld -m elf_i386 -shared -o "$lib.tmp" "$lib.o" "$libc" &&
    mv -f "$lib.tmp" "$lib" && echo "$sum" >"$lib.sum"
  local status=$?
  rm -f "$lib.o" "$lib.tmp"
  return $status
}

# Entries left by sessions that were killed before they could clean up.
talvori_binfmt_sweep() {
  local e pid
  for e in "$talvori_binfmt_dir"/talvori-i386-*; do
    [ -e "$e" ] || continue
    pid=${e##*-}
    kill -0 "$pid" 2>/dev/null || echo -1 >"$e" 2>/dev/null || true
  done
}

# Whether another live session has its entry registered. While one is, any
# i386 program starts through that session's emulator, so a check that
# runs one says nothing of the kernel, and the entry goes when that session
# ends: a session then registers its own (emulating even where the kernel
# could run the code, which only costs time).
talvori_binfmt_others_live() {
  local e
  talvori_binfmt_sweep
  for e in "$talvori_binfmt_dir"/talvori-i386-*; do
    [ -e "$e" ] && [ "${e##*/}" != "$talvori_binfmt_entry" ] && return 0
  done
  return 1
}

talvori_emu32_setup() {
  if [ "$(id -u)" -ne 0 ]; then
    talvori_32bit_not_run "the kernel runs no 32-bit code, and emulating it needs root (binfmt_misc)"
    return
  fi
  if [ ! -x "$talvori_wine32" ]; then
    talvori_32bit_not_run "Wine's 32-bit loader ($talvori_wine32) is not installed"
    return
  fi
  if [ ! -e "$talvori_binfmt_dir/register" ]; then
    if mount -t binfmt_misc binfmt_misc "$talvori_binfmt_dir" 2>/dev/null; then
      talvori_binfmt_mounted=1
    else
      talvori_32bit_not_run "binfmt_misc is not available on this kernel"
      return
    fi
  fi
  mkdir -p "$TALVORI_EMU32_CACHE"
  if ! talvori_qemu_usable "$TALVORI_EMU32_CACHE/qemu-i386"; then
    echo "Fetching qemu-i386 10 from Debian's packages (once)..."
    if ! talvori_qemu_fetch; then
      talvori_32bit_not_run "no qemu-i386 of version 10 or later could be fetched"
      return
    fi
  fi
  if ! command -v gcc >/dev/null || ! command -v ld >/dev/null || ! talvori_trap_shim; then
    talvori_32bit_not_run "the fault-trap library could not be built (gcc, ld, i386 libc)"
    return
  fi
  TALVORI_32BIT_QEMU_VERSION=$(talvori_qemu_version "$TALVORI_EMU32_CACHE/qemu-i386")
  # The entry's interpreter: every emulated process gets the library,
  # whoever started it and whatever its environment.
  local launcher=$TALVORI_EMU32_CACHE/run-i386
  printf '#!/bin/sh\nexec "%s" -E LD_PRELOAD="%s" "$@"\n' \
    "$TALVORI_EMU32_CACHE/qemu-i386" "$TALVORI_EMU32_CACHE/trap_shim.so" >"$launcher.tmp"
  chmod 755 "$launcher.tmp" && mv -f "$launcher.tmp" "$launcher"
  talvori_binfmt_sweep
  talvori_binfmt_entry=talvori-i386-$$
  # i386 ELF executables and position-independent ones (e_type 2 or 3).
  local magic='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\xfc\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  if ! echo ":$talvori_binfmt_entry:M::$magic:$mask:$launcher:" >"$talvori_binfmt_dir/register" 2>/dev/null; then
    talvori_binfmt_entry=""
    talvori_32bit_not_run "the binfmt_misc entry for qemu-i386 could not be registered"
    return
  fi
  if ! talvori_32bit_native; then
    talvori_emu32_end
    talvori_32bit_not_run "Wine's 32-bit loader does not start under qemu-i386 $TALVORI_32BIT_QEMU_VERSION"
    return
  fi
  TALVORI_32BIT_MODE=emulated
}

talvori_emu32_start() {
  case ${TALVORI_32BIT:-auto} in
    off)
      talvori_32bit_not_run "switched off (TALVORI_32BIT=off)" ;;
    emulate)
      talvori_emu32_setup ;;
    auto | "")
      if talvori_binfmt_others_live; then
        talvori_emu32_setup
      elif talvori_32bit_native; then
        TALVORI_32BIT_MODE=native
      elif [ ! -x "$talvori_wine32" ]; then
        talvori_32bit_not_run "Wine's 32-bit loader ($talvori_wine32) is not installed"
      else
        talvori_emu32_setup
      fi ;;
    *)
      talvori_32bit_not_run "TALVORI_32BIT=$TALVORI_32BIT is not one of auto, emulate, off" ;;
  esac
  export TALVORI_32BIT_MODE TALVORI_32BIT_REASON TALVORI_32BIT_QEMU_VERSION
}

# The session's one line about it.
talvori_emu32_describe() {
  case $TALVORI_32BIT_MODE in
    native) echo "32-bit programs: native" ;;
    emulated) echo "32-bit programs: under emulation (qemu-i386 $TALVORI_32BIT_QEMU_VERSION)" ;;
    *) echo "32-bit programs: not run: $TALVORI_32BIT_REASON" ;;
  esac
}

talvori_emu32_end() {
  if [ -n "$talvori_binfmt_entry" ] && [ -e "$talvori_binfmt_dir/$talvori_binfmt_entry" ]; then
    echo -1 >"$talvori_binfmt_dir/$talvori_binfmt_entry" 2>/dev/null || true
  fi
  talvori_binfmt_entry=""
  # Another session's entry lives in the mount too.
  if [ -n "$talvori_binfmt_mounted" ] && ! talvori_binfmt_others_live; then
    umount "$talvori_binfmt_dir" 2>/dev/null || true
    talvori_binfmt_mounted=""
  fi
}
