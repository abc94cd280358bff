#pragma once

#include <cstdint>
#include <string>

#include "filecrypt/ReportText.h"
#include "messages/TranslatableText.h"

namespace kiv {

// The report list's fixed texts. The labels of the two runs differ in their blanks; each run
// uses its own.
namespace report {

inline constexpr char kEncryptWriteNotOpen[] = QT_TRANSLATE_NOOP("kiv", "Write File not Open ");
inline constexpr char kEncryptReadNotOpen[] = QT_TRANSLATE_NOOP("kiv", "Read File not Open ");
inline constexpr char kDecryptReadNotOpen[] = QT_TRANSLATE_NOOP("kiv", " Read File not Open ");
inline constexpr char kDecryptWriteNotOpen[] = QT_TRANSLATE_NOOP("kiv", " Write File not Open ");

inline constexpr char kPasswordLengthWrong[] =
    QT_TRANSLATE_NOOP("kiv", " Password's length is wrong.");
inline constexpr char kPasswordWrong[] = QT_TRANSLATE_NOOP("kiv", "Password is wrong");
inline constexpr char kChangePassword[] = QT_TRANSLATE_NOOP("kiv", "Change Password");

// Why a run failed on a file where the system's error number says nothing or misleads: the
// reason after the file's path (FileRunResult::failureText).
inline constexpr char kNotRegularFile[] = QT_TRANSLATE_NOOP("kiv", "Not a regular file");
inline constexpr char kChangedWhileRead[] =
    QT_TRANSLATE_NOOP("kiv", "The file changed length while it was read");

inline constexpr char kInitialLine[] =
    QT_TRANSLATE_NOOP("kiv", "View  Encrypt File the Report  or Decrypt  File the Report");

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
