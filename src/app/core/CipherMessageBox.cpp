#include "app/core/CipherMessageBox.h"

#include "app/core/TextAdapter.h"

namespace kiv {

void CipherMessageBox::ShowMessage(const std::string& text) {
    ui_.ShowMessage(TextAdapter::FromBytes(text));
}

}  // namespace kiv
