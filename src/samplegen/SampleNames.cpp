#include "samplegen/SampleNames.h"

#include <array>

#include "text/Encoding.h"

namespace vornal::samplegen {
namespace {

template <std::size_t N> std::string_view PickFrom(SampleRandom& random, const std::array<std::string_view, N>& table)
{
    return table[static_cast<std::size_t>(random.Below(static_cast<int>(N)))];
}

template <std::size_t N> std::string_view PickFrom(SampleRandom& random, const std::string_view (&table)[N])
{
    return table[static_cast<std::size_t>(random.Below(static_cast<int>(N)))];
}

// Characters of a UTF-8 text (every kana and kanji here is one 3-byte sequence).
std::size_t CharCount(std::string_view utf8)
{
    std::size_t count = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

constexpr std::string_view kHorsePrefixes[] = {
    "アルス", "ヴェル", "ミラ",     "セレス",   "ルミナ",   "オリオ", "カイザ",   "サンラ",   "ノーブル", "グラン",
    "エル",   "ラ",     "ル",       "ザ",       "シャイン", "ブルー", "レッド",   "ゴールド", "シルバー", "スカイ",
    "ムーン", "サニー", "ウインド", "ミスター", "ミス",     "キング", "クイーン", "プリンス", "レディ",   "ロード",
};

constexpr std::string_view kHorseWords[] = {
    "スター",     "ブレイブ",     "ドリーム",     "フラッシュ", "ハート",       "ライト",     "ストーム",
    "ロマン",     "ソング",       "ジャーニー",   "メモリー",   "ビクトリー",   "フォルテ",   "アリア",
    "カノン",     "ソナタ",       "ワルツ",       "リズム",     "メロディ",     "ハーモニー", "ブリーズ",
    "サンダー",   "レイン",       "スノー",       "フロスト",   "ファイア",     "フレイム",   "ブレイズ",
    "ウェーブ",   "オーシャン",   "リバー",       "レイク",     "フォレスト",   "マウンテン", "ヒル",
    "バレー",     "ガーデン",     "ローズ",       "リリー",     "ジャスミン",   "オーキッド", "ダリア",
    "サクラ",     "モミジ",       "ツバキ",       "ハヤテ",     "イカズチ",     "カゼ",       "ソラ",
    "ウミ",       "ホシ",         "ツキ",         "ヒカリ",     "アサヒ",       "ユウヒ",     "ミライ",
    "キセキ",     "ユメ",         "ハナ",         "ヤマト",     "ムサシ",       "サムライ",   "ニンジャ",
    "ショウグン", "ダイヤ",       "エメラルド",   "ルビー",     "サファイア",   "パール",     "オパール",
    "トパーズ",   "クリスタル",   "ジュエル",     "クラウン",   "ティアラ",     "セイバー",   "アロー",
    "ランス",     "シールド",     "ナイト",       "ウォリアー", "ハンター",     "レンジャー", "パイロット",
    "キャプテン", "マエストロ",   "マジック",     "ミラクル",   "ファンタジー", "レジェンド", "ヒーロー",
    "エース",     "ジョーカー",   "ラッキー",     "ハッピー",   "スマイル",     "ピース",     "ホープ",
    "グローリー", "オーラ",       "ノヴァ",       "コメット",   "ギャラクシー", "コスモ",     "プラネット",
    "ルナ",       "ソレイユ",     "ステラ",       "アストラ",   "ゼファー",     "ボレアス",   "タイタン",
    "アトラス",   "ペガサス",     "フェニックス", "グリフォン", "ドラゴン",     "ユニコーン", "タイガー",
    "ライオン",   "イーグル",     "ファルコン",   "ホーク",     "スワン",       "ラビット",   "フォックス",
    "ウルフ",     "ベアー",       "パンサー",     "ジャガー",   "マーメイド",   "エンジェル", "フェアリー",
    "ミューズ",   "ヴィーナス",   "ダイアナ",     "アポロ",     "マーキュリー", "ジュピター", "サターン",
    "マーズ",     "ネプチューン", "リュウセイ",   "シンセイ",   "テンペスト",   "カグラ",     "ミヤビ",
    "ホムラ",     "シズカ",       "アカツキ",     "ハルカ",     "カナタ",       "トワ",       "コハク",
    "ルリ",       "ヒスイ",       "サンゴ",       "ツムギ",
};

constexpr std::string_view kHorseEndings[] = {
    "ボーイ", "ガール", "オー",     "シチー", "ロード", "ライン",   "ゲート", "ロック",
    "ダンス", "ラン",   "ショット", "キッド", "ベル",   "ルーチェ", "リーフ", "ワン",
};

constexpr std::string_view kSurnames[] = {
    "佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "山本", "中村", "小林", "加藤", "吉田", "山田", "山口",
    "松本", "井上", "木村", "斎藤", "清水", "山崎", "池田", "橋本", "阿部", "石川", "山下", "中島", "石井",
    "小川", "前田", "岡田", "藤田", "後藤", "近藤", "村上", "遠藤", "青木", "坂本", "福田", "太田", "西村",
    "藤井", "金子", "岡本", "藤原", "中野", "三浦", "原田", "中川", "松田", "竹内", "小野", "田村", "和田",
    "石田", "森田", "上田", "内田", "柴田", "酒井", "宮崎", "高木", "安藤", "宮本", "大野", "小島", "工藤",
    "谷口", "今井", "高田", "丸山", "増田", "杉山", "村田", "大塚", "小山", "平野", "藤本", "河野", "上野",
    "野口", "松井", "千葉", "岩崎", "菅原", "木下", "久保", "佐野", "野村", "松尾", "菊地", "杉本", "市川",
    "古川", "大西", "島田", "水野", "桜井", "高野", "吉川", "山内", "西田",
};

constexpr std::string_view kGivenInitials[] = {
    "一", "二", "大", "太", "健", "誠", "勇", "和", "雄", "隆", "康", "亮", "秀", "翔",
    "拓", "悠", "陽", "優", "智", "直", "正", "信", "博", "光", "幸", "裕", "剛", "純",
    "蓮", "颯", "樹", "航", "海", "駿", "晃", "聡", "哲", "豊", "満", "善",
};

constexpr std::string_view kLatinInitials[] = {
    "Ａ", "Ｂ", "Ｃ", "Ｄ", "Ｅ", "Ｆ", "Ｇ", "Ｈ", "Ｊ", "Ｋ", "Ｌ", "Ｍ", "Ｎ", "Ｐ", "Ｒ", "Ｓ", "Ｔ", "Ｗ",
};

constexpr std::string_view kForeignSyllables[] = {
    "マー", "ルメ", "ムー", "ホワ", "ドイ", "ビュ", "レー", "シュ",
    "バル", "ペロ", "モレ", "ファ", "キン", "スミ", "ハー", "オブ",
};

struct CoursePlaces
{
    std::string_view code;
    std::array<std::string_view, 8> places;
};

constexpr std::array<CoursePlaces, 10> kJraPlaces = {{
    {"01", {"藻岩山", "大通", "ポプラ", "羊ヶ丘", "手稲", "定山渓", "石狩", "支笏湖"}},
    {"02", {"駒ヶ岳", "湯の川", "松前", "大沼", "五稜郭", "津軽海峡", "恵山", "函館湾"}},
    {"03", {"吾妻", "安達太良", "猪苗代", "磐梯", "阿武隈", "信夫山", "会津", "浄土平"}},
    {"04", {"越後", "佐渡", "弥彦", "信濃川", "月岡", "妙高", "村上", "瀬波"}},
    {"05", {"武蔵野", "多摩川", "府中", "調布", "高尾", "秩父", "青梅", "赤富士"}},
    {"06", {"房総", "九十九里", "館山", "銚子", "潮来", "若潮", "初富士", "習志野"}},
    {"07", {"熱田", "犬山", "知多", "渥美", "三河", "長良", "伊勢湾", "香嵐渓"}},
    {"08", {"鴨川", "嵐山", "比叡", "北山", "大原", "宇治川", "桂川", "清水"}},
    {"09", {"六甲", "須磨", "明石", "甲東", "武庫川", "芦屋", "夙川", "淀川"}},
    {"10", {"門司", "玄海", "関門", "筑紫", "英彦山", "皿倉", "響灘", "平尾台"}},
}};

// Seasonal words by month, January first.
constexpr std::array<std::array<std::string_view, 2>, 12> kSeasonWords = {{
    {"新春", "寒梅"},
    {"梅花", "早春"},
    {"春雷", "弥生"},
    {"桜花", "若草"},
    {"若葉", "青葉"},
    {"青嵐", "紫陽花"},
    {"七夕", "天の川"},
    {"盛夏", "納涼"},
    {"初秋", "白露"},
    {"紅葉", "秋風"},
    {"晩秋", "霜月"},
    {"師走", "冬至"},
}};

constexpr std::string_view kGradedSuffixes[] = {"記念", "カップ", "賞", "杯"};

} // namespace

std::string FullWidthField(std::string_view utf8, std::size_t width)
{
    std::string bytes = ToCp932(utf8);
    std::size_t end = 0;
    while (end < bytes.size()) {
        const std::size_t length = CharLength(bytes, end);
        if (end + length > width) {
            break;
        }
        end += length;
    }
    bytes.resize(end);
    const std::string& blank = Sjis("　");
    while (bytes.size() + blank.size() <= width) {
        bytes += blank;
    }
    bytes.resize(width, ' ');
    return bytes;
}

std::string MakeHorseName(SampleRandom& random, std::unordered_set<std::string>& used)
{
    for (int attempt = 0;; ++attempt) {
        std::string name;
        if (random.Chance(0.3)) {
            name += PickFrom(random, kHorsePrefixes);
        }
        name += PickFrom(random, kHorseWords);
        if (random.Chance(0.45)) {
            name += random.Chance(0.7) ? PickFrom(random, kHorseWords) : PickFrom(random, kHorseEndings);
        }
        // A long run of tries only happens when the tables run dry; a serial mark then keeps
        // the name unique.
        if (attempt > 200) {
            name = std::string(PickFrom(random, kHorseWords)) + std::string(PickFrom(random, kHorseEndings));
        }
        const std::size_t chars = CharCount(name);
        if (chars < 2 || chars > 9) {
            continue;
        }
        std::string field = FullWidthField(name, 36);
        if (used.insert(field).second) {
            return field;
        }
    }
}

std::string MakePersonShortName(SampleRandom& random, std::unordered_set<std::string>& used)
{
    for (;;) {
        std::string name(PickFrom(random, kSurnames));
        name += PickFrom(random, kGivenInitials);
        if (random.Chance(0.35)) {
            name += PickFrom(random, kGivenInitials);
        }
        std::string field = FullWidthField(name, 8);
        if (used.insert(field).second) {
            return field;
        }
    }
}

std::string MakeForeignShortName(SampleRandom& random, std::unordered_set<std::string>& used)
{
    for (;;) {
        std::string name(PickFrom(random, kLatinInitials));
        name += "．";
        name += PickFrom(random, kForeignSyllables);
        std::string field = FullWidthField(name, 8);
        if (used.insert(field).second) {
            return field;
        }
    }
}

std::string MakeRaceName(SampleRandom& random, std::string_view courseCode, int month, int level)
{
    std::string place;
    for (const CoursePlaces& entry : kJraPlaces) {
        if (entry.code == courseCode) {
            place = PickFrom(random, entry.places);
        }
    }
    if (place.empty() || random.Chance(0.25)) {
        const auto& words = kSeasonWords[static_cast<std::size_t>((month + 11) % 12)];
        place = words[static_cast<std::size_t>(random.Below(2))];
    }
    switch (level) {
    case 0:
        return place + (random.Chance(0.8) ? "特別" : "ステークス");
    case 1:
        return place + "ステークス";
    default:
        return place + std::string(PickFrom(random, kGradedSuffixes));
    }
}

std::string MakeOutsideRaceName(SampleRandom& random, std::string_view courseCode)
{
    if (courseCode == "G0") {
        return random.Chance(0.5) ? "香港ジョッキークラブカップ" : "シャティンマイル";
    }
    if (courseCode == "C7") {
        return random.Chance(0.5) ? "ドバイワールドステークス" : "メイダンターフ";
    }
    if (courseCode == "A8") {
        return "ロンシャン大賞典";
    }
    if (courseCode == "K6") {
        return "リヤドダートマイル";
    }
    constexpr std::string_view kLocalSuffixes[] = {"盃", "記念", "スプリント", "大賞典", "オープン", "カップ"};
    constexpr std::string_view kLocalWords[] = {"黒潮", "白山", "東京湾", "みちのく", "北海道", "名港"};
    return std::string(PickFrom(random, kLocalWords)) + std::string(PickFrom(random, kLocalSuffixes));
}

} // namespace vornal::samplegen
