# What differs when the clerk's session runs against the Windows program under Wine: the program
# folder is the Windows package, the keyboard is a Russian one as on the clerks' machines, the
# settings are in Wine's registry, the printed list in the Windows user's temporary folder, and
# paths are Windows paths. Sourced by clerk_session.sh after its own definitions, with the
# wine-run.sh of the Windows build and the package folder; the steps and the expected files stay.

wine_run=$(realpath "$1")
package=$(realpath "$2")
# A Windows of the session's own: its registry, its user folders, its file associations. The
# program is the package's, and finds its libraries beside it alone, as on a clerk's machine.
export QOR_WINEPREFIX="$work/wine" QOR_WINE_PACKAGED=1
windows_temp="$QOR_WINEPREFIX/drive_c/users/$(id -un)/Temp"
reports="$windows_temp/tovik"
opened_log="$QOR_WINEPREFIX/drive_c/opened.txt"
# On the Windows user's desktop, where the folder picker starts: the clerk types its name alone,
# in Russian letters (a Russian keyboard has no Latin ones for a drive letter).
windows_desktop='C:\users\'"$(id -un)"'\Desktop'
export_folder="$QOR_WINEPREFIX/drive_c/users/$(id -un)/Desktop/Выгрузка за апрель"
# The title "Фамилия" of the card list, in the window as the Windows style draws it.
surname_title=(320 104)

# wine_reg <reg.exe arguments...>: reg.exe answers in the console's code page.
wine_reg() {
    "$wine_run" reg "$@" 2>&1 | iconv -f CP866 -t UTF-8 | tr -d '\r'
}

# The package as a clerk unpacks it, with the program of the test build (its clock can be fixed);
# a document handler that only notes what it was asked to open.
prepare_program() {
    cp -r "$package/." "$program/"
    cp "$exe" "$program/QorClient.exe"
    wine_reg add 'HKLM\Software\Classes\.rtf' /ve /d QorClientTest.Document /f >/dev/null
    wine_reg add 'HKLM\Software\Classes\QorClientTest.Document\shell\open\command' /ve \
        /d 'C:\windows\system32\cmd.exe /c echo %1>>C:\opened.txt' /f >/dev/null
}

# start_client <now> [program file]: the session's program, or another copy of it.
start_client() {
    QORCLIENT_TEST_NOW="$1" "$wine_run" "${2:-$program/QorClient.exe}" >>"$work/client.log" 2>&1 &
    client_pid=$!
    await '^Ордана$'
    # Wine makes the window the Windows foreground one a moment after X shows it in front.
    sleep 1
}

# The Russian keyboard alone: Wine reads the layout from the keys' letters, and a layout it
# knows gives every Russian letter its own key.
load_keyboard() {
    setxkbmap -layout ru -model pc105 || fail "cannot load the Russian keyboard"
}

typed_export_folder() {
    echo 'Выгрузка за апрель'
}

exported_file() {
    echo "$windows_desktop"'\Выгрузка за апрель\Qor21.exp'
}

opened_list() {
    echo 'C:\users\'"$(id -un)"'\Temp\tovik\R0.rtf'
}

# reg_values <key>: the values of a key as name=text lines.
reg_values() {
    wine_reg query "HKCU\\$1" | sed -n 's/^    \(.*\)    REG_SZ    \(.*\)$/\1=\2/p'
}

stored_defaults() {
    reg_values 'Software\VELNOR\Ордана 2017\Defaults'
}

# The registry holds the texts as they are, the TAB of the workplace key too.
remembered_defaults() {
    printf '%s\n' $'Line0=@LPU=85\t' \
        'Line1=@JOB=терапевтическое отделение № 2' 'Line2=@FTYPE=2' 'Line3=@PODKOM=410'
}

setting() {
    reg_values 'Software\VELNOR\Ордана 2017\TfmMain' | sed -n "s/^$1=//p"
}

grid_setting() {
    reg_values TfmMainDBGridEh1 | sed -n "s/^DBGridEh1\.$1=//p"
}

