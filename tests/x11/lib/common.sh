# The set-up every X11 check shares, sourced by tests/x11/*.sh (this folder is
# not a check of its own): argument and tool checks, a work folder and the
# processes it started that are cleaned up on any exit, an Xvfb on a free
# display, a Qt environment that no desktop setting reaches, and starting the
# program until its main window is on screen.
#
# A check starts with
#   source "$(dirname "$0")/lib/common.sh"
#   x11_check <name> "$@" <tools it needs...>
# which sets binary, source_dir, build_dir and work, and defines fail and
# note, whose messages start with <name>.

# Takes the check's name, its three arguments (pelarin binary, source dir,
# build dir) and the tools it needs.
x11_check() {
    check_name=$1
    binary=$2
    source_dir=$3
    build_dir=$4
    shift 4
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || fail "$tool is missing (bash scripts/setup.sh test installs it)"
    done
    [ -x "$binary" ] || fail "no program at $binary"

    work=$(mktemp -d)
    xvfb_pid=
    program_pid=
    trap x11_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
}

fail() { echo "$check_name: $*" >&2; exit 1; }
note() { echo "$check_name: $*"; }

# Ends the program and Xvfb, shows what the program printed when the check
# failed, and removes the work folder.
x11_cleanup() {
    local status=$? pid
    for pid in $program_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    if [ "$status" -ne 0 ] && [ -f "$work/program.log" ]; then
        echo "$check_name: program output:" >&2
        cat "$work/program.log" >&2
    fi
    rm -rf "$work"
    exit "$status"
}

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local limit=$(( $1 * 20 )) tries=0
    shift
    until "$@"; do
        tries=$((tries + 1))
        [ "$tries" -ge "$limit" ] && return 1
        sleep 0.05
    done
}

# A portable folder in $work: bin/pelarin (the binary under test) and the
# shipped catalogue, with no Screenshot folder yet (the program makes it).
# The program finds its folders from the file it runs from, with symbolic
# links resolved, so bin/pelarin is a hard link (or a copy), not a symlink.
make_portable_folder() {
    mkdir -p "$work/bin" "$work/Resource"
    ln "$(realpath "$binary")" "$work/bin/pelarin" 2>/dev/null || cp "$binary" "$work/bin/pelarin"
    cp "$source_dir/resources/CashItems.json" "$work/Resource/CashItems.json"
}

# Starts Xvfb with a screen of $1 (WxH) on a display it picks itself (it
# writes the number to fd 3), at $2 dots per inch (96 unless given), and sets
# the environment the program runs in: Qt's own widgets for the file dialogs
# (no desktop theme, no GTK dialog), no scaling forced through Qt's
# variables, a UTF-8 locale so that Korean file names go through
# toLocal8Bit unchanged, and settings and runtime files inside the work
# folder. Like a desktop set to a scaling, a DPI given as $2 is also given to
# the programs as Xft.dpi in the server's resources, which is where Qt on X11
# reads the screen's scale from (without it Qt works the DPI out from the
# screen's size in millimetres, 96.07 on an Xvfb at 96).
start_xvfb() {
    local dpi=${2:-96}
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 "$1x24" -dpi "$dpi" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    wait_for 20 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    export DISPLAY=":$(head -n1 "$work/display")"
    if [ -n "${2:-}" ]; then
        command -v xrdb >/dev/null || fail "xrdb is missing (bash scripts/setup.sh test installs it)"
        echo "Xft.dpi: $dpi" | xrdb -merge || fail "xrdb could not set Xft.dpi on $DISPLAY"
    fi

    unset XDG_CURRENT_DESKTOP DESKTOP_SESSION QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
          QT_AUTO_SCREEN_SCALE_FACTOR QT_FONT_DPI QT_SCALE_FACTOR_ROUNDING_POLICY QT_ENABLE_HIGHDPI_SCALING
    export QT_QPA_PLATFORM=xcb LANG=C.UTF-8 LC_ALL=C.UTF-8
    export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
    mkdir -p "$XDG_CONFIG_HOME" && mkdir -p -m 700 "$XDG_RUNTIME_DIR"
}
stop_xvfb() {
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
}

# Sets window to the visible window whose title matches $1; fails at once
# when the program has ended.
find_window() {
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended: $(cat "$work/program.log")"
    window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
    [ -n "$window" ]
}
visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
hidden() { ! visible "$1"; }
# The id of the visible window titled $1, waiting for it.
window_named() {
    wait_for 20 visible "$1" || fail "no window '$1' appeared"
    xdotool search --onlyvisible --name "$1" | head -n1
}

