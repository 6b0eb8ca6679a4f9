#!/usr/bin/env bash
# First start in an empty folder, then close with the close button: the workspace folders and a
# Quillmaker.xml with the defaults must be left behind.
#   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/drive/first_start.sh build/e2e/bin
source "$(dirname "$0")/lib.sh"

work=$(drive_prepare "${1:?program folder}" bare)
echo "working in $work"
drive_start "$work"
main=$(drive_wait_window "Configurator CF39174")
drive_shot first_start_main
ls -1 "$work"
drive_click "$main" 657 33 # Btn_Close
drive_wait_exit 20
echo "--- Quillmaker.xml"
cat "$work/Quillmaker.xml"
echo
