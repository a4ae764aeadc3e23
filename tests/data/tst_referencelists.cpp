#include "data/ReferenceListData.h"
#include "data/ReferenceLists.h"
#include "platform/Cp1251.h"

#include <QSet>
#include <QStringList>
#include <QTest>

namespace {

const ReferenceLists &normalLists()
{
    static const ReferenceLists lists(Variant::Normal);
    return lists;
}

const ReferenceLists &educationLists()
{
    static const ReferenceLists lists(Variant::EducationSocial);
    return lists;
}

const ReferenceList &listNamed(const QString &name)
{
    if (name == u"subcommissions")
        return ReferenceLists::normalSubcommissions();
    if (name == u"educationSubcommissions")
        return ReferenceLists::educationSubcommissions();
    if (name == u"doctorSpecialties")
        return ReferenceLists::doctorSpecialties();
    if (name == u"midLevelSpecialties")
        return ReferenceLists::midLevelSpecialties();
    if (name == u"positions")
        return ReferenceLists::positions();
    if (name == u"categories")
        return ReferenceLists::categories();
    if (name == u"decisions")
        return ReferenceLists::decisions();
    if (name == u"cardTypeFilter")
        return ReferenceLists::cardTypeFilter();
    if (name == u"workplaces")
        return ReferenceLists::normalWorkplaces();
    if (name == u"educationWorkplaces")
        return ReferenceLists::educationWorkplaces();
    if (name == u"subcommissionFilter")
        return normalLists().subcommissionFilter();
    if (name == u"educationSubcommissionFilter")
        return educationLists().subcommissionFilter();
    qFatal("unknown list %s", qPrintable(name));
}

const QString tab = QStringLiteral("\t");

} // namespace

class TestReferenceLists : public QObject
{
    Q_OBJECT

private slots:
    void counts_data();
    void counts();
    void entries_data();
    void entries();
    void workplaceKeyOrder_data();
    void workplaceKeyOrder();
    void educationSubcommissionsRepeatNormalOnes();

    void textOfKey_data();
    void textOfKey();
    void keyOfText_data();
    void keyOfText();
    void indexOf_data();
    void indexOf();
    void equalIgnoringCase_data();
    void equalIgnoringCase();
    void obsoleteText_data();
    void obsoleteText();

    void variantFromObrSoc_data();
    void variantFromObrSoc();
    void listsOfVariant_data();
    void listsOfVariant();
    void subcommissionFilterOfAnyList();
    void specialtiesForCardType_data();
    void specialtiesForCardType();

    void invariants_data();
    void invariants();
    void workplaceTexts_data();
    void workplaceTexts();
    void subcommissionTextsNameTheCardType_data();
    void subcommissionTextsNameTheCardType();

    void listsAreLoadedOnce();
    void parseRejectsDamagedData_data();
    void parseRejectsDamagedData();
    void parseKeepsTabsAndQuotes();

    void benchmarkLookupByKey();
};

// ---- Contents and order ------------------------------------------------------------------

void TestReferenceLists::counts_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("count");
    QTest::newRow("subcommissions") << "subcommissions" << 27;
    QTest::newRow("education subcommissions") << "educationSubcommissions" << 13;
    QTest::newRow("doctors' specialties") << "doctorSpecialties" << 102;
    QTest::newRow("mid-level specialties") << "midLevelSpecialties" << 37;
    QTest::newRow("positions") << "positions" << 122;
    QTest::newRow("categories") << "categories" << 3;
    QTest::newRow("decisions") << "decisions" << 3;
    QTest::newRow("card type filter") << "cardTypeFilter" << 3;
    QTest::newRow("workplaces") << "workplaces" << 94;
    QTest::newRow("education workplaces") << "educationWorkplaces" << 62;
    QTest::newRow("subcommission filter") << "subcommissionFilter" << 28;
    QTest::newRow("education subcommission filter") << "educationSubcommissionFilter" << 14;
}

void TestReferenceLists::counts()
{
    QFETCH(QString, list);
    QFETCH(int, count);
    QCOMPARE(listNamed(list).count(), count);
    QCOMPARE(listNamed(list).entries().size(), qsizetype(count));
}

