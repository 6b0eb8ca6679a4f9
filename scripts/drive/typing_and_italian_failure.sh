#!/usr/bin/env bash
# By keyboard under Xvfb: the parameters window opened and typed into at once stores what was
# typed; then, in the Italian interface, a build that fails (S7_Protocol.xml not well-formed)
# reports itself in Italian. Screenshots go to $DRIVE_SHOTS.
#   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/drive/typing_and_italian_failure.sh build/test/bin
source "$(dirname "$0")/lib.sh"

work=$(drive_prepare "${1:?program folder}" full)
project="$work/PROJECTS/Plant"
mkdir -p "$project/bin"
settings() {
  cat >"$work/Quillmaker.xml" <<XML
<Conf_Settings><lastproj><projectname>Plant</projectname></lastproj><lastipadd><ipaddress>127.0.0.1</ipaddress></lastipadd><lastlang><language>$1</language></lastlang></Conf_Settings>
XML
}
echo "working in $work, screenshots in $DRIVE_SHOTS"
trap drive_stop EXIT

echo "== Set Communication: type at once, Tab, type, Enter on OK"
settings English
drive_start "$work"
main=$(drive_wait_window "Configurator CF39174")
drive_click "$main" 165 174
w=$(drive_wait_window "Set Communication")
drive_type "$w" "10"
drive_key "$w" period
drive_type "$w" "1"
drive_shot f_typed_at_once
# OK, at its place in the button strip of the 460 by 700 window.
drive_click "$w" 274 680
drive_wait_gone "Set Communication"
drive_stop
grep -o '<S7_Protocol_IP1>10</S7_Protocol_IP1><S7_Protocol_IP2>1</S7_Protocol_IP2>' "$project/ParGen.xml" ||
  { echo "typed octets not stored" >&2; exit 1; }

echo "== Italian: a build that fails reports in Italian"
settings Italiano
printf '<S7_Protocol><S7_Protocol_Read><row Enable="Y"' >"$project/S7_Protocol.xml"
drive_start "$work"
main=$(drive_wait_window "Configurator CF39174")
drive_click "$main" 165 350
box=$(drive_message_box 10)
drive_shot g_italian_build_failure
drive_key "$box" Return
drive_stop
