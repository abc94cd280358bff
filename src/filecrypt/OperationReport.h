#pragma once

#include <cstdint>
#include <string>

#include "filecrypt/ReportText.h"
#include "messages/MessageCatalogue.h"

namespace kiv {

// The report list's fixed texts. The labels of the two runs differ in their blanks; each run
// uses its own.
namespace report {

ReportText FileByteAmount(std::int64_t size);
ReportText FileBytePart(std::int64_t blocks);
ReportText OpenLongByte(int blockLength);
ReportText CloseLongByte(int residueCount);

ReportText OpenFileByteAmount(std::int64_t size);
ReportText OpenFileBytePart(std::int64_t blocks);
ReportText DecryptOpenLongByte(int blockLength);
ReportText DecryptCloseLongByte(int residueCount);
ReportText CloseFileByteNo(std::int64_t least);
ReportText CloseFileByteYes(std::int64_t total);

}  // namespace report
}  // namespace kiv