void TestReferenceLists::entries_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("position"); // counted from 1
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text"); // null: the text is not checked

    const auto row = [](const char *name, const char *list, int position, const QString &key,
                        const QString &text) {
        QTest::newRow(name) << QString::fromUtf8(list) << position << key << text;
    };
    row("subcommission first", "subcommissions", 1, "401",
        "(врачи) Экспертная группа по аттестации педагогических работников областных "
        "государственных учреждений здравоохранения");
    row("subcommission quotes inside", "subcommissions", 11, "503",
        "(врачи) Экспертная группа по специальности \"Патологическая анатомия и "
        "судебно-медицинская экспертиза\"");
    row("subcommission guillemets", "subcommissions", 13, "410",
        "(средние) СБМК «Сестринское дело», «Сестринское дело в педиатрии», «Анестезиология и "
        "реаниматология», «Операционное дело»");
    row("subcommission mixed quotes", "subcommissions", 14, "411",
        "(средние) СБМК «Лечебное дело», «Акушерское дело», \"Скорая и неотложная помощь\"");
    row("subcommission blanks around hyphen", "subcommissions", 15, "412",
        "(средние) СБМК Реабилитационно - восстановительное направление");
    row("subcommission last", "subcommissions", 27, "505",
        "(средние) Экспертная группа по специальности \"Управление сестринской "
        "деятельностью\"");
    row("education subcommission 12", "educationSubcommissions", 12, "504",
        "(врачи) Экспертная группа по специальности \"Организация здравоохранения и "
        "общественное здоровье\"");
    row("education subcommission last", "educationSubcommissions", 13, "601",
        "(средние) Экспертная группа по аттестации средних медицинских работников учреждений "
        "образования и социальной сферы");

    row("doctors first", "doctorSpecialties", 1, "2011.1", "Авиционная и космическая медицина");
    row("doctors 2015.1", "doctorSpecialties", 30, "2015.1", "Клиническая психология");
    row("doctors before ПС", "doctorSpecialties", 44, "2011.43", "Нефрология");
    row("doctors ПС", "doctorSpecialties", 45, "ПС", "Психология");
    row("doctors after ПС", "doctorSpecialties", 46, "2011.45",
        "Общая врачебная практика (семейная медицина)");
    row("doctors 2011.138", "doctorSpecialties", 55, "2011.138", "Педагогический работник");
    row("doctors keys out of order", "doctorSpecialties", 100, "2011.100", "Эндокринология");
    row("doctors last", "doctorSpecialties", 102, "2011.101", "Эпидемиология");

    row("mid-level first", "midLevelSpecialties", 1, "2011.103", "Акушерское дело");
    row("mid-level hyphen text", "midLevelSpecialties", 2, "2011.102",
        "Анестезиология - реаниматология");
    row("mid-level 123", "midLevelSpecialties", 21, "123", "Психология");
    row("mid-level 2011.87", "midLevelSpecialties", 32, "2011.87",
        "Управление сестринской деятельностью");
    row("mid-level last", "midLevelSpecialties", 37, "2011.132", "Эпидемиология (паразитология)");

    row("position first", "positions", 1, "ак", "акушерка");
    row("position 62 capital", "positions", 62, "67", "Врач-судебно-психиатрический эксперт");
    row("position 65 abbreviated", "positions", 65, "73",
        "врач-терапевт участковый цехового врачеб. участка");
    row("position Cyrillic С3", "positions", 79, "С3", "главная медицинская сестра");
    row("position 82 shortened", "positions", 82, "С6",
        "заведующий здравпунктом - фельдшер (медицинская с");
    row("position 84 shortened", "positions", 84, "С9",
        "заведующий фельдшерско-акушерским пунктом - фельд");
    row("position 85 shortened", "positions", 85, "З-ф",
        "заведующий фельдшерско-акушерским пунктом, медицин");
    row("position slash key", "positions", 88, "з/т", "зубной техник");
    row("position ПСИ", "positions", 102, "ПСИ", "медицинский психолог");
    row("position пс", "positions", 105, "пс", "психолог");
    row("position 116 lower case", "positions", 116, "200", "врач-судебно-психиатрический эксперт");
    row("position key with blank", "positions", 118, "м б", "медицинский брат");
    row("position key without blank", "positions", 119, "мб",
        "медицинский брат палатный (постовой)");
    row("position 122 shortened", "positions", 122, "ЗГЭ",
        "Заместитель главного врача центра госсанэпиднадзор");

    row("category first", "categories", 1, "1", "ПЕРВАЯ КАТЕГОРИЯ");
    row("category second", "categories", 2, "2", "ВТОРАЯ КАТЕГОРИЯ");
    row("category highest", "categories", 3, "ВЫС", "ВЫСШАЯ КАТЕГОРИЯ");
    row("decision first", "decisions", 1, "1", "присвоить ВЫСШУЮ квалификационную категорию");
    row("decision last", "decisions", 3, "3", "присвоить ВТОРУЮ квалификационную категорию");
    row("card type all", "cardTypeFilter", 1, "0", "Врачи и средние");
    row("card type doctors", "cardTypeFilter", 2, "1", "Врачи");
    row("card type mid-level", "cardTypeFilter", 3, "2", "Средние медработники");

    row("workplace first", "workplaces", 1, "84" + tab, QString());
    row("workplace 600066", "workplaces", 5, "600066", QString());
    row("workplace letters", "workplaces", 53, "По" + tab, QString());
    row("workplace 25", "workplaces", 61, "25", QString());
    row("workplace 25мб", "workplaces", 62, "25мб" + tab, QString());
    row("workplace ОАО", "workplaces", 89, "ОАО" + tab, QString());
    row("workplace last", "workplaces", 94, "РД" + tab, QString());
    row("education workplace first", "educationWorkplaces", 1, "600001", QString());
    row("education workplace 55", "educationWorkplaces", 55, "600055", QString());
    row("education workplace 600063", "educationWorkplaces", 56, "600063", QString());
    row("education workplace 57", "educationWorkplaces", 57, "600057", QString());
    row("education workplace last", "educationWorkplaces", 62, "600062", QString());

    row("filter first", "subcommissionFilter", 1, "0", "Все подкомиссии");
    row("filter second", "subcommissionFilter", 2, "401", QString());
    row("filter last", "subcommissionFilter", 28, "505", QString());
    row("education filter first", "educationSubcommissionFilter", 1, "0", "Все подкомиссии");
    row("education filter last", "educationSubcommissionFilter", 14, "601", QString());
}

