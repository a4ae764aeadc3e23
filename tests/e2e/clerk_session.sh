#!/usr/bin/env bash
# The clerk's session end to end: the real program, copied into a program folder of its own,
# with a home, settings, runtime and export folders of its own, on an X server of its own, worked
# by the keyboard as a clerk works it (one mouse click: sorting has no key). Then every file it
# wrote is compared byte for byte with what the typed cards must give, and a second start shows
# the window, the filter box and the remembered defaults as the first session left them.
#   clerk_session.sh <QorClient executable>
#   clerk_session.sh <QorClient.exe> <wine-run.sh> <package folder>   the same under Wine (wine.sh)
set -euo pipefail
export LC_ALL=C.UTF-8

here=$(dirname "$(realpath "$0")")
exe=$(realpath "$1")
work=$(mktemp -d)
# Whatever happened, the program, the X server and the window manager are stopped and the
# folder removed.
cleanup() {
    set +e
    stop_client
    declare -F stop_wine >/dev/null && stop_wine
    stop_desktop
    if [ -n "${E2E_KEEP:-}" ]; then
        echo "Kept: $work" >&2
    else
        chmod -R u+w "$work" 2>/dev/null
        rm -rf "$work"
    fi
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

source "$here/desktop.sh"
source "$here/expected.sh"

# Nothing here, the X server and the window manager included, writes into the real home.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/runtime"

meeting='Заседание 21.04'
program="$work/program"
settings="$work/config/QorClient/HKEY_CURRENT_USER.ini"
reports="$work/runtime/tovik"
export_folder="$work/Выгрузка за апрель"
opened_log="$work/opened"

# ---- The program ---------------------------------------------------------------------------

prepare_folders() {
    mkdir -p "$program" "$work/home" "$work/config" "$work/data" "$work/cache" "$work/runtime" \
        "$export_folder" "$work/bin"
    chmod 700 "$work/runtime"
    export_folder=$(realpath "$export_folder")
    prepare_program
}

prepare_program() {
    cp "$exe" "$program/QorClient"
    # The desktop's application for documents: it only notes what it was asked to open.
    cat >"$work/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$1" >>"$opened_log"
EOF
    chmod +x "$work/bin/xdg-open"
}

# start_client <now>: the program with the clock fixed at <now> (ISO date and time).
start_client() {
    env -i PATH="$work/bin:$PATH" HOME="$HOME" LANG=C.UTF-8 DISPLAY="$DISPLAY" \
        XDG_CONFIG_HOME="$XDG_CONFIG_HOME" XDG_DATA_HOME="$XDG_DATA_HOME" \
        XDG_CACHE_HOME="$XDG_CACHE_HOME" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" \
        QT_QPA_PLATFORM=xcb QORCLIENT_TEST_NOW="$1" \
        ASAN_OPTIONS="${ASAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" \
        LSAN_OPTIONS="suppressions=$here/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
        "$program/QorClient" >>"$work/client.log" 2>&1 &
    client_pid=$!
    await '^Ордана$'
}

client_ended() {
    ! kill -0 "$client_pid" 2>/dev/null
}

# Waits for the program to end by itself and checks that it ended well.
await_client_end() {
    local status=0
    wait_until 30 client_ended || fail "the program did not end after Alt+X"
    wait "$client_pid" || status=$?
    client_pid=
    [ "$status" -eq 0 ] || fail "the program ended with status $status: $(tail -20 "$work/client.log")"
}

stop_client() {
    if [ -n "${client_pid:-}" ]; then
        kill "$client_pid" 2>/dev/null
        wait "$client_pid" 2>/dev/null
        client_pid=
    fi
    return 0
}

# ---- The clerk's steps -----------------------------------------------------------------------

# The main window is moved and made larger, as a clerk drags it; where it is then is what the
# next start must show.
arrange_window() {
    xdotool getactivewindow windowsize %1 760 520 windowmove %1 40 30
    wait_until 10 window_has_size 760 520 || fail "the window manager did not resize the window"
    window_geometry=$(geometry_of_active_window)
}

geometry_of_active_window() {
    xdotool getactivewindow getwindowgeometry --shell | grep -E '^(X|Y|WIDTH|HEIGHT)='
}

window_has_size() {
    local geometry
    geometry=$(geometry_of_active_window)
    grep -qx "WIDTH=$1" <<<"$geometry" && grep -qx "HEIGHT=$2" <<<"$geometry"
}

# The focus starts in the card list; three Tabs on (the filter box, the meeting selector) is
# "Новое заседание". The proposed name comes selected, so typing replaces it.
create_meeting() {
    press Tab Tab Tab space
    await '^Добавить заседание комиссии$'
    type_text "$meeting"
    press Return
    await '^Ордана$'
}

# remember_with_button: Space on a remember button, then OK in its message.
remember_with_button() {
    press space
    await '^Сообщение$'
    press Return
    await '^Новая карточка$'
}

# The first doctor, every box typed; the "(кому)" forms typed over the copied names; the
# workplace and its detail remembered with the buttons beside them.
type_first_doctor() {
    press Insert
    await '^Новая карточка$'
    type_text '(врачи) Экспертная группа тер'   # subcommission: the box chooses as it is typed
    press Tab; type_text 'яковлева'               # names: written in capitals
    press Tab; type_text 'анна'
    press Tab; type_text 'сергеевна'
    press Tab; type_text 'яковлевой'              # the "(кому)" forms, over the copies
    press Tab; type_text 'анне'
    press Tab; type_text 'сергеевне'
    press Tab; type_text 'Тер'                    # specialty: Терапия
    press Tab; type_text 'Областной к'            # workplace
    press Tab; remember_with_button               # remembered as the default workplace
    press Tab; type_text 'терапевтическое отделение № 2'
    press Tab; remember_with_button               # remembered as the default detail
    press Tab; type_text 'врач-терапевт'          # position
    press Tab; type_text 'п'                      # category held: ПЕРВАЯ
    press Tab; type_text '12.04.2012'             # granted on (the date box)
    press Tab; type_text '245-к'                  # order number
    press Tab; type_text 'вы'                     # category applied for: ВЫСШАЯ
    press Tab; type_text 'присвоить в'            # decision: ВЫСШУЮ
    press alt+Cyrillic_em                         # "При&менить"
}

# The second doctor on the next new card ("Следующая"): type, subcommission, workplace and its
# detail come remembered; the "(кому)" forms stay the copies of the names.
type_second_doctor() {
    press Tab space                               # "Следующая"; the focus goes to the surname
    type_text 'антонов'
    press Tab; type_text 'пётр'
    press Tab; type_text 'ильич'
    press Tab Tab Tab                             # the "(кому)" forms as copied
    press Tab; type_text 'Педи'                   # Педиатрия
    press Tab Tab                                 # the remembered workplace, its button
    press Tab; type_text 'педиатрическое отделение'
    press Tab                                     # past the button: not remembered
    press Tab; type_text 'врач-педиатр'
    press Tab Tab Tab                             # no category held, no date, no order
    press Tab; type_text 'вт'                     # ВТОРАЯ
    press Tab; type_text 'присвоить вт'
    press alt+Cyrillic_em
    press alt+Cyrillic_ha                         # "Вы&ход"
    await '^Ордана$'
}

# The mid-level worker: the remembered doctors' subcommission changed, so the card becomes a
# mid-level one; another workplace, not remembered; the remembered detail emptied.
type_midlevel_worker() {
    press Insert
    await '^Новая карточка$'
    press shift+Tab                               # back from the surname to the subcommission
    type_text '(с'                                # (средние) СБМК «Сестринское дело», ...
    press Tab; type_text 'смирнова'
    press Tab; type_text 'ольга'
    press Tab; type_text 'викторовна'
    press Tab; type_text 'смирновой'
    press Tab; type_text 'ольге'
    press Tab; type_text 'викторовне'
    press Tab; type_text 'Сестр'                  # Сестринское дело, from the mid-level list
    press Tab; type_text 'поликлиника 3'          # by words inside: Городская поликлиника № 3
    press Tab Tab BackSpace                       # the remembered detail removed
    press Tab Tab; type_text 'медицинская сестра п'
    press Tab; type_text 'вт'
    press Tab; type_text '01032014'               # 01.03.2014, typed without dots
    press Tab; type_text '17/2-лс'
    press Tab; type_text 'п'
    press Tab; type_text 'присвоить п'
    press alt+Cyrillic_em
    press alt+Cyrillic_ha
    await '^Ордана$'
}

# From the card list, where the focus came back, one Tab on is the filter box; Down steps from
# "Врачи и средние" to "Врачи" (typing "Врачи" keeps the first, which begins so).
filter_to_doctors() {
    press Tab Down
}

# The one mouse click of the session: the title "Фамилия" of the card list sorts by surname
# (the title row lies under the menu, the tool bar and the meeting strip; the column after
# "Врач или средний медработник").
sort_by_surname() {
    click_at "${surname_title[@]}"
}
surname_title=(320 97)

# Alt+Ф opens "&Файл", П is its "&Печать...": the list lands in the report folder and is
# handed to the desktop.
print_list() {
    press alt+Cyrillic_ef Cyrillic_pe
    wait_until 30 test -s "$opened_log" || fail "the printed list was not handed to the desktop"
}

# Alt+С opens "&Сервис", Enter takes its first item "Выгрузить..." (it has no access letter);
# the folder is typed into the folder picker, then the count is confirmed.
export_cards() {
    press alt+Cyrillic_es Return
    await '^Выберите папку для сохранения выгрузки:$'
    press ctrl+a
    type_text "$(typed_export_folder)"
    press Return
    await '^Сообщение$'
    press Return
    await '^Ордана$'
}

typed_export_folder() {
    echo "$export_folder/"
}

# "Вы&ход" of the main window: Alt+X.
close_program() {
    press alt+x
    await_client_end
}

# The next day: one more card, with nothing typed where the defaults fill in.
type_card_with_defaults() {
    press Insert
    await '^Новая карточка$'
    type_text 'волкова'                           # the focus starts at the surname
    press Tab; type_text 'мария'
    press Tab; type_text 'ивановна'
    press Tab Tab Tab
    press Tab; type_text 'Лечебное д'             # Лечебное дело
    press Tab Tab Tab Tab                         # workplace and detail as remembered
    press Tab; type_text 'медицинская сестра у'
    press Tab Tab Tab
    press Tab; type_text 'в'
    press Tab; type_text 'присвоить вт'
    press alt+Cyrillic_em
    press alt+Cyrillic_ha
    await '^Ордана$'
}

# A card deleted by mistake (the new one, current in the list): the question's safe answer is
# the default, so Shift+Tab goes to "OK"; then "Сервис" (Alt+С), "История заседания..." (И),
# and "Восстановить" (Alt+В) on the newest version, the meeting as it was before the delete.
delete_by_mistake_and_restore() {
    press Delete
    await '^Подтверждение удаления$'
    press shift+Tab space
    await '^Ордана$'
    wait_until 10 has_cards 3 || fail "the card was not deleted: $(cards_in_meeting) cards"
    press alt+Cyrillic_es Cyrillic_i
    await '^История заседания '
    press alt+Cyrillic_ve
    await '^Ордана$'
    wait_until 10 has_cards 4 || fail "the version was not restored: $(cards_in_meeting) cards"
}

cards_in_meeting() {
    grep -c '^\[' "$program/$meeting.dat"
}

has_cards() {
    [ "$(cards_in_meeting)" = "$1" ]
}

# ---- Checks --------------------------------------------------------------------------------

# same_bytes <what> <file> <expected file>
same_bytes() {
    [ -f "$2" ] || fail "$1: no file $2"
    cmp "$3" "$2" >/dev/null || {
        diff <(readable "$3") <(readable "$2") >&2 || true
        fail "$1 is not as the typed cards must give (above: < expected, > written): $2"
    }
}

# A Windows-1251 file in UTF-8, its CR and TAB made visible.
readable() {
    iconv -f CP1251 -t UTF-8 "$1" | sed -e 's/\r/<CR>/g' -e 's/\t/<TAB>/g'
}

# ini_section <name>: the lines of one section of the settings file, without its heading.
ini_section() {
    heading="[$1]" awk '$0 == ENVIRON["heading"] { inside = 1; next } /^\[/ { inside = 0 }
        inside && $0 != "" { print }' "$settings"
}

# setting <name>: a value of the main window's section.
setting() {
    ini_section 'Software\VELNOR\Ордана 2017\TfmMain' | sed -n "s/^$1=//p"
}

grid_setting() {
    ini_section TfmMainDBGridEh1 | sed -n "s/^DBGridEh1\.$1=//p"
}

# The meeting file holds the three cards in the order typed; the export the two doctors only,
# by surname (the filter and the order of the list); the log one entry; the printed list the
# doctors' rows, read-only, handed to the desktop; the settings the four remembered defaults.
check_first_session() {
    card_file card_yakovleva card_antonov card_smirnova >"$work/expected.dat"
    same_bytes "the meeting file" "$program/$meeting.dat" "$work/expected.dat"

    card_file card_antonov card_yakovleva >"$work/expected.exp"
    same_bytes "the export file (the doctors, by surname)" "$export_folder/Qor21.exp" \
        "$work/expected.exp"

    export_log_entry "$(exported_file)" '21.04.2017 9:05:27' 2 >"$work/expected.log"
    same_bytes "the export log" "$program/Export.log" "$work/expected.log"

    printed_list "Список для заседания комиссии \"$meeting\"" row_antonov row_yakovleva \
        >"$work/expected.rtf"
    same_bytes "the printed list" "$reports/R0.rtf" "$work/expected.rtf"
    [ $((0$(stat -c %a "$reports/R0.rtf") & 0222)) -eq 0 ] ||
        fail "the printed list is not read-only: $(stat -c %A "$reports/R0.rtf")"
    [ "$(tr -d '\r' <"$opened_log")" = "$(opened_list)" ] ||
        fail "the desktop was asked to open '$(cat "$opened_log")', not the printed list"

    [ "$(stored_defaults)" = "$(remembered_defaults)" ] ||
        fail "the remembered defaults are not as set: $(stored_defaults)"
}

# The path of the export file as the log names it, the document the desktop was asked to open,
# the remembered defaults as the settings hold them.
exported_file() {
    echo "$export_folder/Qor21.exp"
}

opened_list() {
    echo "file://$reports/R0.rtf"
}

stored_defaults() {
    ini_section 'Software\VELNOR\Ордана 2017\Defaults'
}

# The filter box and one column as a clerk's settings may hold them: not the designed widths.
change_stored_widths() {
    sed -i -e 's/^lcbFTYPE_Width=151$/lcbFTYPE_Width=190/' \
        -e 's/^DBGridEh1\.FAM=1,187,/DBGridEh1.FAM=1,240,/' "$settings"
    [ "$(setting lcbFTYPE_Width)" = 190 ] && [[ $(grid_setting FAM) == 1,240,* ]] ||
        fail "the settings file does not hold the widths where expected: $(cat "$settings")"
}

# The window stands where the first session left it (the designed place is the screen's centre).
check_window_restored() {
    local now
    now=$(geometry_of_active_window)
    [ "$now" = "$window_geometry" ] ||
        fail "the window is not where it was left: $(echo $now), left at $(echo $window_geometry)"
}

# The new card took the remembered workplace (not the one typed last), its detail (emptied on
# the last card, not forgotten), type and subcommission; the stored widths came back and were
# stored again as they were.
check_second_session() {
    card_file card_yakovleva card_antonov card_smirnova card_volkova >"$work/expected.dat"
    same_bytes "the meeting file after the second session" "$program/$meeting.dat" \
        "$work/expected.dat"
    [ "$(setting lcbFTYPE_Width)" = 190 ] ||
        fail "the filter box did not keep its stored width: $(setting lcbFTYPE_Width)"
    [[ $(grid_setting FAM) == 1,240,* ]] ||
        fail "the column Фамилия did not keep its stored width: $(grid_setting FAM)"
}

# step <function>: runs one step of the session, saying which and when.
step() {
    echo "$((SECONDS - started)) s: $*"
    "$@"
}

# ---- The session -----------------------------------------------------------------------------

# Under Wine, the same session against the Windows program: wine.sh says what differs there.
if [ $# -ge 3 ]; then
    source "$here/wine.sh" "$2" "$3"
fi

need_tools
prepare_folders
start_desktop
started=$SECONDS

step start_client 2017-04-21T09:05:27
step arrange_window
step create_meeting
step type_first_doctor
step type_second_doctor
step type_midlevel_worker
step filter_to_doctors
step sort_by_surname
step print_list
step export_cards
step close_program
step check_first_session

step change_stored_widths
step start_client 2017-04-22T14:30:00
step check_window_restored
step type_card_with_defaults
step delete_by_mistake_and_restore
step close_program
step check_second_session
declare -F platform_steps >/dev/null && platform_steps

echo "The clerk's session passed in $((SECONDS - started)) s."
