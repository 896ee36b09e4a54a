// The fixed-size store readers: a store file seen as records of one kind's length. The
// first input byte picks the record length, the rest is the file.
#include "FuzzSupport.h"
#include "raceday/RecordFile.h"
#include "store/JvLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    namespace jv = vornal::jv;
    constexpr int kLengths[] = {jv::kLengthRA,
                                jv::kLengthSE,
                                jv::kLengthHR,
                                jv::kLengthO1,
                                jv::kLengthO2,
                                jv::kLengthUM,
                                jv::kLengthKS,
                                jv::kLengthCH,
                                2,
                                1};
    const int length = kLengths[data[0] % (sizeof kLengths / sizeof kLengths[0])];
    const std::filesystem::path file = vornal::fuzz::ScratchDir() / "store.jv";
    vornal::fuzz::WriteInput(file, vornal::fuzz::Input(data + 1, size - 1));
    try {
        std::optional<vornal::RecordFile> records = vornal::RecordFile::Open(file, length);
        if (!records) {
            vornal::fuzz::Broken("an existing file read as missing");
        }
        for (int i = -1; i <= records->Count() + 1; ++i) {
            std::optional<std::string_view> record = records->TryRecord(i);
            if (record && record->size() != static_cast<std::size_t>(length)) {
                vornal::fuzz::Broken("a record of the wrong length");
            }
            if (record.has_value() != (i >= 0 && i < records->Count())) {
                vornal::fuzz::Broken("a record outside the file, or a whole one missing");
            }
            try {
                (void)records->Record(i);
            } catch (const vornal::RecordReadError&) {
            }
        }
        try {
            records->RequireWhole();
        } catch (const vornal::RecordReadError&) {
        }
        (void)vornal::CountTextLines(records->Bytes());
    } catch (const vornal::RecordReadError&) {
    }
    return 0;
}