void TestReferenceLists::entries()
{
    QFETCH(QString, list);
    QFETCH(int, position);
    QFETCH(QString, key);
    QFETCH(QString, text);
    const ReferenceEntry &entry = listNamed(list).at(position - 1);
    QCOMPARE(entry.key, key);
    if (!text.isNull())
        QCOMPARE(entry.text, text);
}

void TestReferenceLists::workplaceKeyOrder_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("keys");

    // Every key but "600066" and "25" carries a trailing TAB; it is added below.
    QStringList normal{"84", "87",   "80", "85", "600066", "81", "82", "86", "3",  "19", "22", "39",
                       "40", "76",   "54", "48", "55",     "50", "46", "47", "41", "52", "51", "56",
                       "64", "21",   "1",  "2",  "62",     "65", "4",  "5",  "6",  "57", "7",  "63",
                       "66", "8",    "9",  "11", "69",     "12", "13", "14", "15", "16", "70", "71",
                       "72", "73",   "74", "75", "По",     "18", "67", "20", "23", "24", "77", "78",
                       "25", "25мб", "26", "27", "98",     "29", "30", "31", "32", "68", "79", "37",
                       "59", "44",   "34", "45", "33",     "42", "38", "53", "36", "49", "43", "58",
                       "61", "60",   "35", "ТД", "ОАО",    "88", "89", "К",  "83", "РД"};
    for (QString &key : normal) {
        if (key != u"600066" && key != u"25")
            key += tab;
    }
    QStringList education;
    for (int i = 1; i <= 62; ++i)
        education << QString::number(600000 + (i == 56 ? 63 : i));

    QTest::newRow("normal") << "workplaces" << normal;
    QTest::newRow("education") << "educationWorkplaces" << education;
}

void TestReferenceLists::workplaceKeyOrder()
{
    QFETCH(QString, list);
    QFETCH(QStringList, keys);
    QStringList actual;
    for (const ReferenceEntry &entry : listNamed(list).entries())
        actual << entry.key;
    QCOMPARE(actual, keys);
}

void TestReferenceLists::educationSubcommissionsRepeatNormalOnes()
{
    const ReferenceList &normal = ReferenceLists::normalSubcommissions();
    const ReferenceList &education = ReferenceLists::educationSubcommissions();
    for (int i = 0; i < 12; ++i) {
        QCOMPARE(education.at(i).key, normal.at(i).key);
        QCOMPARE(education.at(i).text, normal.at(i).text);
    }
}

