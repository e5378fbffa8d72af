// The encoder's report on an input (probe/report_parser): any bytes the encoder may write, and any
// file name the record is filled from.
#include "fuzz_check.h"
#include "probe/report_parser.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string report(fuzz::AsText(data, size));

    FileMediaFormat record;
    record.m_strDuration = "kept";
    record.m_strBitrate = "kept";
    record.m_strVideo = "kept";
    record.m_strAudio = "kept";
    ParseEncoderReport(report, record);
    // Every field is made of one report line cut to 199 characters, plus its own decoration.
    FUZZ_CHECK(record.m_strDuration.size() <= 99 + 16);
    FUZZ_CHECK(record.m_strBitrate.size() <= 199 + 5);
    FUZZ_CHECK(record.m_strVideo.size() <= 199);
    FUZZ_CHECK(record.m_strAudio.size() <= 199);
    FUZZ_CHECK(record.m_strVideo.find('\n') == std::string::npos);
    FUZZ_CHECK(record.m_strAudio.find('\n') == std::string::npos);

    // Parsing again over the same record gives the same fields.
    FileMediaFormat again = record;
    ParseEncoderReport(report, again);
    FUZZ_CHECK(again.m_nDuration == record.m_nDuration);
    FUZZ_CHECK(again.m_strDuration == record.m_strDuration);
    FUZZ_CHECK(again.m_strVideo == record.m_strVideo);
    FUZZ_CHECK(again.m_strAudio == record.m_strAudio);

    // The same bytes as a file name.
    FillRecordFromPath(report, record);
    FUZZ_CHECK(record.m_strPath == report);
    FUZZ_CHECK(record.m_nEnd == record.m_nDuration && record.m_nStart == 0);
    FUZZ_CHECK(record.m_strTitle.find('/') == std::string::npos);
    FUZZ_CHECK(record.m_strTitle.size() + record.m_strExt.size() <= report.size());
    return 0;
}
