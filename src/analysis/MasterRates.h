#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

#include "app/Status.h"

// The top-two rates of the day's jockeys or trainers, read once from the day's jockey
// (".jvKS") or trainer (".jvCH") master file and indexed by code, so the rating pass looks
// a runner's jockey and trainer up without scanning the file per runner.
namespace vornal {

enum class MasterKind { Jockey, Trainer };

class MasterRates
{
public:
    // Rate of a 5-byte jockey or trainer code as the rating pass uses it (a fraction): the
    // record of the code that comes last in the file wins; 0 when no record matches.
    double Rate(std::string_view code) const;
    // Codes indexed.
    std::size_t Count() const { return m_rates.size(); }

    // The rate of one master record. Jockeys invited from local racing (affiliation "3")
    // get 0.2 and from abroad ("4") 0.25, trainers 0.15 and 0.2, whatever their record
    // says; otherwise it is the share of firsts and seconds (flat and jump, this year and
    // last year) in all twenty-four placing counts, 0 when they are all 0.
    static double RecordRate(std::string_view record, MasterKind kind);

    // Record length of the kind, CR LF included: 4173 (KS) or 3862 (CH).
    static int RecordLength(MasterKind kind);

    void Set(std::string code, double rate) { m_rates.insert_or_assign(std::move(code), rate); }

private:
    std::unordered_map<std::string, double> m_rates;
};

// The outcome of reading a master file: the rates, or `ok` false and a CP932 message that
// names the file and, for a damaged record, its 0-based record index.
using MasterRatesResult = Result<MasterRates>;

// Reads `file` as fixed-length records of the kind. Fails for a missing or unreadable file,
// a record that does not end in CR LF (an "Assertion failure" naming the file and record),
// and a file whose length is not a whole number of records (the message names the
// incomplete last record).
MasterRatesResult ReadMasterRates(const std::filesystem::path& file, MasterKind kind);

// As ReadMasterRates over bytes already read; `fileText` (CP932) names the file in messages.
MasterRatesResult ParseMasterRates(std::string_view bytes, MasterKind kind, const std::string& fileText);

} // namespace vornal