// ---- Lookups ------------------------------------------------------------------------------

void TestReferenceLists::textOfKey_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");

    const auto row = [](const char *name, const char *list, const QString &key,
                        const QString &text) {
        QTest::newRow(name) << QString::fromUtf8(list) << key << text;
    };
    row("category upper", "categories", "ВЫС", "ВЫСШАЯ КАТЕГОРИЯ");
    row("category lower", "categories", "выс", "ВЫСШАЯ КАТЕГОРИЯ");
    row("category mixed", "categories", "вЫс", "ВЫСШАЯ КАТЕГОРИЯ");
    row("category 1", "categories", "1", "ПЕРВАЯ КАТЕГОРИЯ");
    row("decision 1 is the highest", "decisions", "1",
        "присвоить ВЫСШУЮ квалификационную категорию");
    row("empty key", "categories", "", "");
    row("category with blank", "categories", "ВЫС ", "");
    row("601 not in normal list", "subcommissions", "601", "");
    row("410 not in education list", "educationSubcommissions", "410", "");
    row("505 not in education list", "educationSubcommissions", "505", "");
    row("601 in education list", "educationSubcommissions", "601",
        ReferenceLists::educationSubcommissions().at(12).text);
    row("workplace with TAB", "workplaces", "84" + tab,
        ReferenceLists::normalWorkplaces().at(0).text);
    row("workplace without TAB", "workplaces", "84", "");
    row("workplace two TABs", "workplaces", "84" + tab + tab, "");
    row("workplace 600066", "workplaces", "600066", ReferenceLists::normalWorkplaces().at(4).text);
    row("workplace 600066 with TAB", "workplaces", "600066" + tab, "");
    row("workplace 25", "workplaces", "25", ReferenceLists::normalWorkplaces().at(60).text);
    row("workplace 25мб upper", "workplaces", "25МБ" + tab,
        ReferenceLists::normalWorkplaces().at(61).text);
    row("workplace ОАО lower", "workplaces", "оао" + tab,
        ReferenceLists::normalWorkplaces().at(88).text);
    row("education key in normal list", "workplaces", "600001", "");
    row("education workplace 600063", "educationWorkplaces", "600063",
        ReferenceLists::educationWorkplaces().at(55).text);
    row("education workplace 600056", "educationWorkplaces", "600056", "");
    row("mid-level key in doctors' list", "doctorSpecialties", "2011.103", "");
    row("doctors' key in mid-level list", "midLevelSpecialties", "ПС", "");
    row("doctors ПС lower", "doctorSpecialties", "пс", "Психология");
    row("position м б", "positions", "м б", "медицинский брат");
    row("position мб", "positions", "мб", "медицинский брат палатный (постовой)");
    row("position МБ", "positions", "МБ", "медицинский брат палатный (постовой)");
    row("position пс", "positions", "ПС", "психолог");
    row("position Cyrillic С3", "positions", "с3", "главная медицинская сестра");
    row("position Latin C3", "positions", "C3", "");
    row("position з/т", "positions", "З/Т", "зубной техник");
    row("position 200", "positions", "200", "врач-судебно-психиатрический эксперт");
    row("filter 0", "subcommissionFilter", "0", "Все подкомиссии");
}

void TestReferenceLists::textOfKey()
{
    QFETCH(QString, list);
    QFETCH(QString, key);
    QFETCH(QString, text);
    const ReferenceList &l = listNamed(list);
    QCOMPARE(l.textOfKey(key), text);
    QCOMPARE(l.containsKey(key), !text.isEmpty());
}

