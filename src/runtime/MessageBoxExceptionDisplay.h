#pragma once

#include "runtime/ExceptionDisplay.h"

namespace kiv {

// The exception display of the running program: a modal box with an error icon and OK.
class MessageBoxExceptionDisplay final : public ExceptionDisplay {
  public:
    void ShowError(const QString& text) override;
};

}  // namespace kiv
