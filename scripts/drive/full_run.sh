#!/usr/bin/env bash
# A whole session as a new user would have it, by mouse and keyboard only:
# New Configuration "Plant1", Open Configuration, a bad octet refused in Set Communication,
# every editor confirmed with OK, the language switched to Italiano and back, About, and
# Update Device UDP to 127.0.0.1 with the update tool stand-in. Screenshots go to $DRIVE_SHOTS.
#   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/drive/full_run.sh build/e2e/bin
# Click positions are client coordinates of the windows as laid out with the default fonts.
source "$(dirname "$0")/lib.sh"

work=$(drive_prepare "${1:?program folder}" full)
project="$work/PROJECTS/Plant1"
# Remembered address on loopback, so that even a mistyped field can never send the device check
# to the built-in default device address.
cat >"$work/Quillmaker.xml" <<'XML'
<Conf_Settings><lastproj><projectname/></lastproj><lastipadd><ipaddress>127.0.0.1</ipaddress></lastipadd><lastlang><language>English</language></lastlang></Conf_Settings>
XML
echo "working in $work, screenshots in $DRIVE_SHOTS"
trap drive_stop EXIT
drive_start "$work"
main=$(drive_wait_window "Configurator CF39174")

step() { echo "== $*"; }

step "New Configuration Plant1 (Enter confirms)"
drive_click "$main" 165 130
w=$(drive_wait_window "Create New Configuration")
drive_type "$w" "Plant1"
drive_key "$w" Return
drive_wait_gone "Create New Configuration"
[[ -d "$project/bin" ]] && echo "PROJECTS/Plant1/bin created"
drive_shot b_new_configuration

step "Open Configuration, OK on the preselected line"
drive_click "$main" 343 130
w=$(drive_wait_window "Open Configuration")
drive_shot b_open_configuration
drive_click "$w" 178 331
drive_wait_gone "Open Configuration"

step "Set Communication: 300 in the first S7comm octet is refused"
drive_click "$main" 165 174
w=$(drive_wait_window "Set Communication")
xdotool mousemove --window "$w" 217 112 click 1
drive_key "$w" ctrl+a
drive_type "$w" 300
drive_click "$w" 273 679 # OK
box=$(drive_message_box 5)
drive_shot c_bad_octet
[[ ! -e "$project/ParGen.xml" ]] && echo "ParGen.xml not written"
drive_key "$box" Return
xdotool mousemove --window "$w" 217 112 click 1
drive_key "$w" ctrl+a
drive_type "$w" 192
drive_click "$w" 273 679
drive_wait_gone "Set Communication"

step "S7comm Access, IEC61850 Access, TLS Known Certificates: OK"
drive_click "$main" 165 218
w=$(drive_wait_window "S7comm Access")
drive_shot c_s7comm
drive_click "$w" 61 597
drive_wait_gone "S7comm Access"
drive_click "$main" 165 262
w=$(drive_wait_window "Set Variables Access for IEC61850")
drive_click "$w" 60 314
drive_wait_gone "Set Variables Access for IEC61850"
drive_click "$main" 165 306
w=$(drive_wait_window "Known Certificates")
drive_click "$w" 60 314
drive_wait_gone "Known Certificates"
for f in ParGen.xml S7_Protocol.xml IEC61850_Variables.xml TLS_Known_Cert.xml; do
  echo "--- $f"
  cat "$project/$f"
  echo
done

step "Options: Italiano, OK; then English, OK"
drive_click "$main" 599 33
w=$(drive_wait_window "Software Options")
drive_click "$w" 101 210 # Italiano
drive_key "$(drive_message_box 5)" alt+y
drive_shot d_italiano
drive_click "$w" 70 352 # OK
drive_wait_gone "Opzioni Software"
grep -o "<language>[^<]*" "$work/Quillmaker.xml"
drive_click "$main" 599 33
w=$(drive_wait_window "Opzioni Software")
drive_click "$w" 101 156 # English
drive_key "$(drive_message_box 5)" alt+y
drive_click "$w" 70 352
drive_wait_gone "Software Options"
grep -o "<language>[^<]*" "$work/Quillmaker.xml"

step "About"
drive_click "$main" 541 33
w=$(drive_wait_window "About")
drive_shot d_about
drive_key "$w" Return
drive_wait_gone "About"

step "Update Device UDP to 127.0.0.1"
# The firmware image is supplied with the program, never made by the configurator.
head -c 4096 /dev/zero >"$work/MASTER/Sim39174.sim"
drive_click "$main" 165 350
w=$(drive_wait_window "Update Device" 30)
drive_focus "$w"
xdotool type --delay 80 "127.0.0.1" # each "." moves to the next field
sleep 0.5
drive_shot e_update_window
fields=$(xdotool getwindowgeometry "$w" | awk '/Position/ {print $2}')
echo "update window at $fields"
drive_click "$w" 337 209 # Execute Update Firmware
sleep 3
ls -l "$project/bin" "$work/Ethernet_Update.xml"
echo "--- update tool stand-in said"
cat "$work/stdout.log"
drive_click "$w" 75 209 # Cancel
drive_wait_gone "Update Device"

step "Close button"
drive_click "$main" 657 33
drive_wait_exit 20
trap - EXIT
echo "--- Quillmaker.xml"
cat "$work/Quillmaker.xml"
echo
