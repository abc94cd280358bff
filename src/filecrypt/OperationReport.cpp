#include "filecrypt/OperationReport.h"

namespace kiv::report {

namespace {
// The figure follows its label directly: "%1" stays the template's last two characters.
ReportText Line(const char* templ, std::int64_t figure) {
    return ReportText(templ, {std::to_string(figure)});
}
}  // namespace

ReportText FileByteAmount(std::int64_t size) {
    return Line(QT_TRANSLATE_NOOP("kiv", "File Byte Amount = %1"), size);
}
ReportText FileBytePart(std::int64_t blocks) {
    return Line(QT_TRANSLATE_NOOP("kiv", "File Byte Part   = %1"), blocks);
}
ReportText OpenLongByte(int blockLength) {
    return Line(QT_TRANSLATE_NOOP("kiv", "Open Long Byte   = %1"), blockLength);
}
ReportText CloseLongByte(int residueCount) {
    return Line(QT_TRANSLATE_NOOP("kiv", "Close Long Byte  = %1"), residueCount);
}

ReportText OpenFileByteAmount(std::int64_t size) {
    return Line(QT_TRANSLATE_NOOP("kiv", "Open File Byte Amount = %1"), size);
}
ReportText OpenFileBytePart(std::int64_t blocks) {
    return Line(QT_TRANSLATE_NOOP("kiv", "Open File Byte Part   = %1"), blocks);
}
ReportText DecryptOpenLongByte(int blockLength) {
    return Line(QT_TRANSLATE_NOOP("kiv", "Open Long Byte        = %1"), blockLength);
}
ReportText DecryptCloseLongByte(int residueCount) {
    return Line(QT_TRANSLATE_NOOP("kiv", "Close Long Byte       = %1"), residueCount);
}
ReportText CloseFileByteNo(std::int64_t least) {
    return Line(QT_TRANSLATE_NOOP("kiv", "Close File Byte no    = %1"), least);
}
ReportText CloseFileByteYes(std::int64_t total) {
    return Line(QT_TRANSLATE_NOOP("kiv", "Close File Byte yes   = %1"), total);
}

}  // namespace kiv::report