void TestReferenceLists::keyOfText_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key");

    const auto row = [](const char *name, const char *list, const QString &text,
                        const QString &key) {
        QTest::newRow(name) << QString::fromUtf8(list) << text << key;
    };
    row("card type lower", "cardTypeFilter", "врачи", "1");
    row("card type as shown", "cardTypeFilter", "Врачи", "1");
    row("card type upper", "cardTypeFilter", "ВРАЧИ И СРЕДНИЕ", "0");
    row("card type prefix only", "cardTypeFilter", "Врач", "");
    row("card type trailing blank", "cardTypeFilter", "Врачи ", "");
    row("empty text", "cardTypeFilter", "", "");
    row("position 62 as shown", "positions", "Врач-судебно-психиатрический эксперт", "67");
    row("position 116 text gives 62", "positions", "врач-судебно-психиатрический эксперт", "67");
    row("position upper", "positions", "ВРАЧ-СУДЕБНО-ПСИХИАТРИЧЕСКИЙ ЭКСПЕРТ", "67");
    row("position shortened", "positions", "Заместитель главного врача центра госсанэпиднадзор",
        "ЗГЭ");
    row("position unshortened", "positions", "Заместитель главного врача центра госсанэпиднадзора",
        "");
    row("doctors Психология", "doctorSpecialties", "психология", "ПС");
    row("mid-level Психология", "midLevelSpecialties", "ПСИХОЛОГИЯ", "123");
    row("category", "categories", "высшая категория", "ВЫС");
    row("subcommission guillemets", "subcommissions",
        "(СРЕДНИЕ) РМТ «ЛЕЧЕБНОЕ ДЕЛО», «АКУШЕРСКОЕ ДЕЛО»", "421");
    row("subcommission quotes", "subcommissions",
        "(врачи) экспертная группа по специальности \"акушерство и гинекология\"", "402");
    row("subcommission without quotes", "subcommissions",
        "(врачи) Экспертная группа по специальности Акушерство и гинекология", "");
    row("workplace Ё upper", "workplaces", "ГБУЗ «ОБЛАСТНОЙ ПРОТИВОТУБЕРКУЛЁЗНЫЙ ДИСПАНСЕР»",
        "81" + tab);
    row("workplace ё as е", "workplaces", "ГБУЗ «Областной противотуберкулезный диспансер»", "");
    row("workplace № kept", "workplaces", "городская поликлиника № 3", "75" + tab);
    row("workplace N for №", "workplaces", "Городская поликлиника N 3", "");
    row("filter all", "subcommissionFilter", "все подкомиссии", "0");
}

void TestReferenceLists::keyOfText()
{
    QFETCH(QString, list);
    QFETCH(QString, text);
    QFETCH(QString, key);
    QCOMPARE(listNamed(list).keyOfText(text), key);
}

void TestReferenceLists::indexOf_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("byKey");
    QTest::addColumn<int>("byText");

    const ReferenceList &positions = ReferenceLists::positions();
    QTest::newRow("key 200") << "positions"
                             << "200" << 115 << -1;
    QTest::newRow("key 67") << "positions"
                            << "67" << 61 << -1;
    QTest::newRow("first of two texts") << "positions" << positions.at(115).text << -1 << 61;
    QTest::newRow("first entry") << "positions"
                                 << "ак" << 0 << -1;
    QTest::newRow("text of first entry") << "positions"
                                         << "АКУШЕРКА" << -1 << 0;
    QTest::newRow("last entry") << "positions"
                                << "згэ" << 121 << -1;
    QTest::newRow("nothing") << "positions"
                             << "" << -1 << -1;
    QTest::newRow("workplace TAB") << "workplaces"
                                   << "РД" + tab << 93 << -1;
    QTest::newRow("workplace no TAB") << "workplaces"
                                      << "РД" << -1 << -1;
    QTest::newRow("600063") << "educationWorkplaces"
                            << "600063" << 55 << -1;
}

void TestReferenceLists::indexOf()
{
    QFETCH(QString, list);
    QFETCH(QString, value);
    QFETCH(int, byKey);
    QFETCH(int, byText);
    QCOMPARE(listNamed(list).indexOfKey(value), byKey);
    QCOMPARE(listNamed(list).indexOfText(value), byText);
}

