#!/bin/sh
# Installs the build into a temporary DESTDIR, moves the tree to another
# prefix (so nothing may depend on where it was installed), and checks the
# installation as a user meets it: the files a desktop and `man` look for,
# the desktop entry and AppStream metadata validated, the installed analyser
# reading a tone, and the installed tuner starting under a private X server
# with its resources and stopping cleanly on SIGTERM.
#
#   check-install.sh BUILD_DIR ZELVO_TONE XVFB_RUNNER
set -eu
build=$1 tone=$2 xrun=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/zelvo-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "install check: $*" >&2; exit 1; }

DESTDIR="$work/dest" cmake --install "$build" --prefix /usr >/dev/null
mv "$work/dest/usr" "$work/moved"
prefix="$work/moved"

for f in bin/zelvo-tuner bin/zelvo-analyze \
         share/applications/zelvo-tuner.desktop share/metainfo/zelvo-tuner.metainfo.xml \
         share/icons/hicolor/scalable/apps/zelvo-tuner.svg \
         share/icons/hicolor/16x16/apps/zelvo-tuner.png share/icons/hicolor/256x256/apps/zelvo-tuner.png \
         share/man/man1/zelvo-tuner.1.gz share/man/man1/zelvo-analyze.1.gz \
         share/zelvo-tuner/Tuner.ttf share/zelvo-tuner/Tuner-LICENSE.txt \
         share/zelvo-tuner/manual/zelvo-tuner.hhp share/zelvo-tuner/manual/Intro.html; do
  [ -s "$prefix/$f" ] || fail "missing $f"
done
desktop-file-validate "$prefix/share/applications/zelvo-tuner.desktop" || fail "desktop entry is not valid"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/zelvo-tuner.metainfo.xml" >/dev/null ||
  fail "AppStream metadata is not valid"
zcat "$prefix/share/man/man1/zelvo-analyze.1.gz" | grep -q '^\.TH ZELVO-ANALYZE 1' || fail "man page unreadable"

# The installed analyser on a generated A4.
"$tone" --out "$work/a440.wav" --duration 1.5 --harmonics 4 440 || fail "cannot make the tone"
notes=$("$prefix/bin/zelvo-analyze" --notes "$work/a440.wav") || fail "zelvo-analyze failed"
echo "$notes" | grep -q '^A4' || fail "zelvo-analyze did not hear A4: $notes"
"$prefix/bin/zelvo-analyze" --version | grep -q "^zelvo-analyze " || fail "no --version"
"$prefix/bin/zelvo-tuner" --version | grep -q "^zelvo-tuner " || fail "no --version"

# The installed tuner: PortAudio reads a raw A4 through ALSA's file plugin,
# the settings go to the work folder; after 3 s it must still run, and
# SIGTERM must end it with status 0 and nothing on stderr.
"$tone" --out "$work/a440.raw" --duration 20 440 || fail "cannot make the raw tone"
cat >"$work/asound.conf" <<CONF
defaults.pcm.file_format "raw"
pcm.null { type null }
pcm.default { type file slave.pcm "null" file "/dev/null" infile "$work/a440.raw" format "raw" }
CONF
cat >"$work/run-tuner.sh" <<RUN
#!/bin/sh
ALSA_CONFIG_PATH="$work/asound.conf" ZELVO_TUNER_SETTINGS_DIR="$work/settings" \
  "$prefix/bin/zelvo-tuner" 2>"$work/stderr.txt" &
pid=\$!
sleep 3
kill -0 \$pid 2>/dev/null || { wait \$pid; echo "the installed tuner ended early (status \$?)" >&2; exit 1; }
kill -TERM \$pid
wait \$pid
RUN
chmod +x "$work/run-tuner.sh"
"$xrun" "$work/run-tuner.sh" || fail "the installed tuner did not run: $(cat "$work/stderr.txt")"
[ ! -s "$work/stderr.txt" ] || fail "the installed tuner wrote to stderr: $(cat "$work/stderr.txt")"
[ -s "$work/settings/tuner_config.xml" ] || fail "the installed tuner saved no settings"
echo "install check passed"
