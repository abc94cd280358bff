#include "filecrypt/OperationReport.h"

namespace kiv::report {

namespace {
// The figure follows its label directly: "%1" stays the template's last two characters.
ReportText Line(Message message, std::int64_t figure) {
    return ReportText(message, {std::to_string(figure)});
}
}  // namespace

ReportText FileByteAmount(std::int64_t size) {
    return Line(Message::FileByteAmount, size);
}
ReportText FileBytePart(std::int64_t blocks) {
    return Line(Message::FileBytePart, blocks);
}
ReportText OpenLongByte(int blockLength) {
    return Line(Message::OpenLongByte, blockLength);
}
ReportText CloseLongByte(int residueCount) {
    return Line(Message::CloseLongByte, residueCount);
}

ReportText OpenFileByteAmount(std::int64_t size) {
    return Line(Message::OpenFileByteAmount, size);
}
ReportText OpenFileBytePart(std::int64_t blocks) {
    return Line(Message::OpenFileBytePart, blocks);
}
ReportText DecryptOpenLongByte(int blockLength) {
    return Line(Message::DecryptOpenLongByte, blockLength);
}
ReportText DecryptCloseLongByte(int residueCount) {
    return Line(Message::DecryptCloseLongByte, residueCount);
}
ReportText CloseFileByteNo(std::int64_t least) {
    return Line(Message::CloseFileByteNo, least);
}
ReportText CloseFileByteYes(std::int64_t total) {
    return Line(Message::CloseFileByteYes, total);
}

}  // namespace kiv::report