void TestReferenceLists::equalIgnoringCase_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("equal");

    QTest::newRow("both empty") << ""
                                << "" << true;
    QTest::newRow("empty and blank") << ""
                                     << " " << false;
    QTest::newRow("Latin") << "Abc xyZ"
                           << "aBC XYz" << true;
    QTest::newRow("Cyrillic") << "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"
                              << "абвгдежзийклмнопрстуфхцчшщъыьэюя" << true;
    QTest::newRow("Ё and ё") << "ЁЛКА"
                             << "ёлка" << true;
    QTest::newRow("ё is not е") << "ёлка"
                                << "елка" << false;
    QTest::newRow("Ukrainian and Belarusian") << "ІЇЄҐЎ"
                                              << "іїєґў" << true;
    QTest::newRow("Serbian and Macedonian") << "ЂЃЉЊЋЌЏЅЈ"
                                            << "ђѓљњћќџѕј" << true;
    QTest::newRow("Cyrillic С is not Latin C") << "С"
                                               << "C" << false;
    QTest::newRow("Cyrillic о is not Latin o") << "о"
                                               << "o" << false;
    QTest::newRow("trailing TAB") << "84\t"
                                  << "84" << false;
    QTest::newRow("TAB is not blank") << "84\t"
                                      << "84 " << false;
    QTest::newRow("TAB matches TAB") << "ОАО\t"
                                     << "оао\t" << true;
    QTest::newRow("digits") << "2011.1"
                            << "2011.10" << false;
    QTest::newRow("punctuation") << "«a»"
                                 << "\"a\"" << false;
    QTest::newRow("hyphen and en dash") << "a-b"
                                        << "a–b" << false;
    QTest::newRow("sharp s does not expand") << "ß"
                                             << "SS" << false;
    QTest::newRow("dotted I is not I") << "İ"
                                       << "i" << false;
    QTest::newRow("Greek is not folded") << "Σ"
                                         << "σ" << false;
    QTest::newRow("Latin-1 letters") << "ÄÖÜ"
                                     << "äöü" << true;
}

void TestReferenceLists::equalIgnoringCase()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, equal);
    QCOMPARE(ReferenceList::equalIgnoringCase(a, b), equal);
    QCOMPARE(ReferenceList::equalIgnoringCase(b, a), equal);
}

void TestReferenceLists::obsoleteText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("obsolete");
    QTest::newRow("hyphen first") << "-Старая специальность" << true;
    QTest::newRow("hyphen alone") << "-" << true;
    QTest::newRow("hyphen inside") << "Анестезиология - реаниматология" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blank then hyphen") << " -Старая" << false;
    QTest::newRow("en dash") << "–Старая" << false;
    QTest::newRow("minus sign") << "−Старая" << false;
}

void TestReferenceLists::obsoleteText()
{
    QFETCH(QString, text);
    QFETCH(bool, obsolete);
    QCOMPARE(ReferenceList::isObsoleteText(text), obsolete);
}

// ---- Variants -----------------------------------------------------------------------------

void TestReferenceLists::variantFromObrSoc_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("education");
    QTest::newRow("+") << "+" << true;
    QTest::newRow("-") << "-" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("++") << "++" << false;
    QTest::newRow("blank +") << " +" << false;
    QTest::newRow("+ blank") << "+ " << false;
    QTest::newRow("1") << "1" << false;
}

void TestReferenceLists::variantFromObrSoc()
{
    QFETCH(QString, value);
    QFETCH(bool, education);
    QCOMPARE(::variantFromObrSoc(value), education ? Variant::EducationSocial : Variant::Normal);
}

void TestReferenceLists::listsOfVariant_data()
{
    QTest::addColumn<bool>("education");
    QTest::addColumn<int>("filterCount");
    QTest::newRow("normal") << false << 28;
    QTest::newRow("education") << true << 14;
}

void TestReferenceLists::listsOfVariant()
{
    QFETCH(bool, education);
    QFETCH(int, filterCount);
    const ReferenceLists lists(education ? Variant::EducationSocial : Variant::Normal);
    QCOMPARE(lists.variant(), education ? Variant::EducationSocial : Variant::Normal);

    const ReferenceList &subcommissions = education ? ReferenceLists::educationSubcommissions()
                                                    : ReferenceLists::normalSubcommissions();
    const ReferenceList &workplaces =
        education ? ReferenceLists::educationWorkplaces() : ReferenceLists::normalWorkplaces();
    QCOMPARE(&lists.subcommissions(), &subcommissions);
    QCOMPARE(&lists.workplaces(), &workplaces);

    const ReferenceList &filter = lists.subcommissionFilter();
    QCOMPARE(filter.count(), filterCount);
    QCOMPARE(filter.at(0).text, QStringLiteral("Все подкомиссии"));
    QCOMPARE(filter.at(0).key, QStringLiteral("0"));
    for (int i = 0; i < subcommissions.count(); ++i) {
        QCOMPARE(filter.at(i + 1).key, subcommissions.at(i).key);
        QCOMPARE(filter.at(i + 1).text, subcommissions.at(i).text);
    }

    // A copy, as the data module keeps one, carries its own filter list.
    ReferenceLists copy;
    copy = lists;
    QCOMPARE(copy.subcommissionFilter().count(), filterCount);
    QCOMPARE(&copy.subcommissions(), &subcommissions);
}

