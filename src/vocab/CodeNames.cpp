#include "vocab/CodeNames.h"

#include "text/Encoding.h"
#include "text/Fields.h"

namespace vornal {
namespace {

constexpr std::size_t kCourseDisplayWidth = 6;
constexpr std::size_t kCourseShortWidth = 4;

struct CourseEntry
{
    std::string_view code;
    std::string_view display;   // UTF-8, 6 bytes once in CP932 (half-width katakana are 1 byte)
    std::string_view shortName; // UTF-8, 4 bytes once in CP932
};

constexpr CourseEntry kJraCourses[] = {
    {"01", "札幌  ", "札幌"}, {"02", "函館  ", "函館"}, {"03", "福島  ", "福島"}, {"04", "新潟  ", "新潟"},
    {"05", "東京  ", "東京"}, {"06", "中山  ", "中山"}, {"07", "中京  ", "中京"}, {"08", "京都  ", "京都"},
    {"09", "阪神  ", "阪神"}, {"10", "小倉  ", "小倉"},
};

// 58..61 are local-racing meetings held at JRA racecourses, so they carry the JRA names.
constexpr CourseEntry kLocalCourses[] = {
    {"30", "門別  ", "門別"}, {"31", "北見  ", "北見"}, {"32", "岩見沢", "岩見"}, {"33", "帯広  ", "帯広"},
    {"34", "旭川  ", "旭川"}, {"35", "盛岡  ", "盛岡"}, {"36", "水沢  ", "水沢"}, {"37", "上山  ", "上山"},
    {"38", "三条  ", "三条"}, {"39", "足利  ", "足利"}, {"40", "宇都宮", "宇都"}, {"41", "高崎  ", "高崎"},
    {"42", "浦和  ", "浦和"}, {"43", "船橋  ", "船橋"}, {"44", "大井  ", "大井"}, {"45", "川崎  ", "川崎"},
    {"46", "金沢  ", "金沢"}, {"47", "笠松  ", "笠松"}, {"48", "名古屋", "名古"}, {"49", "紀三井", "紀三"},
    {"50", "園田  ", "園田"}, {"51", "姫路  ", "姫路"}, {"52", "益田  ", "益田"}, {"53", "福山  ", "福山"},
    {"54", "高知  ", "高知"}, {"55", "佐賀  ", "佐賀"}, {"56", "荒尾  ", "荒尾"}, {"57", "中津  ", "中津"},
    {"58", "札幌  ", "札幌"}, {"59", "函館  ", "函館"}, {"60", "新潟  ", "新潟"}, {"61", "中京  ", "中京"},
};

// Country names squeezed into 6 bytes with half-width katakana. C4, F4, F6, G4, G6 and G8 are
// foreign codes without a name: blank, but still abroad for the region.
constexpr CourseEntry kForeignCourses[] = {
    {"A0", "他外国", "他外"}, {"A2", "日本  ", "日本"}, {"A4", "ｱﾒﾘｶ  ", "アメ"}, {"A6", "ｲｷﾞﾘｽ ", "イギ"},
    {"A8", "ﾌﾗﾝｽ  ", "フラ"}, {"B0", "インド", "イン"}, {"B2", "ｱｲﾙﾗﾝﾄ", "アイ"}, {"B4", "ﾆｭｰｼﾞｰ", "ニュ"},
    {"B6", "ｵｰｽﾄﾗﾘ", "オー"}, {"B8", "カナダ", "カナ"}, {"C0", "ｲﾀﾘｱ  ", "イタ"}, {"C2", "ドイツ", "ドイ"},
    {"C4", "      ", "    "}, {"C5", "ｵﾏｰﾝ  ", "オマ"}, {"C6", "イラク", "イラ"}, {"C7", "ｱﾗﾌﾞ首", "ア首"},
    {"C8", "シリア", "シリ"}, {"D0", "ｽｳｪｰﾃﾞ", "スウ"}, {"D2", "ﾊﾝｶﾞﾘｰ", "ハン"}, {"D4", "ﾎﾟﾙﾄｶﾞ", "ポル"},
    {"D6", "ロシア", "ロシ"}, {"D8", "ｳﾙｸﾞｱｲ", "ウル"}, {"E0", "ペルー", "ペル"}, {"E2", "ｱﾙｾﾞﾝﾁ", "アル"},
    {"E4", "ﾌﾞﾗｼﾞﾙ", "ブラ"}, {"E6", "ﾍﾞﾙｷﾞｰ", "ベル"}, {"E8", "トルコ", "トル"}, {"F0", "韓国  ", "韓国"},
    {"F1", "中国  ", "中国"}, {"F2", "チリ  ", "チリ"}, {"F4", "      ", "    "}, {"F6", "      ", "    "},
    {"F8", "パナマ", "パナ"}, {"G0", "香港  ", "香港"}, {"G2", "ｽﾍﾟｲﾝ ", "スペ"}, {"G4", "      ", "    "},
    {"G6", "      ", "    "}, {"G8", "      ", "    "}, {"H0", "西ﾄﾞｲﾂ", "西独"}, {"H2", "南ｱﾌﾘｶ", "南ア"},
    {"H4", "スイス", "スイ"}, {"H6", "モナコ", "モナ"}, {"H8", "ﾌｨﾘﾋﾟﾝ", "フィ"}, {"I0", "ﾌﾟｴﾙﾄﾘ", "プエ"},
    {"I2", "ｺﾛﾝﾋﾞｱ", "コロ"}, {"I4", "ﾁｪｺｽﾛﾊ", "チェ"}, {"I6", "チェコ", "チェ"}, {"I8", "ｽﾛﾊﾞｷｱ", "スロ"},
    {"J0", "ｴｸｱﾄﾞﾙ", "エク"}, {"J2", "ｷﾞﾘｼｬ ", "ギリ"}, {"J4", "ﾏﾚｰｼｱ ", "マレ"}, {"J6", "ﾒｷｼｺ  ", "メキ"},
    {"J8", "ﾓﾛｯｺ  ", "モロ"}, {"K0", "ﾊﾟｷｽﾀﾝ", "パキ"}, {"K2", "ﾎﾟｰﾗﾝﾄ", "ポー"}, {"K4", "ﾊﾟﾗｸﾞｱ", "パラ"},
    {"K6", "ｻｳｼﾞｱﾗ", "サウ"}, {"K8", "ｷﾌﾟﾛｽ ", "キプ"}, {"L0", "タイ　", "タイ"}, {"L2", "ｳｸﾗｲﾅ ", "ウク"},
    {"L4", "ﾍﾞﾈｽﾞｴ", "ベネ"}, {"L6", "ﾕｰｺﾞｽﾗ", "ユー"}, {"L8", "ﾃﾞﾝﾏｰｸ", "デン"}, {"M0", "ｼﾝｶﾞﾎﾟ", "シン"},
    {"M2", "マカオ", "澳門"}, {"M4", "ｵｰｽﾄﾘｱ", "墺国"}, {"M6", "ﾖﾙﾀﾞﾝ ", "約  "}, {"M8", "ｶﾀｰﾙ  ", "華  "},
    {"N0", "ﾋｶﾞｼﾄﾞ", "東ド"}, {"N2", "ﾊﾞｰﾚｰﾝ", "バレ"},
};

template <std::size_t N> const CourseEntry* FindCourse(const CourseEntry (&table)[N], std::string_view code)
{
    for (const CourseEntry& entry : table) {
        if (entry.code == code) {
            return &entry;
        }
    }
    return nullptr;
}

const CourseEntry* FindAnyCourse(std::string_view code)
{
    if (const CourseEntry* entry = FindCourse(kJraCourses, code)) {
        return entry;
    }
    if (const CourseEntry* entry = FindCourse(kLocalCourses, code)) {
        return entry;
    }
    return FindCourse(kForeignCourses, code);
}

struct CodeText
{
    std::string_view code;
    std::string_view text; // UTF-8
};

constexpr CodeText kRaceKinds[] = {
    {"11", "サラ系２歳　"}, {"12", "サラ系３歳　"}, {"13", "サラ系３歳上"}, {"14", "サラ系４歳上"},
    {"18", "障害３歳上　"}, {"19", "障害４歳上　"}, {"21", "アラ系２歳　"}, {"22", "アラ系３歳　"},
    {"23", "アラ系３歳上"}, {"24", "アラ系４歳上"},
};

constexpr CodeText kGrades[] = {
    {"A", "G1   "}, {"B", "G2   "}, {"C", "G3   "}, {"D", "重賞 "}, {"E", "特別 "},
    {"F", "JG1  "}, {"G", "JG2  "}, {"H", "JG3  "}, {"L", "List "},
};

template <std::size_t N> const CodeText* FindCode(const CodeText (&table)[N], std::string_view code)
{
    for (const CodeText& entry : table) {
        if (entry.code == code) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace

std::string CourseName(std::string_view code, CourseForm form)
{
    const CourseEntry* entry = FindAnyCourse(code);
    if (form == CourseForm::Short) {
        return entry ? Sjis(entry->shortName) : std::string(kCourseShortWidth, ' ');
    }
    return entry ? Sjis(entry->display) : std::string(kCourseDisplayWidth, ' ');
}

std::string CourseRegion(std::string_view code)
{
    if (const CourseEntry* entry = FindCourse(kJraCourses, code)) {
        return Sjis(entry->display);
    }
    if (FindCourse(kLocalCourses, code)) {
        return Sjis("地方  ");
    }
    if (FindCourse(kForeignCourses, code)) {
        return Sjis("海外  ");
    }
    return std::string(kCourseDisplayWidth, ' ');
}

std::string RaceKindName(std::string_view code)
{
    if (const CodeText* entry = FindCode(kRaceKinds, code)) {
        return Sjis(entry->text);
    }
    return Sjis("　　　　　　");
}

std::string GradeMark(std::string_view code)
{
    if (const CodeText* entry = FindCode(kGrades, code)) {
        return Sjis(entry->text);
    }
    // Ungraded races keep the column: two full-width blanks and one blank make 5 bytes.
    return Sjis("　　 ");
}

std::string ConditionClassName(std::string_view code)
{
    // The youngest-age condition: 005/010/016 are the win classes, 701..703 the races for
    // unraced and maiden horses, 999 open class.
    switch (LeadingNumber(code)) {
    case 5:
        return Sjis("1勝ｸﾗｽ");
    case 10:
        return Sjis("2勝ｸﾗｽ");
    case 16:
        return Sjis("3勝ｸﾗｽ");
    case 100:
        return Sjis("1億下");
    case 701:
        return Sjis("新馬");
    case 702:
        return Sjis("未出走");
    case 703:
        return Sjis("未勝利");
    case 999:
        return Sjis("オープン");
    default:
        return {};
    }
}

} // namespace vornal