change_stored_widths() {
    local fam
    fam=$(grid_setting FAM)
    [[ $fam == 1,187,* ]] || fail "the column Фамилия is not stored as designed: $fam"
    wine_reg add 'HKCU\Software\VELNOR\Ордана 2017\TfmMain' /v lcbFTYPE_Width /d 190 /f >/dev/null
    wine_reg add 'HKCU\TfmMainDBGridEh1' /v DBGridEh1.FAM /d "1,240,${fam#1,187,}" /f >/dev/null
    [ "$(setting lcbFTYPE_Width)" = 190 ] && [[ $(grid_setting FAM) == 1,240,* ]] ||
        fail "the registry does not hold the widths where expected"
}

stop_wine() {
    WINEPREFIX=$QOR_WINEPREFIX wineserver -k 2>/dev/null
    return 0
}

# Windows' own folder picker: Wine's names itself "Выберите папку" whatever the caption, and
# takes the folder typed into its name box.
export_cards() {
    press alt+Cyrillic_es Return
    await '^Выберите папку'
    type_text "$(typed_export_folder)"
    press Return
    await '^Сообщение$'
    press Return
    await '^Ордана$'
}

# ---- Installation on Windows ------------------------------------------------------------------

installed='C:\VELNOR\Ордана 2017'
installed_unix="$QOR_WINEPREFIX/drive_c/VELNOR/Ордана 2017"

# "QorClient.exe SETUP" from the program folder: the proposed folder C:\VELNOR\QorClient2017
# becomes C:\VELNOR\Ордана 2017, and the education variant is ticked.
install_program() {
    "$wine_run" "$program/QorClient.exe" SETUP >>"$work/client.log" 2>&1 &
    client_pid=$!
    await '^Ордана 2017$'
    sleep 1
    press End
    for _ in $(seq 13); do press BackSpace; done
    type_text 'Ордана 2017'
    press Tab space Return
    await '^Ордана 2011$'
    press Return
    await_client_end
}

# The program with its plugins, both shell links, and the variant in the registry.
check_installation() {
    local user_folder="$QOR_WINEPREFIX/drive_c/users/$(id -un)" link
    [ -f "$installed_unix/QorClient.exe" ] && [ -f "$installed_unix/platforms/qwindows.dll" ] ||
        fail "the program is not installed whole: $(ls -R "$installed_unix" 2>&1 | head -20)"
    for link in "$user_folder/Desktop/Ордана 2017.lnk" \
        "$user_folder/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/ГУЗ ВЕЛНОР/Ордана 2017/Ордана 2017.lnk"; do
        [ -s "$link" ] || fail "no shell link $link"
    done
    [ "$(reg_values 'Software\KELM\Ордана 2017' | sed -n 's/^ObrSoc=//p')" = + ] ||
        fail "the education variant is not stored: $(reg_values 'Software\KELM\Ордана 2017')"
}

# The installed program lists the meeting with the education variant's subcommissions: the
# doctors' group 404 is one of them, the mid-level group 410 is not, so the printed list names
# the first and leaves the second's cells empty (the normal variant names both).
print_in_education_variant() {
    start_client 2017-04-23T10:00:00 "$installed_unix/QorClient.exe"
    : >"$opened_log"
    print_list
    close_program
    local list
    list=$(cat "$reports/R0.rtf")
    [[ $list == *"$(rtf_text '(врачи) Экспертная группа терапевтического')"* &&
        $list == *"$(rtf_text 'СМИРНОВА')"* ]] ||
        fail "the printed list lacks the doctors' group 404 or the mid-level card"
    [[ $list != *"$(rtf_text '(средние)')"* ]] ||
        fail "the printed list names a mid-level group: the program is not in the education variant"
}

platform_steps() {
    step install_program
    step check_installation
    step print_in_education_variant
}

# "Вы&ход" through the menu "&Файл": Wine takes Alt+X only from a Latin key, which a Russian
# keyboard has not; xdotool would have to lend one, and that races with the program.
close_program() {
    press alt+Cyrillic_ef Cyrillic_ha
    await_client_end
}