void TestReferenceLists::subcommissionFilterOfAnyList()
{
    const ReferenceList empty = ReferenceLists::buildSubcommissionFilter(ReferenceList());
    QCOMPARE(empty.count(), 1);
    QCOMPARE(empty.textOfKey(u"0"), QStringLiteral("Все подкомиссии"));

    const ReferenceList two = ReferenceLists::buildSubcommissionFilter(ReferenceList(
        {{QStringLiteral("Б"), QStringLiteral("2")}, {QStringLiteral("А"), QStringLiteral("1")}}));
    QCOMPARE(two.count(), 3);
    QCOMPARE(two.at(1).key, QStringLiteral("2"));
    QCOMPARE(two.at(2).key, QStringLiteral("1"));
}

void TestReferenceLists::specialtiesForCardType_data()
{
    QTest::addColumn<bool>("hasType");
    QTest::addColumn<int>("cardType");
    QTest::addColumn<bool>("doctors");
    QTest::newRow("doctor") << true << 1 << true;
    QTest::newRow("mid-level") << true << 2 << false;
    QTest::newRow("zero") << true << 0 << false;
    QTest::newRow("other") << true << 3 << false;
    QTest::newRow("empty") << false << 0 << false;
    QTest::newRow("empty with stale 1") << false << 1 << false;
}

void TestReferenceLists::specialtiesForCardType()
{
    QFETCH(bool, hasType);
    QFETCH(int, cardType);
    QFETCH(bool, doctors);
    const ReferenceList &expected =
        doctors ? ReferenceLists::doctorSpecialties() : ReferenceLists::midLevelSpecialties();
    QCOMPARE(&ReferenceLists::specialtiesForCardType(hasType, cardType), &expected);
}

// ---- Invariants of the delivered data -----------------------------------------------------

void TestReferenceLists::invariants_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("keyWidth"); // width of the card field; 0 for the integer field
    QTest::newRow("subcommissions") << "subcommissions" << 0;
    QTest::newRow("education subcommissions") << "educationSubcommissions" << 0;
    QTest::newRow("doctors' specialties") << "doctorSpecialties" << 9;
    QTest::newRow("mid-level specialties") << "midLevelSpecialties" << 9;
    QTest::newRow("positions") << "positions" << 3;
    QTest::newRow("categories") << "categories" << 3;
    QTest::newRow("decisions") << "decisions" << 3;
    QTest::newRow("card type filter") << "cardTypeFilter" << 1;
    QTest::newRow("workplaces") << "workplaces" << 6;
    QTest::newRow("education workplaces") << "educationWorkplaces" << 6;
    QTest::newRow("subcommission filter") << "subcommissionFilter" << 0;
    QTest::newRow("education subcommission filter") << "educationSubcommissionFilter" << 0;
}

void TestReferenceLists::invariants()
{
    QFETCH(QString, list);
    QFETCH(int, keyWidth);
    const ReferenceList &l = listNamed(list);
    QSet<QString> texts;
    for (int i = 0; i < l.count(); ++i) {
        const ReferenceEntry &e = l.at(i);
        const QByteArray where = QByteArray::number(i + 1);
        QVERIFY2(!e.key.isEmpty() && !e.text.isEmpty(), where.constData());
        QVERIFY2(!ReferenceList::isObsoleteText(e.text), where.constData());
        QVERIFY2(Cp1251::canEncode(e.text), where.constData());
        QVERIFY2(Cp1251::canEncode(e.key), where.constData());
        QVERIFY2(!texts.contains(e.text), where.constData());
        texts.insert(e.text);
        // Keys are compared ignoring case, so two keys that differ only in case would hide one.
        QVERIFY2(l.indexOfKey(e.key) == i, where.constData());
        if (keyWidth > 0) {
            QVERIFY2(e.key.size() <= keyWidth, where.constData());
        } else {
            bool ok = false;
            const int code = e.key.toInt(&ok);
            QVERIFY2(ok && (code == 0 || e.key.size() == 3), where.constData());
        }
    }
}

