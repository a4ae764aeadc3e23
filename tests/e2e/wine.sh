# What differs when the clerk's session runs against the Windows program under Wine: the program
# folder is the Windows package, the keyboard is a Russian one as on the clerks' machines, the
# settings are in Wine's registry, the printed list in the Windows user's temporary folder, and
# paths are Windows paths. Sourced by clerk_session.sh after its own definitions, with the
# wine-run.sh of the Windows build and the package folder; the steps and the expected files stay.

wine_run=$(realpath "$1")
package=$(realpath "$2")
# A Windows of the session's own: its registry, its user folders, its file associations.
export QOR_WINEPREFIX="$work/wine"
windows_temp="$QOR_WINEPREFIX/drive_c/users/$(id -un)/Temp"
reports="$windows_temp/tovik"
opened_log="$QOR_WINEPREFIX/drive_c/opened.txt"
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
    wine_reg add 'HKCU\Software\Classes\.rtf' /ve /d QorClientTest.Document /f >/dev/null
    wine_reg add 'HKCU\Software\Classes\QorClientTest.Document\shell\open\command' /ve \
        /d 'C:\windows\system32\cmd.exe /c echo %1>>C:\opened.txt' /f >/dev/null
}

start_client() {
    QORCLIENT_TEST_NOW="$1" "$wine_run" "$program/QorClient.exe" >>"$work/client.log" 2>&1 &
    client_pid=$!
    await '^Ордана$'
}

# The Russian keyboard alone: Wine reads the layout from the keys' letters, and a layout it
# knows gives every Russian letter its own key.
load_keyboard() {
    setxkbmap -layout ru -model pc105 || fail "cannot load the Russian keyboard"
}

windows_path() {
    echo "Z:${1//\//\\}"
}

typed_export_folder() {
    echo "$(windows_path "$export_folder")\\"
}

exported_file() {
    echo "$(windows_path "$export_folder")\\Qor21.exp"
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
