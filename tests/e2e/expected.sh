# What the clerk's cards must give, byte for byte: the card files, the export log and the printed
# list, written here from the cards as typed, never from the program. Sourced by clerk_session.sh.
# Texts are written in UTF-8 and given to the program's code page at the end (windows1251).

# Lines become CR LF lines in Windows-1251; "<TAB>" stands for a tabulator.
windows1251_lines() {
    sed -e 's/<TAB>/\t/g' -e 's/$/\r/' | iconv -f UTF-8 -t CP1251
}

# The cards, each as its field lines in the card file ("@NAME=value", fields in table order).
# The entry date is the program's clock, fixed by the session; the category dates are typed.
card_yakovleva() {
    cat <<'EOF'
@FTYPE=1
@PODKOM=404
@CHANGEDATE=42846-37878
@FAM=ЯКОВЛЕВА
@NAME=АННА
@OTCH=СЕРГЕЕВНА
@FAM2=ЯКОВЛЕВОЙ
@NAME2=АННЕ
@OTCH2=СЕРГЕЕВНЕ
@SPEC=2011.81
@LPU=85<TAB>
@JOB=терапевтическое отделение № 2
@DOL=70
@CAT=1
@CATDATE=41011-00000
@CATNUM=245-к
@DECLCAT=ВЫС
@RESOL=1
EOF
}

card_antonov() {
    cat <<'EOF'
@FTYPE=1
@PODKOM=404
@CHANGEDATE=42846-37878
@FAM=АНТОНОВ
@NAME=ПЁТР
@OTCH=ИЛЬИЧ
@FAM2=АНТОНОВ
@NAME2=ПЁТР
@OTCH2=ИЛЬИЧ
@SPEC=2011.52
@LPU=85<TAB>
@JOB=педиатрическое отделение
@DOL=42
@DECLCAT=2
@RESOL=3
EOF
}

card_smirnova() {
    cat <<'EOF'
@FTYPE=2
@PODKOM=410
@CHANGEDATE=42846-37878
@FAM=СМИРНОВА
@NAME=ОЛЬГА
@OTCH=ВИКТОРОВНА
@FAM2=СМИРНОВОЙ
@NAME2=ОЛЬГЕ
@OTCH2=ВИКТОРОВНЕ
@SPEC=2011.117
@LPU=75<TAB>
@DOL=пм
@CAT=2
@CATDATE=41699-00000
@CATNUM=17/2-лс
@DECLCAT=1
@RESOL=2
EOF
}

# The card of the second session: type, subcommission, workplace and its detail come from the
# remembered defaults, the entry date from the clock of the next day.
card_volkova() {
    cat <<'EOF'
@FTYPE=2
@PODKOM=410
@CHANGEDATE=42847-60417
@FAM=ВОЛКОВА
@NAME=МАРИЯ
@OTCH=ИВАНОВНА
@FAM2=ВОЛКОВА
@NAME2=МАРИЯ
@OTCH2=ИВАНОВНА
@SPEC=2011.111
@LPU=85<TAB>
@JOB=терапевтическое отделение № 2
@DOL=му
@DECLCAT=2
@RESOL=3
EOF
}

# card_file <card function...>: the magic line, then each card numbered from 1 with an empty
# line after it.
card_file() {
    local number=0 card
    {
        echo '<QOR>'
        for card in "$@"; do
            number=$((number + 1))
            echo "[$number]"
            "$card"
            echo
        done
    } | windows1251_lines
}

# export_log_entry <export file> <date and time> <count>
export_log_entry() {
    printf '%s\n' '*********************************' "$1" "Дата выгрузки: $2" \
        "Выгружено записей: $3" | windows1251_lines
}

# The remembered defaults, the lines of their section of the settings file (the TAB of a
# workplace key quoted).
remembered_defaults() {
    printf '%s\n' 'Line0="@LPU=85\t"' \
        'Line1=@JOB=терапевтическое отделение № 2' 'Line2=@FTYPE=2' 'Line3=@PODKOM=410'
}

# ---- The printed list ------------------------------------------------------------------------