# Starts the program in folder $1 (its working directory) with the command
# $2..., waits for its main window, sets main to it and gives it the focus.
start_program() {
    local folder=$1
    shift
    (cd "$folder" && exec "$@") >"$work/program.log" 2>&1 &
    program_pid=$!
    wait_for "${program_start_seconds:-30}" find_window '^Pelarin 유틸리티' || fail "no main window appeared"
    main=$window
    xdotool windowfocus --sync "$main"
}
# Asks window $1 to close, as a window manager's close button does.
close_button() {
    python3 "$(dirname "${BASH_SOURCE[0]}")/close-window.py" "$1" || fail "could not ask window $1 to close"
}
# The program started last has ended.
ended() { ! kill -0 "$program_pid" 2>/dev/null; }
stop_program() {
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    program_pid=
}

# The display scaling a check runs at (the screen's DPI over 96); positions
# below are logical and scaled by it.
factor=1
pixels() { awk -v v="$1" -v f="$factor" 'BEGIN { printf "%d", v * f + 0.5 }'; }
# Clicks at the logical position x, y inside window $1.
click() { xdotool mousemove --window "$1" "$(pixels "$2")" "$(pixels "$3")" click 1; }

# The main window's controls sit at fixed places: the control container is at
# 10, 10 in the central widget, which starts below the 21-pixel menu bar.
# Positions are the centres of the controls, in window coordinates.
menu_bar=21
at_main() { click "$main" $((10 + $1)) $((menu_bar + 10 + $2)); }
ratio_field() { at_main 195 15; }
set_button() { at_main 330 15; }
add_button() { at_main 45 95; }
sort_button() { at_main 205 95; }
discount_field() { at_main 440 95; }
fee3_radio() { at_main 408 58; }

# Types the ratio $1 and presses "세팅".
set_ratio() {
    ratio_field
    xdotool type --delay 30 "$1"
    set_button
}

# Registers catalogue row $1 (0-based) at meso price $2 through "추가".
register_item() {
    local row=$1 meso=$2 dialog
    xdotool windowfocus --sync "$main"
    add_button
    dialog=$(window_named '^아이템 등록$')
    xdotool windowfocus --sync "$dialog"
    # Pick the row with the keyboard: the first visible row, Home, then Down.
    click "$dialog" 125 259
    xdotool key Home
    if [ "$row" -gt 0 ]; then
        xdotool key --repeat "$row" --delay 30 Down
    fi
    click "$dialog" 235 145
    xdotool key ctrl+a
    xdotool type --delay 30 "$meso"
    click "$dialog" 185 200
    wait_for 20 hidden '^아이템 등록$' || fail "the registration dialog stayed open"
}

# The picture of window $1 into $2 once it has stopped changing (import and
# compare, from ImageMagick); fails when it kept changing for 10 s.
settled_picture() {
    local window=$1 picture=$2
    settled() {
        import -window "$window" "$work/next.png"
        if [ -f "$work/last.png" ] && compare -metric AE "$work/last.png" "$work/next.png" null: 2>/dev/null; then
            return 0
        fi
        mv "$work/next.png" "$work/last.png"
        return 1
    }
    rm -f "$work/last.png"
    wait_for 10 settled || fail "window $window kept changing"
    mv "$work/next.png" "$picture"
}

# The pictures that Scroll Lock left in $work/Screenshot.
count_pictures() {
    find "$work/Screenshot" -maxdepth 1 -name '*.png' 2>/dev/null | wc -l
}
pictures_are() { [ "$(count_pictures)" -eq "$1" ]; }
# The count must stay at $1 for $2 tenths of a second (about six timer ticks
# each): a second file would come one tick after the first.
pictures_stay() {
    local tenth
    for ((tenth = 0; tenth < $2; tenth++)); do
        pictures_are "$1" || fail "expected $1 picture(s), found $(count_pictures): $(ls "$work/Screenshot")"
        sleep 0.1
    done
}

# Answers the program's file dialog ("파일 선택") by typing path $1 into its
# file name box, which has the focus when the dialog opens (after
# $file_dialog_settle seconds, for a dialog that is slow to take keys). Qt's
# completer may take the first Return when the name matches an existing file,
# so Return is pressed until the dialog is gone.
answer_file_dialog() {
    local path=$1 title=${2:-파일 선택} dialog tries
    dialog=$(window_named "^$title\$")
    xdotool windowfocus --sync "$dialog"
    sleep "${file_dialog_settle:-0}"
    xdotool key ctrl+a
    xdotool type --delay 20 "$path"
    for tries in 1 2 3; do
        xdotool key Return
        wait_for 5 hidden "^$title\$" && return 0
    done
    fail "the file dialog did not take $path"
}
file_is() { [ -f "$1" ] && [ "$(cat "$1")" = "$2" ]; }
