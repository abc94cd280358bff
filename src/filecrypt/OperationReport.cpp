#include "filecrypt/OperationReport.h"

namespace kiv::report {

namespace {
std::string Line(const char* label, std::int64_t figure) {
    return label + std::to_string(figure);
}
}  // namespace

std::string FileByteAmount(std::int64_t size) {
    return Line(QT_TRANSLATE_NOOP("kiv", "File Byte Amount = "), size);
}
std::string FileBytePart(std::int64_t blocks) {
    return Line(QT_TRANSLATE_NOOP("kiv", "File Byte Part   = "), blocks);
}
std::string OpenLongByte(int blockLength) {
    return Line(QT_TRANSLATE_NOOP("kiv", "Open Long Byte   = "), blockLength);
}
std::string CloseLongByte(int residueCount) {
    return Line(QT_TRANSLATE_NOOP("kiv", "Close Long Byte  = "), residueCount);
}

std::string OpenFileByteAmount(std::int64_t size) {
    return Line(QT_TRANSLATE_NOOP("kiv", "Open File Byte Amount = "), size);
}
std::string OpenFileBytePart(std::int64_t blocks) {
    return Line(QT_TRANSLATE_NOOP("kiv", "Open File Byte Part   = "), blocks);
}
std::string DecryptOpenLongByte(int blockLength) {
    return Line(QT_TRANSLATE_NOOP("kiv", "Open Long Byte        = "), blockLength);
}
std::string DecryptCloseLongByte(int residueCount) {
    return Line(QT_TRANSLATE_NOOP("kiv", "Close Long Byte       = "), residueCount);
}
std::string CloseFileByteNo(std::int64_t least) {
    return Line(QT_TRANSLATE_NOOP("kiv", "Close File Byte no    = "), least);
}
std::string CloseFileByteYes(std::int64_t total) {
    return Line(QT_TRANSLATE_NOOP("kiv", "Close File Byte yes   = "), total);
}

}  // namespace kiv::report
