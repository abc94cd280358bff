#pragma once

#include "app/core/UiServices.h"
#include "cipher/CipherMessages.h"

namespace kiv {

// Shows what the text cores report in the window's plain message box.
class CipherMessageBox final : public CipherMessages {
  public:
    explicit CipherMessageBox(UiServices& ui) : ui_(ui) {}
    void ShowMessage(const std::string& text) override;

  private:
    UiServices& ui_;
};

}  // namespace kiv
