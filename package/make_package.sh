#!/usr/bin/env bash
# Makes the two archives users get, from the binaries of both trees:
#   TALVORI.ts3_plugin  for the TeamSpeak 3 package installer: package.ini at
#                       the root, and in plugins/ the API-26 DLLs of both
#                       bitnesses and TALVORI.exe (the plugin starts it from
#                       the folder the client answers for getPluginPath, the
#                       folder of the plugin DLLs).
#   TALVORI-api8.zip    the API-8 DLL, TALVORI.exe and a readme, copied by
#                       hand into an old 32-bit client.
# Name, version, author and description come from plugin_info.h, so the
# package says what the DLLs answer the client.
# Usage: make_package.sh <bin dir> <plugin_info.h> <output dir>
set -euo pipefail
bin=$1
info=$2
out=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

fail() {
  echo "make_package: $*" >&2
  exit 1
}

# The text of the string constant `name` in plugin_info.h. Only printable
# ASCII without quotes or backslashes: the header's escapes would reach the
# ini as they are, and the installer's reading of other bytes is unknown.
info_value() {
  local values
  values=$(sed -n "s/^.*[[:space:]]$1\[\] = \"\(.*\)\";.*\$/\1/p" "$info")
  [ "$(printf '%s\n' "$values" | grep -c .)" -eq 1 ] || fail "$info: no single $1"
  if LC_ALL=C grep -q '[^ -~]\|["\\]' <<<"$values"; then
    fail "$info: $1 has characters the package.ini cannot hold: $values"
  fi
  printf '%s' "$values"
}

# A plain value ends up as a list when it holds a comma, so only the
# description (quoted, as the installer's own example has it) may.
plain_value() {
  local value
  value=$(info_value "$1")
  case $value in *,*) fail "$info: $1 may not hold a comma: $value" ;; esac
  printf '%s' "$value"
}

name=$(plain_value kName)
version=$(plain_value kVersion)
author=$(plain_value kAuthor)
description=$(info_value kDescription)

for f in TALVOR_plugin.dll TALVOR_plugin_win32.dll TALVOR_plugin_win64.dll TALVORI.exe; do
  [ -f "$bin/$f" ] || fail "missing $bin/$f"
done

mkdir -p "$out"
stage=$(mktemp -d "$out/.stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT

# -D: no folder entries, -X: no Unix attributes. Every entry is deflated
# (the installer reads no other method); each archive is written beside its
# final name and renamed, so a failed run leaves the previous one whole.
archive() {
  local dir=$1 target=$2
  shift 2
  (cd "$dir" && zip -q -X -D -9 "$stage/$target" "$@")
  mv -f "$stage/$target" "$out/$target"
}

mkdir -p "$stage/ts3/plugins"
cp "$bin/TALVOR_plugin_win32.dll" "$bin/TALVOR_plugin_win64.dll" "$bin/TALVORI.exe" \
  "$stage/ts3/plugins/"
printf '%s\r\n' \
  "Name = $name" \
  "Type = Plugin" \
  "Author = $author" \
  "Version = $version" \
  "Platforms = win32, win64" \
  "Description = \"$description\"" >"$stage/ts3/package.ini"
archive "$stage/ts3" TALVORI.ts3_plugin package.ini plugins/TALVOR_plugin_win32.dll \
  plugins/TALVOR_plugin_win64.dll plugins/TALVORI.exe

mkdir -p "$stage/api8"
cp "$bin/TALVOR_plugin.dll" "$bin/TALVORI.exe" "$stage/api8/"
readme=$(<"$here/api8-readme.txt")
readme=${readme//@VERSION@/"$version"}
sed 's/$/\r/' <<<"$readme" >"$stage/api8/README.txt"
archive "$stage/api8" TALVORI-api8.zip TALVOR_plugin.dll TALVORI.exe README.txt
