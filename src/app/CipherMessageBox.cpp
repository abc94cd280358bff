#include "CipherMessageBox.h"

#include "TextAdapter.h"

namespace kiv {

void CipherMessageBox::ShowMessage(const std::string& text) {
    ui_.ShowMessage(TextAdapter::FromBytes(text));
}

}  // namespace kiv