# The list's columns, in their first order, by their titles.
list_titles=("Врач или средний медработник" "Фамилия" "Имя" "Отчество" "Подкомиссия"
    "Место работы" "Дата ввода" "Уточнение места работы" "Занимаемая должность"
    "Имеющаяся категория" "Дата присвоения категории" "№ приказа имеющ. категории"
    "Заявленная кв. категория" "Решение аттестационной комиссии" "Специальность"
    "Фамилия  (кому)" "Имя  (кому)" "Отчество  (кому)")

subcommission_404="(врачи) Экспертная группа терапевтического направления"

# The rows as the list shows the doctors' cards: the type and the subcommission (its first 50
# characters) as texts, codes as codes, dates as dates, the workplace key without its TAB.
row_antonov=("Врач" "АНТОНОВ" "ПЁТР" "ИЛЬИЧ" "${subcommission_404:0:50}" "85"
    "21.04.2017 9:05:27" "педиатрическое отделение" "42" "" "" "" "2" "3" "2011.52"
    "АНТОНОВ" "ПЁТР" "ИЛЬИЧ")
row_yakovleva=("Врач" "ЯКОВЛЕВА" "АННА" "СЕРГЕЕВНА" "${subcommission_404:0:50}" "85"
    "21.04.2017 9:05:27" "терапевтическое отделение № 2" "70" "1" "12.04.2012" "245-к" "ВЫС"
    "1" "2011.81" "ЯКОВЛЕВОЙ" "АННЕ" "СЕРГЕЕВНЕ")

# rtf_text <text>: Russian letters and "№" as \'xx of their Windows-1251 byte; "\", "{" and "}"
# after a backslash; everything else as it is.
rtf_text() {
    local text=$1 out='' c code i
    for ((i = 0; i < ${#text}; i++)); do
        c=${text:i:1}
        printf -v code '%d' "'$c"
        if ((code >= 0x410 && code <= 0x44F)); then
            printf -v c "\\\\'%02x" $((code - 0x350))
        elif ((code == 0x401)); then
            c="\\'a8"
        elif ((code == 0x451)); then
            c="\\'b8"
        elif ((code == 0x2116)); then
            c="\\'b9"
        elif [[ $c == '\' || $c == '{' || $c == '}' ]]; then
            c="\\$c"
        fi
        out+=$c
    done
    printf '%s' "$out"
}

# printed_list <title> <row array name...>: the whole document, one line without line breaks.
printed_list() {
    local title=$1 columns=$((${#list_titles[@]} + 1)) k column row
    shift
    local width=$((8414 / columns))
    {
        printf '%s' '{\rtf1\ansi\deff0\deftab720{\fonttbl{\f0\fnil MS Sans Serif;}' \
            '{\f1\fnil\fcharset2{\*\fname Symbol;}MT Symbol;}' \
            '{\f2\fswiss\fprq2 System;}{\f3\fnil\fcharset204' \
            '{\*\fname Times New Roman;}Times New Roman Cyr;}' \
            '{\f4\froman\fprq2\fcharset204{\*\fname Times New Roman;}' \
            'Times New Roman Cyr;}{\f5\fnil Times New Roman;}' \
            '{\f6\froman\fprq2 Times New Roman;}}' '{\colortbl\red0\green0\blue0;}' \
            '\deflang1033\pard\plain\lang1049\f3\fs20 ' "$(rtf_text "$title")" '\par ' \
            '\trowd \trgaph108\trleft-108'
        for ((k = 1; k <= columns; k++)); do
            printf '%s' '\clvertalt\clbrdrt\brdrs\brdrw10 \clbrdrl\brdrs\brdrw10 ' \
                '\clbrdrb\brdrs\brdrw10 \clbrdrr\brdrs\brdrw10 \cltxlrtb \cellx' $((k * width))
        done
        printf '%s' '\pard \nowidctlpar\widctlpar\intbl\adjustright ' "$(rtf_text '№ п/п')"
        for column in "${list_titles[@]}"; do
            printf '%s' '\cell ' "$(rtf_text "$column")"
        done
        k=0
        for row in "$@"; do
            local -n cells=$row
            k=$((k + 1))
            printf '%s' '\cell \row ' "$k"
            for column in "${cells[@]}"; do
                printf '%s' '\cell ' "$(rtf_text "$column")"
            done
        done
        printf '%s' '\cell \row \pard ' '\par }'
    } | iconv -f UTF-8 -t CP1251
}