void TestReferenceLists::workplaceTexts_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("longest");
    QTest::newRow("normal") << "workplaces" << 80;
    QTest::newRow("education") << "educationWorkplaces" << 99;
}

void TestReferenceLists::workplaceTexts()
{
    QFETCH(QString, list);
    QFETCH(int, longest);
    const ReferenceList &l = listNamed(list);
    qsizetype maxLength = 0;
    for (int i = 0; i < l.count(); ++i) {
        const QString &text = l.at(i).text;
        const QByteArray where = QByteArray::number(i + 1) + ' ' + text.toUtf8();
        QVERIFY2(!text.startsWith(u'-'), where.constData());
        QVERIFY2(text.trimmed() == text, where.constData());
        QVERIFY2(l.indexOfText(text) == i, where.constData()); // no other text equal ignoring case
        maxLength = qMax(maxLength, text.size());
    }
    QCOMPARE(maxLength, qsizetype(longest));
}

void TestReferenceLists::subcommissionTextsNameTheCardType_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("doctors");
    QTest::newRow("normal") << "subcommissions" << 12;
    QTest::newRow("education") << "educationSubcommissions" << 12;
}

void TestReferenceLists::subcommissionTextsNameTheCardType()
{
    QFETCH(QString, list);
    QFETCH(int, doctors);
    const ReferenceList &l = listNamed(list);
    int doctorCount = 0;
    for (const ReferenceEntry &e : l.entries()) {
        if (e.text.startsWith(u"(врачи)"))
            ++doctorCount;
        else
            QVERIFY2(e.text.startsWith(u"(средние)"), e.text.toUtf8().constData());
    }
    QCOMPARE(doctorCount, doctors);
}

// ---- Loading ------------------------------------------------------------------------------

void TestReferenceLists::listsAreLoadedOnce()
{
    QCOMPARE(&ReferenceLists::positions(), &ReferenceLists::positions());
    QCOMPARE(&ReferenceLists::normalWorkplaces(), &ReferenceLists::normalWorkplaces());
    QCOMPARE(ReferenceListData::load(QStringLiteral("positions")).count(), 122);
}

void TestReferenceLists::parseRejectsDamagedData_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("truncated") << QByteArray(R"([{"key": "1", "text": "a"})");
    QTest::newRow("object") << QByteArray(R"({"key": "1", "text": "a"})");
    QTest::newRow("number key") << QByteArray(R"([{"key": 1, "text": "a"}])");
    QTest::newRow("missing text") << QByteArray(R"([{"key": "1"}])");
    QTest::newRow("empty key") << QByteArray(R"([{"key": "", "text": "a"}])");
    QTest::newRow("empty text") << QByteArray(R"([{"key": "1", "text": ""}])");
    QTest::newRow("not an object") << QByteArray(R"([{"key": "1", "text": "a"}, "b"])");
}

void TestReferenceLists::parseRejectsDamagedData()
{
    QFETCH(QByteArray, json);
    QList<ReferenceEntry> entries{{QStringLiteral("stale"), QStringLiteral("x")}};
    QString error;
    QVERIFY(!ReferenceListData::parse(json, entries, error));
    QVERIFY(!error.isEmpty());
    QVERIFY(entries.isEmpty());
}

void TestReferenceLists::parseKeepsTabsAndQuotes()
{
    const QByteArray json =
        R"([{"key": "84\t", "text": "a \"b\" «c»"}, {"key": "2", "text": "d"}])";
    QList<ReferenceEntry> entries;
    QString error;
    QVERIFY(ReferenceListData::parse(json, entries, error));
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(0).key, QStringLiteral("84\t"));
    QCOMPARE(entries.at(0).text, QStringLiteral("a \"b\" «c»"));
    QCOMPARE(entries.at(1).key, QStringLiteral("2"));
}

// A lookup runs for every card written; it must not allocate or slow down with long texts.
void TestReferenceLists::benchmarkLookupByKey()
{
    const ReferenceList &workplaces = ReferenceLists::normalWorkplaces();
    const QString lastKey = QStringLiteral("рд\t");
    QString text;
    QBENCHMARK
    {
        text = workplaces.textOfKey(lastKey);
    }
    QCOMPARE(text, workplaces.at(93).text);
}

QTEST_GUILESS_MAIN(TestReferenceLists)
#include "tst_referencelists.moc"
