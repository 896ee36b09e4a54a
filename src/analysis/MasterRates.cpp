#include "analysis/MasterRates.h"

#include <system_error>

#include "app/AtomicFile.h"
#include "store/JvLayout.h"
#include "text/Encoding.h"

namespace vornal {
namespace {

struct MasterLayout
{
    jv::FieldPos code;
    jv::FieldPos affiliation;
    // First count of the four runs of six counts: this year flat, this year jump, last
    // year flat, last year jump.
    jv::FieldPos counts[4];
    double invitedLocal;
    double invitedAbroad;
};

const MasterLayout& Layout(MasterKind kind)
{
    static const MasterLayout jockey{
        jv::ks::kJockeyCode,
        jv::ks::kAffiliation,
        {jv::ks::kThisYearFlat, jv::ks::kThisYearJump, jv::ks::kLastYearFlat, jv::ks::kLastYearJump},
        0.2,
        0.25};
    static const MasterLayout trainer{
        jv::ch::kTrainerCode,
        jv::ch::kAffiliation,
        {jv::ch::kThisYearFlat, jv::ch::kThisYearJump, jv::ch::kLastYearFlat, jv::ch::kLastYearJump},
        0.15,
        0.2};
    return kind == MasterKind::Jockey ? jockey : trainer;
}

// Affiliation codes of jockeys and trainers who ride or train here by invitation.
constexpr std::string_view kInvitedFromLocal = "3";
constexpr std::string_view kInvitedFromAbroad = "4";

} // namespace

double MasterRates::Rate(std::string_view code) const
{
    auto found = m_rates.find(std::string(code));
    return found == m_rates.end() ? 0.0 : found->second;
}

int MasterRates::RecordLength(MasterKind kind)
{
    return kind == MasterKind::Jockey ? jv::kLengthKS : jv::kLengthCH;
}

double MasterRates::RecordRate(std::string_view record, MasterKind kind)
{
    const MasterLayout& layout = Layout(kind);
    std::string_view affiliation = jv::View(record, layout.affiliation);
    if (affiliation == kInvitedFromLocal) {
        return layout.invitedLocal;
    }
    if (affiliation == kInvitedFromAbroad) {
        return layout.invitedAbroad;
    }
    long long topTwo = 0;
    long long all = 0;
    for (const jv::FieldPos& first : layout.counts) {
        for (int place = 1; place <= 6; ++place) {
            long long count = jv::Number(record, jv::Nth(first, first.length, place));
            all += count;
            if (place <= 2) {
                topTwo += count;
            }
        }
    }
    return all == 0 ? 0.0 : static_cast<double>(topTwo) / static_cast<double>(all);
}

MasterRatesResult ParseMasterRates(std::string_view bytes, MasterKind kind, const std::string& fileText)
{
    MasterRatesResult result;
    const std::size_t length = static_cast<std::size_t>(MasterRates::RecordLength(kind));
    const std::size_t whole = bytes.size() / length;
    for (std::size_t i = 0; i < whole; ++i) {
        std::string_view record = bytes.substr(i * length, length);
        // Every stored line plus its line end is exactly one record; a record that does not
        // end in CR LF means the file was cut or written with another layout, and every
        // record after it would be read at the wrong offset.
        if (record.substr(length - 2) != "\r\n") {
            // Reported as the failed record-end assertion it is, with the place it failed.
            return MasterRatesResult::Failure("Assertion failure (" + fileText + Sjis(" のレコード ") + std::to_string(i) +
                             Sjis(" の末尾が CR LF ではありません。") + ")");
        }
        result.value.Set(jv::Get(record, Layout(kind).code), MasterRates::RecordRate(record, kind));
    }
    if (bytes.size() % length != 0) {
        return MasterRatesResult::Failure(fileText + Sjis(" のレコード ") + std::to_string(whole) +
                                          Sjis(" が途中で切れています。"));
    }
    return result;
}

MasterRatesResult ReadMasterRates(const std::filesystem::path& file, MasterKind kind)
{
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        return MasterRatesResult::Failure(PathText(file) + Sjis(" が見つかりません。"));
    }
    std::optional<std::string> bytes = ReadFileBytes(file);
    if (!bytes) {
        return MasterRatesResult::Failure(Sjis("ファイルを読めません: ") + PathText(file));
    }
    return ParseMasterRates(*bytes, kind, PathText(file));
}

} // namespace vornal
